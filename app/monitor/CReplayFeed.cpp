#include "CReplayFeed.h"

#include "MonitorConstants.h"

CReplayFeed::CReplayFeed(Wake wake) : m_wake(std::move(wake))
{
    // A long damaged stretch is searched a step at a time: a stop is heard between the steps.
    m_reader.SetProgress([this](qint64) { return !m_bStop.load(std::memory_order_relaxed); });
}

CReplayFeed::~CReplayFeed()
{
    Stop();
}

CaptureStatus CReplayFeed::Start(const QString& path)
{
    Stop();
    {
        const std::lock_guard lock(m_mutex);
        m_records.clear();
        m_nCells = 0;
        m_bEnd = false;
        m_bWaiting = false;
    }
    m_bStop.store(false, std::memory_order_relaxed);
    // The header only: at once, whatever the size of the file.
    const CaptureStatus status = m_reader.Open(path);
    if (status != CaptureStatus::Ok) {
        const std::lock_guard lock(m_mutex);
        m_bEnd = true;
        return status;
    }
    m_thread = std::thread(&CReplayFeed::Run, this);
    return status;
}

void CReplayFeed::Stop()
{
    {
        const std::lock_guard lock(m_mutex);
        m_bStop.store(true, std::memory_order_relaxed);
    }
    m_room.notify_all();
    if (m_thread.joinable())
        m_thread.join();
}

bool CReplayFeed::HasRoom() const
{
    return m_nCells < kReplayReadAheadBytes;
}

void CReplayFeed::Run()
{
    for (;;) {
        {
            std::unique_lock lock(m_mutex);
            m_room.wait(lock,
                        [this] { return m_bStop.load(std::memory_order_relaxed) || HasRoom(); });
            if (m_bStop.load(std::memory_order_relaxed))
                return;
        }
        CaptureRecord record;
        const bool read = m_reader.Next(record);
        bool wake = false;
        {
            const std::lock_guard lock(m_mutex);
            if (m_bStop.load(std::memory_order_relaxed))
                return;
            if (read) {
                m_nCells += record.cells.size();
                m_records.push_back(std::move(record));
            } else {
                m_bEnd = true;
                m_nSkipped = m_reader.SkippedCount();
                m_nValidEnd = m_reader.ValidEnd();
                m_nFileSize = m_reader.FileSize();
            }
            wake = m_bWaiting;
            m_bWaiting = false;
        }
        if (wake)
            m_wake();
        if (!read)
            return;
    }
}

CReplayFeed::Taken CReplayFeed::Take(CaptureRecord& out)
{
    {
        const std::lock_guard lock(m_mutex);
        if (m_records.empty()) {
            if (m_bEnd)
                return Taken::End;
            m_bWaiting = true;
            return Taken::Waiting;
        }
        out = std::move(m_records.front());
        m_records.pop_front();
        m_nCells -= out.cells.size();
    }
    m_room.notify_one();
    return Taken::Record;
}

bool CReplayFeed::IsSettled() const
{
    const std::lock_guard lock(m_mutex);
    return m_bEnd || !HasRoom();
}

int CReplayFeed::SkippedCount() const
{
    const std::lock_guard lock(m_mutex);
    return m_nSkipped;
}

qint64 CReplayFeed::ValidEnd() const
{
    const std::lock_guard lock(m_mutex);
    return m_nValidEnd;
}

qint64 CReplayFeed::FileSize() const
{
    const std::lock_guard lock(m_mutex);
    return m_nFileSize;
}
