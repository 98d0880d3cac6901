#pragma once

#include <string>
#include <string_view>
#include <sys/types.h>

// Who holds a named lock, kept beside its semaphore so that a waiter can tell a holder that died
// from one that is only slow: POSIX semaphores stay taken when their holder dies. The record is
// the file /dev/shm/tsl-lock-owners.<uid>/<lock name> holding one 32-bit process id, 0 when the
// lock is free or held by a program that keeps no record (see docs/tag-table.md).
class CNamedSemaphoreOwner
{
public:
    // Opens or creates the record of the lock `name` (the semaphore's name without '/'). A
    // record that cannot be had leaves IsOpen false: the lock still works, without recovery.
    explicit CNamedSemaphoreOwner(std::string_view name);
    ~CNamedSemaphoreOwner();
    CNamedSemaphoreOwner(const CNamedSemaphoreOwner&) = delete;
    CNamedSemaphoreOwner& operator=(const CNamedSemaphoreOwner&) = delete;

    bool IsOpen() const { return m_pHolder != nullptr; }
    // Records this process as the holder, just after taking the semaphore.
    void Claim();
    // Clears the record if it names this process, just before giving the semaphore back.
    void Release();
    // When the recorded holder no longer exists, records this process instead, which then holds
    // the lock (the semaphore's count stays taken); returns the dead holder's id, else 0.
    pid_t TakeFromDeadHolder();

    // Unlinks the record of the lock `name`: 0 or the errno value.
    static int Remove(std::string_view name);

private:
    void* m_pHolder = nullptr; // the mapped 32-bit process id
};
