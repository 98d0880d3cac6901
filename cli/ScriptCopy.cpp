#include "ScriptCopy.h"

#include "FileDescriptor.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr std::size_t kReadChunkBytes = 1 << 16;

const char* KindOf(mode_t mode)
{
    if (S_ISDIR(mode))
        return "a directory";
    if (S_ISFIFO(mode))
        return "a FIFO";
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return "a device";
    if (S_ISSOCK(mode))
        return "a socket";
    return "not a regular file";
}

bool ReadAll(int fd, std::string& bytes, std::string& strError)
{
    std::vector<char> chunk(kReadChunkBytes);
    for (;;) {
        const ssize_t got = read(fd, chunk.data(), chunk.size());
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            strError = std::strerror(errno);
            return false;
        }
        if (got == 0)
            return true;
        bytes.append(chunk.data(), static_cast<std::size_t>(got));
        // A file that grows while it is read is cut off at the limit too.
        if (static_cast<int64_t>(bytes.size()) > CScriptCopy::kMaxBytes) {
            strError = "larger than 64 MiB";
            return false;
        }
    }
}

// A memory file holding `bytes` that nobody can change any more; -1 when there is none.
int SealedCopy(const std::string& bytes)
{
    const int fd = memfd_create("tslrun-script", MFD_CLOEXEC | MFD_ALLOW_SEALING);
    if (fd < 0)
        return -1;
    if (!WriteAll(fd, bytes)) {
        close(fd);
        return -1;
    }
    fcntl(fd, F_ADD_SEALS, F_SEAL_WRITE | F_SEAL_GROW | F_SEAL_SHRINK | F_SEAL_SEAL);
    return fd;
}

} // namespace

CScriptCopy::~CScriptCopy()
{
    if (m_fd >= 0)
        close(m_fd);
}

bool CScriptCopy::Load(const std::string& path, std::string& strError)
{
    // Non-blocking, so that opening a FIFO with no writer returns at once and is refused.
    FileDescriptor file{open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC)};
    if (file.fd < 0) {
        strError = std::strerror(errno);
        return false;
    }
    struct stat status
    {};
    if (fstat(file.fd, &status) != 0) {
        strError = std::strerror(errno);
        return false;
    }
    if (!S_ISREG(status.st_mode)) {
        strError = std::string("it is ") + KindOf(status.st_mode);
        return false;
    }
    if (status.st_size > kMaxBytes) {
        strError = "larger than 64 MiB";
        return false;
    }
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(status.st_size));
    if (!ReadAll(file.fd, bytes, strError))
        return false;

    m_fd = SealedCopy(bytes);
    const std::string copy = "/proc/self/fd/" + std::to_string(m_fd);
    m_strPath = m_fd >= 0 && access(copy.c_str(), R_OK) == 0 ? copy : path;
    return true;
}
