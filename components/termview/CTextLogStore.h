#pragma once

#include "CByteLog.h"
#include "CCaptureWriter.h"
#include "CLineIndex.h"
#include "CTextSearch.h"

#include <QString>
#include <cstdint>
#include <mutex>
#include <utility>
#include <vector>

// What a view needs to lay out one shown row: its first absolute offset and its bytes.
struct RowData
{
    uint64_t start = 0;
    std::vector<Cell> cells;
};

// Positions of the log, read together under one lock.
struct LogExtent
{
    uint64_t first = 0;     // absolute offset of the first held byte
    uint64_t end = 0;       // absolute offset after the last byte
    uint64_t firstLine = 0; // absolute number of the first held line
    std::size_t shownLines = 1;
    std::size_t heldLines = 0;
};

// The thread-safe heart of a terminal view: byte log, line index, line limit and capture,
// changed together under one mutex. Writers may be any thread; readers copy what they need
// and draw without holding the lock.
class CTextLogStore
{
public:
    void Write(uint8_t b, uint8_t attr)
    {
        std::lock_guard lock(m_mutex);
        AppendLocked(b, attr);
    }
    void Write(const uint8_t* data, std::size_t n, uint8_t attr);
    // Into the capture alone, not held or shown: what was sent while the echo is off.
    void Capture(const uint8_t* data, std::size_t n, uint8_t attr);
    // Loads cells as if written, but not into the capture: shown data is not new traffic.
    void Load(const std::vector<Cell>& cells);
    void Clear();
    void SetLineMax(std::size_t lines);
    std::size_t LineMax() const;
    // Takes the bytes and lines of loaded in place of its own, followed by its own bytes from
    // offset liveFrom on (written while loaded was filled), which are not captured again. Returns
    // where those bytes started and where they start now.
    std::pair<uint64_t, uint64_t> Adopt(CTextLogStore& loaded, uint64_t liveFrom);

    LogExtent Extent() const;
    // Shown lines [firstIndex, firstIndex + count), indices relative to the first held line.
    std::vector<RowData> Lines(std::size_t firstIndex, std::size_t count) const;
    // Bytes of [from, to), clipped to what is held; *start gets the offset of the first.
    std::vector<Cell> Range(uint64_t from, uint64_t to, uint64_t* start = nullptr) const;
    // Searches every held byte (see CTextSearch::Find). Offsets start again from 0 only on
    // Clear, which must not run meanwhile (both belong to the view's thread); bytes dropped
    // meanwhile may still be counted. A flood that drops the bytes before the search reaches
    // them does not make it miss the matches the log holds.
    SearchHit Find(const CTextSearch& search, uint64_t from, bool forward) const;
    // Index of the shown line that holds offset, relative to the first held line.
    std::size_t LineOf(uint64_t offset) const;

    bool StartCapture(const QString& path, QString* error);
    void StopCapture();
    bool IsCapturing() const;
    // Hands gathered capture bytes to the file; false (and the capture ended) on a failure.
    bool FlushCapture(QString* error);

private:
    void AppendLocked(uint8_t b, uint8_t attr)
    {
        const uint64_t offset = m_log.End();
        m_log.Append(b, attr);
        m_lines.Append(b, offset);
        if (m_lines.ShownLines() > m_nLineMax)
            TrimLocked();
        if (m_bCapturing && !m_capture.Append(b, attr))
            FailCaptureLocked();
    }
    void TrimLocked();
    // Appends the bytes of [from, to) clipped to what is held; returns the offset of the first.
    uint64_t AppendRange(uint64_t from, uint64_t to, std::vector<Cell>& out) const;
    void FailCaptureLocked();
    void CaptureLocked(const uint8_t* data, std::size_t n, uint8_t attr);

    mutable std::mutex m_mutex;
    CByteLog m_log;
    CLineIndex m_lines;
    std::size_t m_nLineMax = kDefaultLineMax;
    CCaptureWriter m_capture;
    bool m_bCapturing = false;
    QString m_captureError; // set when a capture ended by a write failure, until reported
};
