#pragma once

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>

#include <ctime>
#include <functional>

// Generous: the machine is shared, and CI runs everything at once.
inline constexpr int kEventWaitMs = 20000;

// Runs the event loop for ms milliseconds, deferred deletions included, without polling.
inline void RunEventsFor(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// Runs the event loop until the condition holds or the time is up; false on time-out.
inline bool WaitFor(const std::function<bool()>& condition, int timeoutMs = kEventWaitMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        RunEventsFor(5);
    }
    return true;
}

// Processor seconds the whole process uses while its event loop idles for ms: a thread that
// spins shows up here.
inline double CpuSecondsWhileIdle(int ms)
{
    const auto cpu = [] {
        timespec now{};
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
        return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
    };
    const double before = cpu();
    RunEventsFor(ms);
    return cpu() - before;
}
