#include "CCaptureReader.h"

#include <QByteArray>
#include <cstring>

#include "CaptureFormat.h"

using namespace CaptureFormat;

namespace {

// A record found by searching must carry a time between these (2000 and 2200, in ms since
// 1970): random bytes almost never do, so the search checks few checksums.
constexpr int64_t kSearchFirstMs = 946684800000;
constexpr int64_t kSearchLastMs = 7258118400000;

qint64 RecordBytes(uint32_t n)
{
    return kRecordHeadBytes + 2 * static_cast<qint64>(n) + kRecordTailBytes;
}

} // namespace

void CCaptureReader::Close()
{
    m_window.Reset(nullptr, 0);
    m_file.close();
}

CaptureStatus CCaptureReader::Open(const QString& path)
{
    Close();
    m_nSkipped = 0;
    m_file.setFileName(path);
    if (!m_file.open(QIODevice::ReadOnly))
        return CaptureStatus::Unreadable;
    const QByteArray head = m_file.read(kHeaderBytes);
    if (head.size() < static_cast<int>(sizeof kMagic) ||
        std::memcmp(head.constData(), kMagic, sizeof kMagic) != 0)
        return CaptureStatus::NotCapture;
    if (head.size() < kHeaderBytes)
        return CaptureStatus::NotCapture;
    const auto version = static_cast<uint16_t>(GetLE(head.constData() + 8, 2));
    const auto headerBytes = static_cast<qint64>(GetLE(head.constData() + 10, 2));
    if (version > kVersion)
        return CaptureStatus::UnsupportedVersion;
    const qint64 size = m_file.size();
    if (version == 0 || headerBytes < kHeaderBytes || headerBytes > size)
        return CaptureStatus::NotCapture;
    m_nCreatedMs = static_cast<int64_t>(GetLE(head.constData() + 16, 8));
    m_nPos = m_nValidEnd = headerBytes;
    m_window.Reset(&m_file, size);
    return CaptureStatus::Ok;
}

int64_t CCaptureReader::NumberAt(qint64 pos, int bytes)
{
    const uchar* at = m_window.At(pos, bytes);
    return at ? static_cast<int64_t>(GetLE(reinterpret_cast<const char*>(at), bytes)) : -1;
}

bool CCaptureReader::IsRecordAt(qint64 pos, qint64* end)
{
    const int64_t n = NumberAt(pos + 8, 4);
    if (n <= 0 || n > kMaxRecordBytes)
        return false;
    const qint64 bytes = RecordBytes(static_cast<uint32_t>(n));
    const uchar* record = m_window.At(pos, bytes);
    if (record == nullptr)
        return false;
    const std::size_t covered = kRecordHeadBytes + 2 * static_cast<std::size_t>(n);
    if (Crc32(record, covered) !=
        static_cast<uint32_t>(GetLE(reinterpret_cast<const char*>(record) + covered, 4)))
        return false;
    *end = pos + bytes;
    return true;
}

qint64 CCaptureReader::FindRecordAfter(qint64 pos)
{
    // A record whose count is intact but whose bytes changed: the next one follows it.
    const int64_t n = NumberAt(pos + 8, 4);
    if (n > 0 && n <= kMaxRecordBytes) {
        const qint64 next = pos + RecordBytes(static_cast<uint32_t>(n));
        qint64 end = 0;
        if (next <= m_window.Size() && (next == m_window.Size() || IsRecordAt(next, &end)))
            return next;
    }
    for (qint64 k = pos + 1; m_window.Size() - k >= RecordBytes(1); ++k) {
        const int64_t timeMs = NumberAt(k, 8);
        qint64 end = 0;
        if (timeMs >= kSearchFirstMs && timeMs <= kSearchLastMs && IsRecordAt(k, &end))
            return k;
    }
    return m_window.Size();
}

bool CCaptureReader::Next(CaptureRecord& out)
{
    while (m_nPos < m_window.Size()) {
        qint64 end = 0;
        if (!IsRecordAt(m_nPos, &end)) {
            ++m_nSkipped;
            m_nPos = FindRecordAfter(m_nPos);
            continue;
        }
        const auto* record = reinterpret_cast<const char*>(m_window.At(m_nPos, end - m_nPos));
        const auto n = static_cast<uint32_t>(GetLE(record + 8, 4));
        out.timeMs = static_cast<int64_t>(GetLE(record, 8));
        out.cells.resize(n);
        const char* bytes = record + kRecordHeadBytes;
        for (uint32_t i = 0; i < n; ++i)
            out.cells[i] = Cell{static_cast<uint8_t>(bytes[i]), static_cast<uint8_t>(bytes[n + i])};
        m_nPos = m_nValidEnd = end;
        return true;
    }
    return false;
}
