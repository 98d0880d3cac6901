#pragma once

#include "CCaptureReader.h"

#include <QString>
#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

// Reads the records of a capture file on a thread of its own, a bounded way ahead of the replay
// that takes them: neither a big file nor a long damaged stretch holds the user interface, and
// memory stays that of the records read ahead.
class CReplayFeed
{
public:
    // Called on the feed's thread when a taker that found nothing can take again.
    using Wake = std::function<void()>;
    enum class Taken
    {
        Record,  // out holds the next record
        Waiting, // not read yet: the wake comes when it is
        End,     // every record has been taken
    };

    explicit CReplayFeed(Wake wake);
    // Stops the reading and waits for its thread.
    ~CReplayFeed();
    CReplayFeed(const CReplayFeed&) = delete;
    CReplayFeed& operator=(const CReplayFeed&) = delete;

    // Reads path from its first record on (a file that is no capture is told at once); a reading
    // under way is stopped first.
    CaptureStatus Start(const QString& path);
    void Stop();
    Taken Take(CaptureRecord& out);
    // Whether the reading is as far ahead as it goes for now: the bound reached, or the end.
    bool IsSettled() const;

    // Once Take has given End: damaged stretches skipped, the file offset after the last whole
    // record, and the size of the file as read.
    int SkippedCount() const;
    qint64 ValidEnd() const;
    qint64 FileSize() const;

private:
    void Run();
    // Whether the records read ahead leave room for one more.
    bool HasRoom() const;

    Wake m_wake;
    CCaptureReader m_reader;
    std::thread m_thread;
    std::atomic<bool> m_bStop{false};
    mutable std::mutex m_mutex;
    std::condition_variable m_room;
    // Guarded by m_mutex.
    std::deque<CaptureRecord> m_records;
    std::size_t m_nCells = 0;
    bool m_bEnd = false;
    bool m_bWaiting = false;
    int m_nSkipped = 0;
    qint64 m_nValidEnd = 0;
    qint64 m_nFileSize = 0;
};
