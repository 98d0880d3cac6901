#include "ReportFile.h"

#include "FileDescriptor.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>

namespace {

constexpr mode_t kNewFileMode = 0666;

std::string Directory(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

bool SameFile(const struct stat& a, const struct stat& b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// As the system's protected_symlinks has it: in a sticky directory such as /tmp, a link is
// followed only for its owner or the directory's, since anybody may have put it there.
bool IsForeignLink(const std::string& path, const struct stat& link)
{
    struct stat directory
    {};
    if (stat(Directory(path).c_str(), &directory) != 0)
        return true;
    return (directory.st_mode & S_ISVTX) != 0 && link.st_uid != geteuid() &&
           link.st_uid != directory.st_uid;
}

// The path of what `fd` names, every link resolved by the system; empty when it has none.
std::string RealPath(int fd)
{
    char path[PATH_MAX];
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    const ssize_t length = readlink(self.c_str(), path, sizeof path - 1);
    if (length <= 0 || path[0] != '/')
        return {};
    return std::string(path, static_cast<std::size_t>(length));
}

// An empty file, or one that starts as XML does (after a byte order mark and white space): what
// an earlier report left. A file that cannot be read is given the benefit of the doubt.
bool MayBeReport(int fd, const struct stat& status)
{
    if (status.st_size == 0)
        return true;
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    FileDescriptor file{open(self.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC)};
    char head[64];
    const ssize_t got = file.fd < 0 ? -1 : pread(file.fd, head, sizeof head, 0);
    if (got <= 0)
        return true;
    std::string_view text(head, static_cast<std::size_t>(got));
    if (text.starts_with("\xEF\xBB\xBF"))
        text.remove_prefix(3);
    const std::size_t first = text.find_first_not_of(" \t\r\n");
    return first == std::string_view::npos || text[first] == '<';
}

} // namespace

CReportFile::~CReportFile()
{
    if (m_fd >= 0)
        close(m_fd);
}

CReportFile::Verdict CReportFile::Open(const std::string& path,
                                       const std::vector<std::string>& scripts,
                                       std::string& strError)
{
    struct stat link
    {};
    if (lstat(path.c_str(), &link) != 0) {
        if (errno != ENOENT) {
            strError = std::strerror(errno);
            return Verdict::Unwritable;
        }
        m_strPath = path;
        // Read here, before the run's threads: the mask cannot be read without setting it.
        const mode_t mask = umask(0);
        umask(mask);
        m_mode = kNewFileMode & ~mask;
        return Verdict::Usable;
    }
    const bool isLink = S_ISLNK(link.st_mode);
    if (isLink && IsForeignLink(path, link)) {
        strError = "it is a symbolic link in a sticky directory, and another user's";
        return Verdict::Unwritable;
    }
    return OpenTarget(path, scripts, isLink, strError);
}

CReportFile::Verdict CReportFile::OpenTarget(const std::string& path,
                                             const std::vector<std::string>& scripts, bool bLink,
                                             std::string& strError)
{
    // Only names the file: nothing is opened for reading or writing yet, no FIFO waits.
    FileDescriptor target{open(path.c_str(), O_PATH | O_CLOEXEC)};
    struct stat status
    {};
    if (target.fd < 0 || fstat(target.fd, &status) != 0) {
        strError = errno == ENOENT ? "it is a symbolic link to nothing" : std::strerror(errno);
        return Verdict::Unwritable;
    }
    for (const std::string& script : scripts) {
        struct stat other
        {};
        if (stat(script.c_str(), &other) == 0 && SameFile(other, status)) {
            strError = "it is the script \"" + script + "\", which the report would replace";
            return Verdict::Mistake;
        }
    }
    struct stat output
    {};
    if (fstat(STDOUT_FILENO, &output) == 0 && SameFile(output, status)) {
        m_bStandardOutput = true;
        return Verdict::Usable;
    }
    if (S_ISREG(status.st_mode)) {
        if (!MayBeReport(target.fd, status)) {
            strError = "it holds something other than a report, which the report would replace";
            return Verdict::Mistake;
        }
        m_mode = status.st_mode & 0777;
        m_strPath = bLink ? RealPath(target.fd) : path;
        if (m_strPath.empty()) {
            strError = "the file it links to has no path";
            return Verdict::Unwritable;
        }
        // A report made read-only is kept, though its folder would let it be replaced.
        if (access(m_strPath.c_str(), W_OK) != 0) {
            strError = std::strerror(errno);
            return Verdict::Unwritable;
        }
        return Verdict::Usable;
    }
    if (S_ISFIFO(status.st_mode) || S_ISCHR(status.st_mode)) {
        // Without waiting: a FIFO nobody reads yet is refused, not waited for.
        m_fd = open(path.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
        if (m_fd < 0) {
            strError = errno == ENXIO ? "it is a FIFO that nobody reads" : std::strerror(errno);
            return Verdict::Unwritable;
        }
        // The report is written whole: a slow reader is waited for (a stop still ends it).
        fcntl(m_fd, F_SETFL, fcntl(m_fd, F_GETFL) & ~O_NONBLOCK);
        return Verdict::Usable;
    }
    strError = S_ISDIR(status.st_mode)   ? "it is a directory"
               : S_ISBLK(status.st_mode) ? "it is a block device"
                                         : "it is a socket";
    return Verdict::Unwritable;
}

bool CReportFile::Write(std::string_view document, std::string& strError)
{
    if (m_fd < 0)
        return Replace(document, strError);
    if (WriteAll(m_fd, document))
        return true;
    strError = std::strerror(errno);
    return false;
}

bool CReportFile::Replace(std::string_view document, std::string& strError)
{
    std::string temporary = Directory(m_strPath) + "/.tslrun-report-XXXXXX";
    FileDescriptor file{mkostemp(temporary.data(), O_CLOEXEC)};
    if (file.fd < 0) {
        strError = std::strerror(errno);
        return false;
    }
    // The name is replaced only by a complete report, never by one cut short.
    const bool written = WriteAll(file.fd, document) && fchmod(file.fd, m_mode) == 0 &&
                         fdatasync(file.fd) == 0 &&
                         rename(temporary.c_str(), m_strPath.c_str()) == 0;
    if (!written) {
        strError = std::strerror(errno);
        unlink(temporary.c_str());
    }
    return written;
}
