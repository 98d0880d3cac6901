#include "COutputWriter.h"

#include "FileDescriptor.h"

#include <cerrno>
#include <unistd.h>

COutputWriter::COutputWriter(int fd, std::size_t nCapacityBytes)
    : m_fd(fd), m_nCapacity(nCapacityBytes)
{}

COutputWriter::~COutputWriter()
{
    {
        std::lock_guard lock(m_mutex);
        m_bStop = true;
    }
    m_wake.notify_all();
    if (m_thread.joinable())
        m_thread.join();
}

std::size_t COutputWriter::Room() const
{
    std::lock_guard lock(m_mutex);
    const std::size_t held = m_pending.size() + m_nWriting;
    return held < m_nCapacity ? m_nCapacity - held : 0;
}

void COutputWriter::Write(std::string_view text)
{
    {
        std::lock_guard lock(m_mutex);
        if (m_bBroken)
            return;
        m_pending.append(text);
        // Started by the first text: a run that writes nothing (a check) starts no thread.
        if (!m_thread.joinable())
            m_thread = std::thread(&COutputWriter::WriterProc, this);
    }
    m_wake.notify_all();
}

void COutputWriter::Flush()
{
    std::unique_lock lock(m_mutex);
    m_wake.wait(lock, [this] { return IsDone(); });
}

bool COutputWriter::FlushFor(int ms)
{
    std::unique_lock lock(m_mutex);
    return m_wake.wait_for(lock, std::chrono::milliseconds(ms), [this] { return IsDone(); });
}

bool COutputWriter::IsDone() const
{
    return m_bBroken || (m_pending.empty() && m_nWriting == 0);
}

bool COutputWriter::IsBroken() const
{
    std::lock_guard lock(m_mutex);
    return m_bBroken;
}

void COutputWriter::WriterProc()
{
    std::string bytes;
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [this] { return m_bStop || !m_pending.empty(); });
        if (m_pending.empty())
            return; // stopped with nothing left
        bytes.swap(m_pending);
        m_pending.clear();
        m_nWriting = bytes.size();
        lock.unlock();
        const bool written = WriteAll(m_fd, bytes);
        lock.lock();
        m_nWriting = 0;
        if (!written) {
            m_bBroken = true;
            m_pending.clear();
        }
        m_wake.notify_all();
    }
}
