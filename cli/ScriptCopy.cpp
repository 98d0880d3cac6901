#include "ScriptCopy.h"

#include "FileDescriptor.h"
#include "RegularFile.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

namespace {

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
    std::string bytes;
    if (!ReadRegularFile(path, kMaxBytes, bytes, strError))
        return false;
    m_fd = SealedCopy(bytes);
    const std::string copy = "/proc/self/fd/" + std::to_string(m_fd);
    m_strPath = m_fd >= 0 && access(copy.c_str(), R_OK) == 0 ? copy : path;
    return true;
}
