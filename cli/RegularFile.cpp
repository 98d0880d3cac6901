#include "RegularFile.h"

#include "FileDescriptor.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
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

std::string TooLarge(int64_t maxBytes)
{
    return "larger than " + std::to_string(maxBytes >> 20) + " MiB";
}

} // namespace

bool ReadRegularFile(const std::string& path, int64_t maxBytes, std::string& bytes,
                     std::string& strError)
{
    // Non-blocking, so that opening a FIFO with no writer returns at once and is refused.
    FileDescriptor file{open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC)};
    struct stat status
    {};
    if (file.fd < 0 || fstat(file.fd, &status) != 0) {
        strError = std::strerror(errno);
        return false;
    }
    if (!S_ISREG(status.st_mode)) {
        strError = std::string("it is ") + KindOf(status.st_mode);
        return false;
    }
    if (status.st_size > maxBytes) {
        strError = TooLarge(maxBytes);
        return false;
    }
    bytes.clear();
    bytes.reserve(static_cast<std::size_t>(status.st_size));
    std::vector<char> chunk(kReadChunkBytes);
    for (;;) {
        const ssize_t got = read(file.fd, chunk.data(), chunk.size());
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            strError = std::strerror(errno);
            return false;
        }
        if (got == 0)
            return true;
        bytes.append(chunk.data(), static_cast<std::size_t>(got));
        if (static_cast<int64_t>(bytes.size()) > maxBytes) {
            strError = TooLarge(maxBytes);
            return false;
        }
    }
}
