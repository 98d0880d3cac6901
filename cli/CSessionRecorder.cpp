#include "CSessionRecorder.h"

#include "CaptureFormat.h"
#include "FileDescriptor.h"

#include <QDateTime>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

static_assert(CSessionRecorder::kMaxBytes > CaptureFormat::kMaxRecordBytes);

CSessionRecorder::~CSessionRecorder()
{
    std::string ignored;
    Close(ignored);
}

bool CSessionRecorder::Open(const std::string& path, std::string& strError)
{
    const int fd = ::open(path.c_str(),
                          O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY, 0644);
    if (fd < 0) {
        strError = errno == ELOOP ? "it is a symbolic link" : std::strerror(errno);
        return false;
    }
    FileDescriptor file{fd};
    struct stat status
    {};
    if (fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        strError = "it is not a regular file";
        return false;
    }
    char magic[sizeof CaptureFormat::kMagic] = {};
    if (status.st_size > 0 && (::pread(fd, magic, sizeof magic, 0) != ssize_t(sizeof magic) ||
                               std::memcmp(magic, CaptureFormat::kMagic, sizeof magic) != 0)) {
        strError = "it holds something other than a capture";
        return false;
    }
    const QByteArray header = CaptureFormat::EncodeHeader(QDateTime::currentMSecsSinceEpoch());
    if (::ftruncate(fd, 0) != 0 ||
        !WriteAll(fd, std::string_view(header.constData(), std::size_t(header.size())))) {
        strError = std::strerror(errno);
        return false;
    }
    m_fd = std::exchange(file.fd, -1);
    m_nWritten = header.size();
    return true;
}

void CSessionRecorder::Record(const char* data, int n, char attr)
{
    const std::lock_guard lock(m_mutex);
    const int64_t now = QDateTime::currentMSecsSinceEpoch();
    while (n > 0 && m_fd >= 0 && m_strError.empty()) {
        const int piece = std::min<int>(n, int(CaptureFormat::kMaxRecordBytes));
        const std::string attrs(std::size_t(piece), attr);
        const QByteArray record = CaptureFormat::EncodeRecord(
            now, reinterpret_cast<const uint8_t*>(data),
            reinterpret_cast<const uint8_t*>(attrs.data()), uint32_t(piece));
        if (m_nWritten + record.size() > kMaxBytes) {
            m_strError = "it reached 1 GiB; the rest of the session is not in it";
            return;
        }
        if (!WriteAll(m_fd, std::string_view(record.constData(), std::size_t(record.size())))) {
            m_strError = std::strerror(errno);
            return;
        }
        m_nWritten += record.size();
        data += piece;
        n -= piece;
    }
}

bool CSessionRecorder::Close(std::string& strError)
{
    const std::lock_guard lock(m_mutex);
    if (m_fd >= 0 && ::close(std::exchange(m_fd, -1)) != 0 && m_strError.empty())
        m_strError = std::strerror(errno);
    strError = m_strError;
    return m_strError.empty();
}
