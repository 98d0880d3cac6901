#include "CRunFlag.h"

#include <chrono>

void CRunFlag::Set()
{
    std::lock_guard lock(m_mutex);
    m_bRun.store(1, std::memory_order_relaxed);
}

void CRunFlag::Clear()
{
    {
        std::lock_guard lock(m_mutex);
        m_bRun.store(0, std::memory_order_relaxed);
    }
    m_wake.notify_all();
}

bool CRunFlag::SleepFor(int ms)
{
    std::unique_lock lock(m_mutex);
    if (ms <= 0)
        return IsSet();
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    return !m_wake.wait_until(lock, deadline, [this] { return !IsSet(); });
}

bool CRunFlag::WaitUntil(const std::function<bool()>& ready)
{
    std::unique_lock lock(m_mutex);
    m_wake.wait(lock, [&] { return !IsSet() || ready(); });
    return IsSet();
}

void CRunFlag::Wake()
{
    // Taking the lock orders the change of the condition before a waiter's next look at it.
    {
        std::lock_guard lock(m_mutex);
    }
    m_wake.notify_all();
}
