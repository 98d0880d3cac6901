#include "CCaptureWriter.h"

#include "CCaptureReader.h"
#include "CaptureFormat.h"
#include "SystemErrorText.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFileInfo>
#include <cerrno>
#include <unistd.h>

namespace {

constexpr qint64 kCopyChunkBytes = 64 * 1024;

// The system's reason for the failure just met, or Qt's words when the system gave none.
QString Reason(const QFileDevice& file)
{
    return errno != 0 ? SystemErrorText(errno) : file.errorString();
}

// A name beside path for its damaged tail that holds nothing yet: NAME.damaged, then
// NAME.damaged.2 and so on, so that no earlier tail is overwritten.
QString FreeDamagedName(const QString& path)
{
    const QString base = path + QStringLiteral(".damaged");
    QString name = base;
    for (int i = 2; QFileInfo::exists(name); ++i)
        name = QStringLiteral("%1.%2").arg(base).arg(i);
    return name;
}

// Copies the bytes of path from offset from to its end into a new file of its own.
bool SaveDamagedTail(const QString& path, qint64 from, QString* error)
{
    QFile source(path);
    QFile tail(FreeDamagedName(path));
    const auto fail = [&](const QFileDevice& culprit) {
        *error = QStringLiteral("손상된 끝부분을 옮길 수 없어 이어 쓰지 않습니다: %1\n%2")
                     .arg(tail.fileName(), Reason(culprit));
        if (tail.isOpen())
            tail.remove();
        return false;
    };
    errno = 0;
    if (!source.open(QIODevice::ReadOnly) || !source.seek(from))
        return fail(source);
    if (!tail.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        return fail(tail);
    while (!source.atEnd()) {
        const QByteArray chunk = source.read(kCopyChunkBytes);
        if (chunk.isEmpty())
            return fail(source);
        if (tail.write(chunk) != chunk.size())
            return fail(tail);
    }
    // On the disk before the capture file is cut, whatever happens next.
    if (!tail.flush() || ::fsync(tail.handle()) != 0)
        return fail(tail);
    tail.close();
    return tail.error() == QFileDevice::NoError || fail(tail);
}

} // namespace

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
            *error = QStringLiteral("갈무리 파일이 아닌 파일이 있어 그대로 둡니다: %1").arg(path);
            return false;
        case CaptureStatus::UnsupportedVersion:
            *error = QStringLiteral("새 버전의 TARVEN에서 만든 갈무리 파일입니다: %1").arg(path);
            return false;
        case CaptureStatus::Unreadable:
            *error = QStringLiteral("갈무리 파일을 읽을 수 없습니다: %1").arg(path);
            return false;
        }
        CaptureRecord record;
        while (reader.Next(record)) {
        }
        keep = reader.ValidEnd();
        // New records go after the last whole one; a damaged tail (a crash in the middle of a
        // record) is kept in a file of its own first, never dropped.
        if (keep < reader.FileSize() && !SaveDamagedTail(path, keep, error))
            return false;
    }
    m_file.setFileName(path);
    errno = 0;
    if (!m_file.open(QIODevice::ReadWrite | QIODevice::Unbuffered)) {
        *error = QStringLiteral("%1\n%2").arg(path, Reason(m_file));
        return false;
    }
    const bool ready =
        keep > 0 ? m_file.resize(keep) && m_file.seek(keep)
                 : m_file.resize(0) && m_file.write(CaptureFormat::EncodeHeader(NowMs())) ==
                                           CaptureFormat::kHeaderBytes;
    if (!ready) {
        *error = QStringLiteral("%1\n%2").arg(path, Reason(m_file));
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
    errno = 0;
    if (m_file.write(record) == record.size())
        return true;
    m_strError =
        QCoreApplication::translate("CCaptureWriter", "갈무리 파일에 쓸 수 없습니다: %1\n%2")
            .arg(m_file.fileName(), Reason(m_file));
    return false;
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
