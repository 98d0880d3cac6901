#include "CCaptureReader.h"

#include <QByteArray>
#include <cstring>

#include "CaptureFormat.h"

using namespace CaptureFormat;

CaptureStatus CCaptureReader::Open(const QString& path)
{
    m_file.close();
    m_file.setFileName(path);
    m_bDamaged = false;
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
    if (version == 0 || headerBytes < kHeaderBytes || !m_file.seek(headerBytes))
        return CaptureStatus::NotCapture;
    m_nCreatedMs = static_cast<int64_t>(GetLE(head.constData() + 16, 8));
    m_nValidEnd = headerBytes;
    return CaptureStatus::Ok;
}

bool CCaptureReader::Next(CaptureRecord& out)
{
    if (!m_file.isOpen() || m_bDamaged)
        return false;
    const QByteArray head = m_file.read(kRecordHeadBytes);
    if (head.isEmpty() && m_file.atEnd())
        return false;
    m_bDamaged = true; // until the record proves whole
    if (head.size() < kRecordHeadBytes)
        return false;
    const auto n = static_cast<uint32_t>(GetLE(head.constData() + 8, 4));
    if (n == 0 || n > kMaxRecordBytes)
        return false;
    const QByteArray body = m_file.read(2 * static_cast<qint64>(n) + kRecordTailBytes);
    if (body.size() < 2 * static_cast<qint64>(n) + kRecordTailBytes)
        return false;
    uint32_t crc = Crc32(reinterpret_cast<const uint8_t*>(head.constData()), kRecordHeadBytes);
    crc = Crc32(reinterpret_cast<const uint8_t*>(body.constData()), 2 * n, crc);
    if (crc != static_cast<uint32_t>(GetLE(body.constData() + 2 * n, 4)))
        return false;
    m_bDamaged = false;
    out.timeMs = static_cast<int64_t>(GetLE(head.constData(), 8));
    out.cells.resize(n);
    for (uint32_t i = 0; i < n; ++i)
        out.cells[i] = Cell{static_cast<uint8_t>(body[i]), static_cast<uint8_t>(body[n + i])};
    m_nValidEnd = m_file.pos();
    return true;
}
