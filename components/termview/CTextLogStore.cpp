#include "CTextLogStore.h"

#include <algorithm>

void CTextLogStore::Capture(const uint8_t* data, std::size_t n, uint8_t attr)
{
    std::lock_guard lock(m_mutex);
    CaptureLocked(data, n, attr);
}

void CTextLogStore::CaptureLocked(const uint8_t* data, std::size_t n, uint8_t attr)
{
    for (std::size_t i = 0; i < n && m_bCapturing; ++i) {
        if (!m_capture.Append(data[i], attr))
            FailCaptureLocked();
    }
}

void CTextLogStore::Write(const uint8_t* data, std::size_t n, uint8_t attr)
{
    // The same as n single writes, with the line limit applied once at the end: the lines
    // kept are the same last ones.
    std::lock_guard lock(m_mutex);
    // Piece by piece, so that the index reads what the log has just read from the cache.
    constexpr std::size_t kPieceBytes = 16 * 1024;
    for (std::size_t at = 0; at < n; at += kPieceBytes) {
        const std::size_t piece = std::min(kPieceBytes, n - at);
        const uint64_t offset = m_log.End();
        m_log.Append(data + at, piece, attr);
        m_lines.Append(data + at, piece, offset);
    }
    if (m_lines.ShownLines() > m_nLineMax)
        TrimLocked();
    CaptureLocked(data, n, attr);
}

void CTextLogStore::Load(const std::vector<Cell>& cells)
{
    std::lock_guard lock(m_mutex);
    const bool capturing = m_bCapturing;
    m_bCapturing = false;
    for (const Cell& cell : cells)
        AppendLocked(cell.byte, cell.attr);
    m_bCapturing = capturing;
}

void CTextLogStore::Clear()
{
    std::lock_guard lock(m_mutex);
    m_log.Clear();
    m_lines.Clear();
}

void CTextLogStore::SetLineMax(std::size_t lines)
{
    std::lock_guard lock(m_mutex);
    m_nLineMax = std::max<std::size_t>(lines, 1);
    TrimLocked();
}

std::size_t CTextLogStore::LineMax() const
{
    std::lock_guard lock(m_mutex);
    return m_nLineMax;
}

std::pair<uint64_t, uint64_t> CTextLogStore::Adopt(CTextLogStore& loaded, uint64_t liveFrom)
{
    std::scoped_lock lock(m_mutex, loaded.m_mutex);
    std::vector<Cell> live;
    const uint64_t from = std::max(liveFrom, m_log.First());
    m_log.CopyRange(from, m_log.End(), live);
    std::swap(m_log, loaded.m_log);
    std::swap(m_lines, loaded.m_lines);
    const uint64_t at = m_log.End();
    const bool capturing = m_bCapturing;
    m_bCapturing = false;
    for (const Cell& cell : live)
        AppendLocked(cell.byte, cell.attr);
    m_bCapturing = capturing;
    TrimLocked();
    return {from, at};
}

void CTextLogStore::TrimLocked()
{
    const std::size_t held = m_lines.HeldLines(m_log.End());
    if (held > m_nLineMax)
        m_log.DropBefore(m_lines.DropOldest(held - m_nLineMax));
}

LogExtent CTextLogStore::Extent() const
{
    std::lock_guard lock(m_mutex);
    return LogExtent{m_log.First(), m_log.End(), m_lines.FirstLineNumber(), m_lines.ShownLines(),
                     m_lines.HeldLines(m_log.End())};
}

std::vector<RowData> CTextLogStore::Lines(std::size_t firstIndex, std::size_t count) const
{
    std::vector<RowData> rows;
    std::lock_guard lock(m_mutex);
    const std::size_t last = std::min(m_lines.ShownLines(), firstIndex + count);
    for (std::size_t i = firstIndex; i < last; ++i) {
        RowData row;
        row.start = m_lines.Start(i);
        m_log.CopyRange(row.start, m_lines.End(i, m_log.End()), row.cells);
        rows.push_back(std::move(row));
    }
    return rows;
}

std::vector<Cell> CTextLogStore::Range(uint64_t from, uint64_t to, uint64_t* start) const
{
    std::vector<Cell> cells;
    const uint64_t first = AppendRange(from, to, cells);
    if (start)
        *start = first;
    return cells;
}

uint64_t CTextLogStore::AppendRange(uint64_t from, uint64_t to, std::vector<Cell>& out) const
{
    std::lock_guard lock(m_mutex);
    m_log.CopyRange(from, to, out);
    return std::max(from, m_log.First());
}

bool CTextLogStore::StartCapture(const QString& path, QString* error)
{
    std::lock_guard lock(m_mutex);
    m_captureError.clear();
    m_bCapturing = m_capture.Open(path, error);
    return m_bCapturing;
}

void CTextLogStore::StopCapture()
{
    std::lock_guard lock(m_mutex);
    m_capture.Close();
    m_bCapturing = false;
}

bool CTextLogStore::IsCapturing() const
{
    std::lock_guard lock(m_mutex);
    return m_bCapturing;
}

bool CTextLogStore::FlushCapture(QString* error)
{
    std::lock_guard lock(m_mutex);
    if (m_bCapturing && !m_capture.Flush())
        FailCaptureLocked();
    if (m_captureError.isEmpty())
        return true;
    *error = m_captureError;
    m_captureError.clear();
    return false;
}

void CTextLogStore::FailCaptureLocked()
{
    m_captureError = m_capture.ErrorString();
    m_capture.Close();
    m_bCapturing = false;
}

SearchHit CTextLogStore::Find(const CTextSearch& search, uint64_t from, bool forward) const
{
    // The lock is held a stretch at a time, for its copy only: writers wait no longer than
    // that, and what they write meanwhile is not searched.
    const LogExtent extent = Extent();
    bool overtaken = false;
    const SearchHit hit = search.Find(
        extent.first, extent.end, from, forward,
        [this, &overtaken](uint64_t rangeFrom, uint64_t rangeTo, std::vector<Cell>& out) {
            const uint64_t start = AppendRange(rangeFrom, rangeTo, out);
            overtaken = overtaken || start > rangeFrom;
            return start;
        });
    if (hit.found || !overtaken)
        return hit;
    // Writers dropped the bytes before the search reached them (a flood while this thread
    // waited): the matches held now are searched in one go, writers waiting for that once.
    std::lock_guard lock(m_mutex);
    return search.Find(m_log.First(), m_log.End(), from, forward,
                       [this](uint64_t rangeFrom, uint64_t rangeTo, std::vector<Cell>& out) {
                           m_log.CopyRange(rangeFrom, rangeTo, out);
                           return std::max(rangeFrom, m_log.First());
                       });
}

std::size_t CTextLogStore::LineOf(uint64_t offset) const
{
    std::lock_guard lock(m_mutex);
    return m_lines.IndexOf(offset);
}
