#pragma once

#include "CSharedMemoryConstants.h"

#include <semaphore.h>
#include <string>
#include <string_view>

// A named POSIX semaphore that only this user can use: the table lock ("_Sync"), the tag lock
// ("_Sync_2", count 1 of 1) and the value events ("_Event").
class CNamedSemaphore
{
public:
    // `name` comes without the leading '/'. A semaphore that does not exist yet is created with
    // mode 0600 and `initialCount`; an existing one must belong to this user and be writable by
    // nobody else.
    CNamedSemaphore(std::string_view name, unsigned initialCount);
    ~CNamedSemaphore();
    CNamedSemaphore(const CNamedSemaphore&) = delete;
    CNamedSemaphore& operator=(const CNamedSemaphore&) = delete;

    bool IsOpen() const { return m_pSemaphore != nullptr; }
    const std::string& GetName() const { return m_strName; }
    // errno value and message of the last failure.
    int GetLastError() const { return m_nLastError; }
    const std::string& GetErrorText() const { return m_strError; }

    // Takes the count, waiting at most `timeoutMs` on the monotonic clock (ETIMEDOUT then).
    bool Lock(int timeoutMs = SharedTable::kLockTimeoutMs);
    // Gives back the count this object took; nothing when it holds none, so a lock's count
    // never passes 1.
    void Unlock();
    // Sets an event: raises the count to 1 when it is 0, so a burst of sets wakes a waiter once
    // and the count cannot grow without bound when nobody waits.
    bool Signal();

    // Unlinks the semaphore `name` (without '/'): 0 or the errno value.
    static int Remove(std::string_view name);

private:
    bool Fail(int code, std::string text);

    std::string m_strName;
    sem_t* m_pSemaphore = nullptr;
    bool m_bHeld = false;
    int m_nLastError = 0;
    std::string m_strError;
};

// Holds a CNamedSemaphore's count for one scope.
class CNamedSemaphoreLock
{
public:
    explicit CNamedSemaphoreLock(CNamedSemaphore& semaphore,
                                 int timeoutMs = SharedTable::kLockTimeoutMs)
        : m_semaphore(semaphore), m_bLocked(semaphore.Lock(timeoutMs))
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
