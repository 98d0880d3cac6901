#include "WholeFile.h"

#include "SystemErrorText.h"

#include <QCoreApplication>
#include <QFile>
#include <QSaveFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString TooLarge(qint64 bytes)
{
    return QCoreApplication::translate("WholeFile", "파일이 너무 큽니다 (%1 바이트).").arg(bytes);
}

// Reads fd to its end, or to one byte past limitBytes.
bool ReadUpTo(int fd, qint64 limitBytes, QByteArray& data, int& error)
{
    char chunk[64 * 1024];
    while (data.size() <= limitBytes) {
        const ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            error = errno;
            return false;
        }
        if (n == 0)
            return true;
        data.append(chunk, n);
    }
    return true;
}

} // namespace

WholeFileRead ReadWholeFile(const QString& path, qint64 limitBytes)
{
    WholeFileRead result;
    // Not blocking: a FIFO opens at once, and is then refused as no regular file.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        result.missing = errno == ENOENT;
        result.reason = SystemErrorText(errno);
        return result;
    }
    struct stat status = {};
    QByteArray data;
    int error = 0;
    result.regular = ::fstat(fd, &status) == 0 && S_ISREG(status.st_mode);
    if (!result.regular)
        result.reason = QCoreApplication::translate("WholeFile", "일반 파일이 아닙니다.");
    else if (status.st_size > limitBytes)
        result.reason = TooLarge(status.st_size);
    else if (!ReadUpTo(fd, limitBytes, data, error))
        result.reason = SystemErrorText(error);
    else if (data.size() > limitBytes) // it grew while it was read
        result.reason = TooLarge(data.size());
    else
        result.data = std::move(data);
    ::close(fd);
    return result;
}

bool WriteWholeFile(const QString& path, const QByteArray& bytes)
{
    // A write the disk cuts short (full, over a size limit) can still let commit() succeed
    // with a shortened file, so the written size is checked first; an uncommitted file is
    // thrown away and the old one stays.
    QSaveFile file(path);
    const bool written = file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() &&
                         file.flush() && file.size() == bytes.size();
    return written && file.commit();
}
