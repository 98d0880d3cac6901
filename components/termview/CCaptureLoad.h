#pragma once

#include "CCaptureReader.h"

#include <QString>
#include <QtGlobal>
#include <atomic>
#include <cstddef>
#include <memory>
#include <thread>

class CTextLogStore;

// Reads a capture file into a log of its own on a thread of its own, so that a view shows a big
// capture without holding its window: the view takes the log over once it is read. The log is
// the one reading the file at once would give.
class CCaptureLoad
{
public:
    CCaptureLoad();
    // Stops the reading and waits for its thread.
    ~CCaptureLoad();
    CCaptureLoad(const CCaptureLoad&) = delete;
    CCaptureLoad& operator=(const CCaptureLoad&) = delete;

    // Opens path (a file that is no capture is told at once) and starts reading it into a log
    // that keeps at most lineMax lines.
    CaptureStatus Start(const QString& path, std::size_t lineMax);
    // Stops the reading; the log is then not taken.
    void Cancel();
    bool IsDone() const { return m_bDone.load(std::memory_order_acquire); }
    // Share of the file read, 0 to 1000.
    int Permille() const;

    // Once done (the thread has ended): the log read, null when cancelled; and the damaged
    // stretches skipped.
    std::unique_ptr<CTextLogStore> TakeLog();
    int SkippedCount() const;

private:
    void Run();

    CCaptureReader m_reader;
    std::unique_ptr<CTextLogStore> m_pLog;
    std::thread m_thread;
    std::atomic<bool> m_bCancel{false};
    std::atomic<bool> m_bDone{false};
    std::atomic<qint64> m_nReached{0};
    qint64 m_nSize = 0;
};
