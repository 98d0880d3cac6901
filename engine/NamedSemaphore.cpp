#include "NamedSemaphore.h"

#include "CRunFlag.h"
#include "CSharedMemoryAccess.h"
#include "NamedSemaphoreOwner.h"

#include <algorithm>
#include <cerrno>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>

namespace {

// Tries to open-or-create before giving up when the semaphore keeps appearing and vanishing.
constexpr int kOpenAttempts = 3;
// A waiter looks at the holder record and at the run flag this often.
constexpr int kWaitSliceMs = 25;
constexpr long kNanosPerMs = 1'000'000;
constexpr long kNanosPerSecond = 1'000'000'000;

timespec Now()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now;
}

timespec Later(timespec time, long ms)
{
    time.tv_sec += ms / 1000;
    time.tv_nsec += (ms % 1000) * kNanosPerMs;
    if (time.tv_nsec >= kNanosPerSecond) {
        time.tv_sec += 1;
        time.tv_nsec -= kNanosPerSecond;
    }
    return time;
}

bool Before(const timespec& a, const timespec& b)
{
    return a.tv_sec < b.tv_sec || (a.tv_sec == b.tv_sec && a.tv_nsec < b.tv_nsec);
}

} // namespace

CNamedSemaphore::CNamedSemaphore(std::string_view name, unsigned initialCount, Use use)
    : m_strName(name)
{
    std::string message;
    if (int code = SharedObject::CheckName(name, "semaphore name",
                                           SharedObject::kSemaphoreFileExtraBytes, message)) {
        Fail(code, message);
        return;
    }
    const std::string path = "/" + m_strName;
    const std::string file = SharedObject::kSemaphoreFilePrefix + m_strName;
    const std::string what = "semaphore " + file;
    struct stat status
    {};
    for (int attempt = 0; attempt < kOpenAttempts && !m_pSemaphore; ++attempt) {
        // The file is looked at before and after sem_open: when both are the same file, that
        // file is the one mapped, and the owner check below speaks for the semaphore in use.
        struct stat before
        {};
        const bool existed = lstat(file.c_str(), &before) == 0;
        if (existed) {
            m_pSemaphore = sem_open(path.c_str(), 0);
        } else {
            m_pSemaphore = sem_open(path.c_str(), O_CREAT | O_EXCL, 0600, initialCount);
            m_bCreator = m_pSemaphore != SEM_FAILED;
        }
        if (m_pSemaphore == SEM_FAILED) {
            m_pSemaphore = nullptr;
            // ENOENT, EEXIST: another program removed or created it meanwhile; try again.
            if (errno != ENOENT && errno != EEXIST) {
                const int code = SharedObject::OpenFailure(errno, what, file, message);
                Fail(code, message);
                return;
            }
            continue;
        }
        const bool same =
            lstat(file.c_str(), &status) == 0 &&
            (!existed || (status.st_dev == before.st_dev && status.st_ino == before.st_ino));
        if (!same) {
            sem_close(m_pSemaphore);
            m_pSemaphore = nullptr;
            m_bCreator = false;
        }
    }
    if (!m_pSemaphore) {
        Fail(ENOENT, what + " keeps changing while it is opened");
        return;
    }
    int code = SharedObject::CheckOwner(status, what, message);
    // A file too short for a semaphore would fault at the first wait or post.
    if (code == 0 &&
        (!S_ISREG(status.st_mode) || status.st_size < static_cast<off_t>(sizeof(sem_t)))) {
        code = EINVAL;
        message = what + " is not a semaphore (" + std::to_string(status.st_size) + " bytes)";
    }
    if (code) {
        sem_close(m_pSemaphore);
        m_pSemaphore = nullptr;
        Fail(code, message);
        return;
    }
    if (use == Use::Lock)
        m_pOwner = std::make_unique<CNamedSemaphoreOwner>(m_strName);
}

CNamedSemaphore::~CNamedSemaphore()
{
    if (!m_pSemaphore)
        return;
    Unlock();
    sem_close(m_pSemaphore);
}

bool CNamedSemaphore::Lock(int timeoutMs, const CRunFlag* pRun)
{
    if (!m_pSemaphore)
        return Fail(EBADF, "semaphore \"/" + m_strName + "\" is not open");
    // A second take by the same holder could only time out.
    if (m_bHeld)
        return Fail(EDEADLK, "semaphore \"/" + m_strName + "\" is already held here");

    m_nDeadHolder = 0;
    const timespec deadline = Later(Now(), timeoutMs);
    for (;;) {
        // Wait in slices: between them, a stop ends the wait and a dead holder's lock is taken.
        const timespec slice = std::min(Later(Now(), kWaitSliceMs), deadline, Before);
        if (sem_clockwait(m_pSemaphore, CLOCK_MONOTONIC, &slice) == 0)
            break;
        if (errno == EINTR)
            continue; // a signal handler ran: wait on towards the same deadline
        if (errno != ETIMEDOUT)
            return Fail(errno, "cannot take semaphore \"/" + m_strName +
                                   "\": " + SharedObject::ErrorText(errno));
        if (m_pOwner && (m_nDeadHolder = m_pOwner->TakeFromDeadHolder()) != 0) {
            m_bHeld = true;
            return true;
        }
        if (pRun && !pRun->IsSet())
            return Fail(ECANCELED, "stopped while waiting for semaphore \"/" + m_strName + "\"");
        if (!Before(Now(), deadline))
            return Fail(ETIMEDOUT, "semaphore \"/" + m_strName + "\" was not released within " +
                                       std::to_string(timeoutMs) +
                                       " ms by a program that is still running or keeps no "
                                       "holder record");
    }
    if (m_pOwner)
        m_pOwner->Claim();
    m_bHeld = true;
    return true;
}

void CNamedSemaphore::Unlock()
{
    if (!m_bHeld)
        return;
    m_bHeld = false;
    if (m_pOwner)
        m_pOwner->Release();
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
    const int result = sem_unlink(path.c_str()) == 0 ? 0 : errno;
    CNamedSemaphoreOwner::Remove(name);
    return result;
}

bool CNamedSemaphore::Fail(int code, std::string text)
{
    m_nLastError = code;
    m_strError = std::move(text);
    return false;
}
