#pragma once

#include "CCaptureReader.h"

#include <QString>
#include <atomic>
#include <thread>

// Reads a capture file through once on a thread of its own for the length of its replay in
// recorded time, so that a replay starts at once and its slider gets its range when the length
// is known, however big the file.
class CReplayScan
{
public:
    CReplayScan();
    // Stops the reading and waits for its thread.
    ~CReplayScan();
    CReplayScan(const CReplayScan&) = delete;
    CReplayScan& operator=(const CReplayScan&) = delete;

    // Opens path and starts reading it; a reading under way is stopped first.
    CaptureStatus Start(const QString& path);
    void Cancel();
    bool IsDone() const { return m_bDone.load(std::memory_order_acquire); }
    // Share of the file read, 0 to 1000.
    int Permille() const;
    // Once done: recorded time from the first record to the latest (a clock set back while
    // capturing does not shorten it).
    qint64 Duration() const { return m_nDuration; }

private:
    void Run();

    CCaptureReader m_reader;
    std::thread m_thread;
    std::atomic<bool> m_bCancel{false};
    std::atomic<bool> m_bDone{false};
    std::atomic<qint64> m_nReached{0};
    qint64 m_nSize = 0;
    qint64 m_nDuration = 0; // written by the thread before m_bDone
};
