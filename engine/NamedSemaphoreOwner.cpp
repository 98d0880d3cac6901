#include "NamedSemaphoreOwner.h"

#include "CSharedMemoryAccess.h"
#include "CSharedMemoryGuard.h"

#include <atomic>
#include <cerrno>
#include <cstdint>
#include <fcntl.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr std::size_t kRecordBytes = sizeof(uint32_t);

std::string Directory()
{
    return std::string(SharedObject::kSharedMemoryDirectory) + "tsl-lock-owners." +
           std::to_string(geteuid());
}

// The folder of the records, this user's alone; -1 when it cannot be had or is not safe.
int OpenDirectory()
{
    const std::string path = Directory();
    if (mkdir(path.c_str(), 0700) != 0 && errno != EEXIST)
        return -1;
    const int fd = open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    struct stat status
    {};
    std::string message;
    if (fd >= 0 && (fstat(fd, &status) != 0 || SharedObject::CheckOwner(status, "", message))) {
        close(fd);
        return -1;
    }
    return fd;
}

bool Exists(pid_t pid)
{
    return kill(pid, 0) == 0 || errno != ESRCH;
}

std::atomic_ref<uint32_t> Holder(void* record)
{
    return std::atomic_ref<uint32_t>(*static_cast<uint32_t*>(record));
}

} // namespace

CNamedSemaphoreOwner::CNamedSemaphoreOwner(std::string_view name)
{
    const int directory = OpenDirectory();
    if (directory < 0)
        return;
    const std::string file(name);
    const int fd = openat(directory, file.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    close(directory);
    if (fd < 0)
        return;
    struct stat status
    {};
    std::string message;
    if (fstat(fd, &status) == 0 && !SharedObject::CheckOwner(status, "", message) &&
        (status.st_size >= static_cast<off_t>(kRecordBytes) || ftruncate(fd, kRecordBytes) == 0)) {
        void* view = mmap(nullptr, kRecordBytes, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
        if (view != MAP_FAILED)
            m_pHolder = view;
    }
    close(fd);
}

CNamedSemaphoreOwner::~CNamedSemaphoreOwner()
{
    if (m_pHolder)
        munmap(m_pHolder, kRecordBytes);
}

void CNamedSemaphoreOwner::Claim()
{
    if (m_pHolder) {
        const auto self = static_cast<uint32_t>(getpid());
        CSharedMemoryGuard::Run(m_pHolder, kRecordBytes, [&] { Holder(m_pHolder).store(self); });
    }
}

void CNamedSemaphoreOwner::Release()
{
    if (m_pHolder) {
        auto self = static_cast<uint32_t>(getpid());
        CSharedMemoryGuard::Run(m_pHolder, kRecordBytes,
                                [&] { Holder(m_pHolder).compare_exchange_strong(self, 0); });
    }
}

pid_t CNamedSemaphoreOwner::TakeFromDeadHolder()
{
    if (!m_pHolder)
        return 0;
    uint32_t holder = 0;
    if (!CSharedMemoryGuard::Run(m_pHolder, kRecordBytes, [&] { holder = Holder(m_pHolder); }))
        return 0;
    const auto self = static_cast<uint32_t>(getpid());
    if (holder == 0 || holder == self || Exists(static_cast<pid_t>(holder)))
        return 0;
    // Of all the waiters that found the holder dead, exactly one replaces it.
    bool taken = false;
    CSharedMemoryGuard::Run(m_pHolder, kRecordBytes, [&] {
        taken = Holder(m_pHolder).compare_exchange_strong(holder, self);
    });
    return taken ? static_cast<pid_t>(holder) : 0;
}

int CNamedSemaphoreOwner::Remove(std::string_view name)
{
    const std::string path = Directory() + "/" + std::string(name);
    return unlink(path.c_str()) == 0 ? 0 : errno;
}
