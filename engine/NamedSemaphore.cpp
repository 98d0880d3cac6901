#include "NamedSemaphore.h"

#include "CSharedMemoryAccess.h"

#include <cerrno>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>

namespace {

// Tries to open-or-create before giving up when the semaphore keeps appearing and vanishing.
constexpr int kOpenAttempts = 3;

} // namespace

CNamedSemaphore::CNamedSemaphore(std::string_view name, unsigned initialCount) : m_strName(name)
{
    std::string message;
    if (int code = SharedObject::CheckName(name, "semaphore name",
                                           SharedObject::kSemaphoreFileExtraBytes, message)) {
        Fail(code, message);
        return;
    }
    const std::string path = "/" + m_strName;
    for (int attempt = 0; attempt < kOpenAttempts && !m_pSemaphore; ++attempt) {
        // Opening an existing one first is much cheaper than glibc's create path.
        m_pSemaphore = sem_open(path.c_str(), 0);
        if (m_pSemaphore == SEM_FAILED && errno == ENOENT)
            m_pSemaphore = sem_open(path.c_str(), O_CREAT | O_EXCL, 0600, initialCount);
        if (m_pSemaphore == SEM_FAILED) {
            m_pSemaphore = nullptr;
            // EEXIST: another program created it between the two opens; try again.
            if (errno != EEXIST) {
                Fail(errno,
                     "cannot open semaphore \"" + path + "\": " + SharedObject::ErrorText(errno));
                return;
            }
        }
    }
    if (!m_pSemaphore) {
        Fail(ENOENT, "semaphore \"" + path + "\" keeps vanishing while it is opened");
        return;
    }

    struct stat status
    {};
    int code = 0;
    if (stat((SharedObject::kSemaphoreFilePrefix + m_strName).c_str(), &status) != 0) {
        code = errno;
        message = "cannot check semaphore \"" + path + "\": " + SharedObject::ErrorText(code);
    } else {
        code = SharedObject::CheckOwner(status, "semaphore \"" + path + "\"", message);
    }
    if (code) {
        sem_close(m_pSemaphore);
        m_pSemaphore = nullptr;
        Fail(code, message);
    }
}

CNamedSemaphore::~CNamedSemaphore()
{
    if (!m_pSemaphore)
        return;
    Unlock();
    sem_close(m_pSemaphore);
}

bool CNamedSemaphore::Lock(int timeoutMs)
{
    if (!m_pSemaphore)
        return Fail(EBADF, "semaphore \"/" + m_strName + "\" is not open");
    // A second take by the same holder could only time out.
    if (m_bHeld)
        return Fail(EDEADLK, "semaphore \"/" + m_strName + "\" is already held here");

    timespec deadline{};
    clock_gettime(CLOCK_MONOTONIC, &deadline);
    deadline.tv_sec += timeoutMs / 1000;
    deadline.tv_nsec += static_cast<long>(timeoutMs % 1000) * 1'000'000;
    if (deadline.tv_nsec >= 1'000'000'000) {
        deadline.tv_sec += 1;
        deadline.tv_nsec -= 1'000'000'000;
    }
    while (sem_clockwait(m_pSemaphore, CLOCK_MONOTONIC, &deadline) != 0) {
        // A signal handler ran: wait on towards the same deadline.
        if (errno == EINTR)
            continue;
        if (errno == ETIMEDOUT)
            return Fail(ETIMEDOUT, "semaphore \"/" + m_strName + "\" was not released within " +
                                       std::to_string(timeoutMs) +
                                       " ms; if its holder died, remove the table");
        return Fail(errno, "cannot take semaphore \"/" + m_strName +
                               "\": " + SharedObject::ErrorText(errno));
    }
    m_bHeld = true;
    return true;
}

void CNamedSemaphore::Unlock()
{
    if (!m_bHeld)
        return;
    m_bHeld = false;
    sem_post(m_pSemaphore);
}

bool CNamedSemaphore::Signal()
{
    if (!m_pSemaphore)
        return Fail(EBADF, "semaphore \"/" + m_strName + "\" is not open");
    int count = 0;
    if (sem_getvalue(m_pSemaphore, &count) == 0 && count > 0)
        return true;
    if (sem_post(m_pSemaphore) != 0)
        return Fail(errno, "cannot post semaphore \"/" + m_strName +
                               "\": " + SharedObject::ErrorText(errno));
    return true;
}

int CNamedSemaphore::Remove(std::string_view name)
{
    const std::string path = "/" + std::string(name);
    return sem_unlink(path.c_str()) == 0 ? 0 : errno;
}

bool CNamedSemaphore::Fail(int code, std::string text)
{
    m_nLastError = code;
    m_strError = std::move(text);
    return false;
}
