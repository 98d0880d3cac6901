#include "CCaptureLoad.h"

#include "CTextLogStore.h"

CCaptureLoad::CCaptureLoad() : m_pLog(std::make_unique<CTextLogStore>()) {}

CCaptureLoad::~CCaptureLoad()
{
    Cancel();
}

CaptureStatus CCaptureLoad::Start(const QString& path, std::size_t lineMax)
{
    const CaptureStatus status = m_reader.Open(path);
    if (status != CaptureStatus::Ok)
        return status;
    m_nSize = m_reader.FileSize();
    m_pLog->SetLineMax(lineMax);
    m_reader.SetProgress([this](qint64 pos) {
        m_nReached.store(pos, std::memory_order_relaxed);
        return !m_bCancel.load(std::memory_order_relaxed);
    });
    m_thread = std::thread(&CCaptureLoad::Run, this);
    return status;
}

void CCaptureLoad::Run()
{
    CaptureRecord record;
    while (!m_bCancel.load(std::memory_order_relaxed) && m_reader.Next(record))
        m_pLog->Load(record.cells);
    m_nReached.store(m_nSize, std::memory_order_relaxed);
    m_bDone.store(true, std::memory_order_release);
}

void CCaptureLoad::Cancel()
{
    m_bCancel.store(true, std::memory_order_relaxed);
    if (m_thread.joinable())
        m_thread.join();
}

int CCaptureLoad::Permille() const
{
    if (m_nSize <= 0)
        return 1000;
    return static_cast<int>(m_nReached.load(std::memory_order_relaxed) * 1000 / m_nSize);
}

std::unique_ptr<CTextLogStore> CCaptureLoad::TakeLog()
{
    if (m_thread.joinable())
        m_thread.join();
    if (m_bCancel.load(std::memory_order_relaxed) || m_reader.Stopped())
        return nullptr;
    return std::move(m_pLog);
}

int CCaptureLoad::SkippedCount() const
{
    return m_reader.SkippedCount();
}
