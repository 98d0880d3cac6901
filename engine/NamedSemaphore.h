#pragma once

#include "CSharedMemoryConstants.h"

#include <memory>
#include <semaphore.h>
#include <string>
#include <string_view>
#include <sys/types.h>

class CRunFlag;
class CNamedSemaphoreOwner;

// A named POSIX semaphore that only this user can use: the table lock ("_Sync"), the tag lock
// ("_Sync_2", count 1 of 1) and the value events ("_Event"). A lock records its holder, so that
// a lock whose holder died is taken over instead of blocking every later user.
class CNamedSemaphore
{
public:
    enum class Use
    {
        Lock, // count 1 of 1, taken and given back by one holder
        Event // set by writers, taken by waiters
    };

    // `name` comes without the leading '/'. A semaphore that does not exist yet is created with
    // mode 0600 and `initialCount`; an existing one must belong to this user and be writable by
    // nobody else.
    CNamedSemaphore(std::string_view name, unsigned initialCount, Use use = Use::Lock);
    ~CNamedSemaphore();
    CNamedSemaphore(const CNamedSemaphore&) = delete;
    CNamedSemaphore& operator=(const CNamedSemaphore&) = delete;

    bool IsOpen() const { return m_pSemaphore != nullptr; }
    // True when this object created the semaphore.
    bool IsCreator() const { return m_bCreator; }
    const std::string& GetName() const { return m_strName; }
    // errno value and message of the last failure.
    int GetLastError() const { return m_nLastError; }
    const std::string& GetErrorText() const { return m_strError; }

    // Takes the count, waiting at most `timeoutMs` on the monotonic clock (ETIMEDOUT then), or
    // until `pRun` is cleared (ECANCELED). A lock whose recorded holder no longer exists is
    // taken over at once; GetDeadHolder then names the process that died with it.
    bool Lock(int timeoutMs = SharedTable::kLockTimeoutMs, const CRunFlag* pRun = nullptr);
    // Gives back the count this object took; nothing when it holds none, so a lock's count
    // never passes 1.
    void Unlock();
    // Sets an event: raises the count to 1 when it is 0, so a burst of sets wakes a waiter once
    // and the count cannot grow without bound when nobody waits.
    bool Signal();
    // The process that held this lock when the last Lock took it over from the dead; 0 when
    // the last Lock found it free.
    pid_t GetDeadHolder() const { return m_nDeadHolder; }

    // Unlinks the semaphore `name` (without '/') and its holder record: 0 or the errno value of
    // the semaphore's removal.
    static int Remove(std::string_view name);

private:
    bool Fail(int code, std::string text);

    std::string m_strName;
    sem_t* m_pSemaphore = nullptr;
    std::unique_ptr<CNamedSemaphoreOwner> m_pOwner;
    bool m_bCreator = false;
    bool m_bHeld = false;
    pid_t m_nDeadHolder = 0;
    int m_nLastError = 0;
    std::string m_strError;
};

// Holds a CNamedSemaphore's count for one scope.
class CNamedSemaphoreLock
{
public:
    explicit CNamedSemaphoreLock(CNamedSemaphore& semaphore,
                                 int timeoutMs = SharedTable::kLockTimeoutMs,
                                 const CRunFlag* pRun = nullptr)
        : m_semaphore(semaphore), m_bLocked(semaphore.Lock(timeoutMs, pRun))
    {}
    ~CNamedSemaphoreLock()
    {
        if (m_bLocked)
            m_semaphore.Unlock();
    }
    CNamedSemaphoreLock(const CNamedSemaphoreLock&) = delete;
    CNamedSemaphoreLock& operator=(const CNamedSemaphoreLock&) = delete;

    bool IsLocked() const { return m_bLocked; }

private:
    CNamedSemaphore& m_semaphore;
    bool m_bLocked;
};
