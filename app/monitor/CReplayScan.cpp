#include "CReplayScan.h"

#include <algorithm>

CReplayScan::CReplayScan()
{
    m_reader.SetProgress([this](qint64 pos) {
        m_nReached.store(pos, std::memory_order_relaxed);
        return !m_bCancel.load(std::memory_order_relaxed);
    });
}

CReplayScan::~CReplayScan()
{
    Cancel();
}

CaptureStatus CReplayScan::Start(const QString& path)
{
    Cancel();
    m_bCancel.store(false, std::memory_order_relaxed);
    m_bDone.store(false, std::memory_order_relaxed);
    m_nReached.store(0, std::memory_order_relaxed);
    m_nDuration = 0;
    const CaptureStatus status = m_reader.Open(path);
    if (status != CaptureStatus::Ok)
        return status;
    m_nSize = m_reader.FileSize();
    m_thread = std::thread(&CReplayScan::Run, this);
    return status;
}

void CReplayScan::Run()
{
    CaptureRecord record;
    bool first = true;
    int64_t firstMs = 0;
    qint64 duration = 0;
    while (!m_bCancel.load(std::memory_order_relaxed) && m_reader.Next(record)) {
        if (first)
            firstMs = record.timeMs;
        first = false;
        duration = std::max(duration, static_cast<qint64>(record.timeMs - firstMs));
    }
    m_nDuration = duration;
    m_nReached.store(m_nSize, std::memory_order_relaxed);
    m_bDone.store(true, std::memory_order_release);
}

void CReplayScan::Cancel()
{
    m_bCancel.store(true, std::memory_order_relaxed);
    if (m_thread.joinable())
        m_thread.join();
}

int CReplayScan::Permille() const
{
    if (m_nSize <= 0)
        return 1000;
    return static_cast<int>(
        std::min<qint64>(m_nReached.load(std::memory_order_relaxed) * 1000 / m_nSize, 1000));
}
