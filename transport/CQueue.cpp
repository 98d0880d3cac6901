#include "CQueue.h"

#include <cstring>

CQueue::CQueue() : m_nWrite(0), m_nRead(0)
{
    std::memset(m_buffer, 0, sizeof m_buffer);
}

CQueue::CQueue(const CQueue& other) : m_nWrite(0), m_nRead(0)
{
    *this = other;
}

CQueue& CQueue::operator=(const CQueue& other)
{
    if (this != &other) {
        std::memcpy(m_buffer, other.m_buffer, sizeof m_buffer);
        m_nWrite.store(other.m_nWrite.load(std::memory_order_acquire), std::memory_order_release);
        m_nRead.store(other.m_nRead.load(std::memory_order_acquire), std::memory_order_release);
    }
    return *this;
}

void CQueue::Clear()
{
    m_nWrite.store(0, std::memory_order_relaxed);
    m_nRead.store(0, std::memory_order_relaxed);
    std::memset(m_buffer, 0, sizeof m_buffer);
}

int CQueue::GetSize() const
{
    const int32_t write = m_nWrite.load(std::memory_order_acquire);
    const int32_t read = m_nRead.load(std::memory_order_acquire);
    return (write - read + kCells) % kCells;
}

int CQueue::PutByte(unsigned char b)
{
    const int32_t write = m_nWrite.load(std::memory_order_relaxed);
    const int32_t next = (write + 1) % kCells;
    if (next == m_nRead.load(std::memory_order_acquire))
        return 0;
    m_buffer[write] = b;
    m_nWrite.store(next, std::memory_order_release);
    return 1;
}

int CQueue::PutBytes(const unsigned char* bytes, int n)
{
    int32_t write = m_nWrite.load(std::memory_order_relaxed);
    const int32_t read = m_nRead.load(std::memory_order_acquire);
    const int room = (read - write - 1 + kCells) % kCells;
    const int stored = n < room ? n : room;
    for (int i = 0; i < stored; ++i) {
        m_buffer[write] = bytes[i];
        write = (write + 1) % kCells;
    }
    m_nWrite.store(write, std::memory_order_release);
    return stored;
}

int CQueue::GetByte(unsigned char* out)
{
    const int32_t read = m_nRead.load(std::memory_order_relaxed);
    if (read == m_nWrite.load(std::memory_order_acquire))
        return 0;
    *out = m_buffer[read];
    m_nRead.store((read + 1) % kCells, std::memory_order_release);
    return 1;
}
