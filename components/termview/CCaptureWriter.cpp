#include "CCaptureWriter.h"

#include <QDateTime>
#include <QFileInfo>

#include "CCaptureReader.h"
#include "CaptureFormat.h"

bool CCaptureWriter::Open(const QString& path, QString* error)
{
    Close();
    qint64 keep = 0;
    if (QFile::exists(path) && QFileInfo(path).size() > 0) {
        CCaptureReader reader;
        switch (reader.Open(path)) {
        case CaptureStatus::Ok:
            break;
        case CaptureStatus::NotCapture:
            *error = QStringLiteral("%1 is not a capture file; it is left untouched").arg(path);
            return false;
        case CaptureStatus::UnsupportedVersion:
            *error = QStringLiteral("%1 was written by a newer version").arg(path);
            return false;
        case CaptureStatus::Unreadable:
            *error = QStringLiteral("%1 cannot be read").arg(path);
            return false;
        }
        CaptureRecord record;
        while (reader.Next(record)) {
        }
        keep = reader.ValidEnd();
    }
    m_file.setFileName(path);
    if (!m_file.open(QIODevice::ReadWrite | QIODevice::Unbuffered)) {
        *error = m_file.errorString();
        return false;
    }
    // A damaged tail (a crash mid-record) is cut off, so new records stay reachable.
    const bool ready =
        keep > 0 ? m_file.resize(keep) && m_file.seek(keep)
                 : m_file.resize(0) && m_file.write(CaptureFormat::EncodeHeader(NowMs())) ==
                                           CaptureFormat::kHeaderBytes;
    if (!ready) {
        *error = m_file.errorString();
        m_file.close();
        return false;
    }
    return true;
}

bool CCaptureWriter::Flush()
{
    if (m_bytes.empty() || !m_file.isOpen())
        return true;
    const QByteArray record = CaptureFormat::EncodeRecord(
        m_nChunkTimeMs, m_bytes.data(), m_attrs.data(), static_cast<uint32_t>(m_bytes.size()));
    m_bytes.clear();
    m_attrs.clear();
    return m_file.write(record) == record.size();
}

void CCaptureWriter::Close()
{
    Flush();
    m_file.close();
    m_bytes.clear();
    m_attrs.clear();
}

int64_t CCaptureWriter::NowMs()
{
    return QDateTime::currentMSecsSinceEpoch();
}
