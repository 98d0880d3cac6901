#pragma once

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>

// The run flag of a script: the host sets and clears it, the interpreter reads it before every
// command, and every wait a script makes ends as soon as it is cleared.
class CRunFlag
{
public:
    explicit CRunFlag(bool bRun = false) : m_bRun(bRun ? 1 : 0) {}

    void Set();
    void Clear();
    bool IsSet() const { return m_bRun.load(std::memory_order_relaxed) != 0; }

    // Waits up to ms milliseconds; returns early, false, when the flag is or becomes clear.
    bool SleepFor(int ms);
    // Waits until `ready` holds, false at once when the flag is or becomes clear. `ready` is
    // asked under the flag's lock, again after each Wake; whoever makes it hold calls Wake.
    bool WaitUntil(const std::function<bool()>& ready);
    void Wake();

private:
    std::atomic<int> m_bRun;
    std::mutex m_mutex;
    std::condition_variable m_wake;
};
