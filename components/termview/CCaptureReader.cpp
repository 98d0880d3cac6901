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
    if (m_pData != nullptr)
        m_file.unmap(const_cast<uchar*>(m_pData));
    m_pData = nullptr;
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
    m_nSize = m_file.size();
    if (version == 0 || headerBytes < kHeaderBytes || headerBytes > m_nSize)
        return CaptureStatus::NotCapture;
    m_nCreatedMs = static_cast<int64_t>(GetLE(head.constData() + 16, 8));
    m_nPos = m_nValidEnd = headerBytes;
    if (m_nSize > headerBytes) {
        m_pData = m_file.map(0, m_nSize);
        if (m_pData == nullptr)
            return CaptureStatus::Unreadable;
    }
    return CaptureStatus::Ok;
}

bool CCaptureReader::IsRecordAt(qint64 pos, qint64* end) const
{
    if (m_nSize - pos < RecordBytes(1))
        return false;
    const auto* head = reinterpret_cast<const char*>(m_pData + pos);
    const auto n = static_cast<uint32_t>(GetLE(head + 8, 4));
    if (n == 0 || n > kMaxRecordBytes || m_nSize - pos < RecordBytes(n))
        return false;
    const std::size_t covered = kRecordHeadBytes + 2 * static_cast<std::size_t>(n);
    if (Crc32(m_pData + pos, covered) != static_cast<uint32_t>(GetLE(head + covered, 4)))
        return false;
    *end = pos + RecordBytes(n);
    return true;
}

qint64 CCaptureReader::FindRecordAfter(qint64 pos) const
{
    // A record whose count is intact but whose bytes changed: the next one follows it.
    if (m_nSize - pos >= kRecordHeadBytes) {
        const auto n =
            static_cast<uint32_t>(GetLE(reinterpret_cast<const char*>(m_pData + pos) + 8, 4));
        const qint64 next = pos + RecordBytes(n);
        qint64 end = 0;
        if (n > 0 && n <= kMaxRecordBytes && next <= m_nSize &&
            (next == m_nSize || IsRecordAt(next, &end)))
            return next;
    }
    for (qint64 k = pos + 1; m_nSize - k >= RecordBytes(1); ++k) {
        const auto timeMs =
            static_cast<int64_t>(GetLE(reinterpret_cast<const char*>(m_pData + k), 8));
        qint64 end = 0;
        if (timeMs >= kSearchFirstMs && timeMs <= kSearchLastMs && IsRecordAt(k, &end))
            return k;
    }
    return m_nSize;
}

bool CCaptureReader::Next(CaptureRecord& out)
{
    while (m_pData != nullptr && m_nPos < m_nSize) {
        qint64 end = 0;
        if (!IsRecordAt(m_nPos, &end)) {
            ++m_nSkipped;
            m_nPos = FindRecordAfter(m_nPos);
            continue;
        }
        const auto* record = reinterpret_cast<const char*>(m_pData + m_nPos);
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
