#include "CCaptureReader.h"

#include "CaptureFormat.h"

#include <QByteArray>
#include <QtEndian>
#include <algorithm>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace CaptureFormat;

namespace {

// A record found by searching must carry a time between these (2000 and 2200, in ms since
// 1970): random bytes almost never do, so the search checks few checksums.
constexpr int64_t kSearchFirstMs = 946684800000;
constexpr int64_t kSearchLastMs = 7258118400000;
// Such a time is below 2^43: its two high bytes are 0 and the next one at most this.
constexpr uint8_t kSearchTopByte = kSearchLastMs >> 40;

// Checksums computed in all may reach this many bytes, and this many more for each byte read.
// An honest file, however damaged, stays far below (a damaged place costs about as much as the
// bytes it spans); a file made so that every few bytes look like the start of a long record
// would otherwise take a checksum of up to 2 MiB for each.
constexpr qint64 kCheckHeadStartBytes = qint64(16) << 20;
constexpr qint64 kChecksPerByteRead = 4;

// The search looks at the file this many bytes at a time.
constexpr qint64 kSearchBlockBytes = 64 * 1024;

qint64 RecordBytes(uint32_t n)
{
    return kRecordHeadBytes + 2 * static_cast<qint64>(n) + kRecordTailBytes;
}

bool IsSearchTime(int64_t timeMs)
{
    return timeMs >= kSearchFirstMs && timeMs <= kSearchLastMs;
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
    m_nChecked = m_nReach = m_nReported = 0;
    m_bStopped = false;
    // Not blocking: a FIFO put in place of a capture must not hold the caller until someone
    // writes into it.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return CaptureStatus::Unreadable;
    struct stat info = {};
    if (::fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
        ::close(fd);
        return CaptureStatus::Unreadable;
    }
    if (!S_ISREG(info.st_mode)) {
        ::close(fd);
        return CaptureStatus::NotCapture;
    }
    if (!m_file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return CaptureStatus::Unreadable;
    }
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
    m_nPos = m_nValidEnd = m_nHeaderBytes = m_nReach = m_nReported = headerBytes;
    m_window.Reset(&m_file, size);
    return CaptureStatus::Ok;
}

int64_t CCaptureReader::NumberAt(qint64 pos, int bytes)
{
    const uchar* at = m_window.At(pos, bytes);
    return at ? static_cast<int64_t>(GetLE(reinterpret_cast<const char*>(at), bytes)) : -1;
}

bool CCaptureReader::Reached(qint64 pos)
{
    m_nReach = std::max(m_nReach, pos);
    if (m_nReach - m_nReported >= kProgressStepBytes) {
        m_nReported = m_nReach;
        if (m_progress && !m_progress(m_nReach))
            m_bStopped = true;
    }
    return !m_bStopped;
}

bool CCaptureReader::Affords(qint64 bytes) const
{
    // Past the bound a place counts as no record: only a file made to look like records
    // everywhere gets there.
    return m_nChecked + bytes <=
           kCheckHeadStartBytes + kChecksPerByteRead * (m_nReach - m_nHeaderBytes);
}

bool CCaptureReader::IsRecordAt(qint64 pos, qint64* end)
{
    const int64_t n = NumberAt(pos + 8, 4);
    if (n < 0 || n > kMaxRecordBytes)
        return false;
    const qint64 bytes = RecordBytes(static_cast<uint32_t>(n));
    if (bytes > m_window.Size() - pos)
        return false;
    if (!Affords(bytes))
        return false;
    const uchar* record = m_window.At(pos, bytes);
    if (record == nullptr)
        return false;
    m_nChecked += bytes;
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
    // Byte by byte, a block at a time; most places fail the time's high bytes at once.
    constexpr qint64 kHead = kRecordHeadBytes;
    for (qint64 k = pos + 1; m_window.Size() - k >= RecordBytes(0);) {
        if (!Reached(k))
            return m_window.Size();
        const qint64 span = std::min(kSearchBlockBytes, m_window.Size() - k - kHead + 1);
        const uchar* block = m_window.At(k, span + kHead - 1);
        if (block == nullptr)
            continue; // cut short meanwhile: the file's end moved before k + span
        qint64 i = 0;
        for (; i < span; ++i) {
            const uchar* at = block + i;
            if (at[7] != 0 || at[6] != 0 || at[5] > kSearchTopByte)
                continue;
            const auto timeMs = qFromLittleEndian<qint64>(at);
            const quint32 count = qFromLittleEndian<quint32>(at + 8);
            if (!IsSearchTime(timeMs) || count > kMaxRecordBytes)
                continue;
            const qint64 bytes = RecordBytes(count);
            if (bytes > m_window.Size() - (k + i) || !Affords(bytes))
                continue;
            qint64 end = 0;
            if (IsRecordAt(k + i, &end))
                return k + i;
            ++i;
            break; // the window may have moved: look again from the next place
        }
        k += i;
    }
    return m_window.Size();
}

bool CCaptureReader::Next(CaptureRecord& out)
{
    while (m_nPos < m_window.Size() && Reached(m_nPos)) {
        qint64 end = 0;
        if (!IsRecordAt(m_nPos, &end)) {
            ++m_nSkipped;
            m_nPos = FindRecordAfter(m_nPos);
            continue;
        }
        const auto* record = reinterpret_cast<const char*>(m_window.At(m_nPos, end - m_nPos));
        const auto n = static_cast<uint32_t>(GetLE(record + 8, 4));
        m_nPos = m_nValidEnd = end;
        // An empty record is whole, and holds nothing to show.
        if (n == 0)
            continue;
        out.timeMs = static_cast<int64_t>(GetLE(record, 8));
        out.cells.resize(n);
        const char* bytes = record + kRecordHeadBytes;
        for (uint32_t i = 0; i < n; ++i)
            out.cells[i] = Cell{static_cast<uint8_t>(bytes[i]), static_cast<uint8_t>(bytes[n + i])};
        return true;
    }
    return false;
}
