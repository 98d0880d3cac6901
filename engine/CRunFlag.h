#pragma once

#include <atomic>
#include <condition_variable>
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

private:
    std::atomic<int> m_bRun;
    std::mutex m_mutex;
    std::condition_variable m_wake;
};
