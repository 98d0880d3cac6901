#include "CByteRing.h"

#include <algorithm>
#include <cstring>

CByteRing::CByteRing(int capacity)
    : m_nCapacity(std::max(capacity, 1)), m_buffer(std::make_unique<char[]>(size_t(m_nCapacity)))
{}

CByteRing::CByteRing(const CByteRing& other) : CByteRing(other.m_nCapacity)
{
    std::memcpy(m_buffer.get(), other.m_buffer.get(), size_t(m_nCapacity));
    m_nWritten = other.m_nWritten.load(std::memory_order_acquire);
    m_nTaken = other.m_nTaken.load(std::memory_order_acquire);
}

int CByteRing::GetSize() const
{
    const uint64_t taken = m_nTaken.load(std::memory_order_acquire);
    return int(m_nWritten.load(std::memory_order_acquire) - taken);
}

char* CByteRing::FreeSpan(int* length)
{
    const uint64_t written = m_nWritten.load(std::memory_order_relaxed);
    const int held = int(written - m_nTaken.load(std::memory_order_acquire));
    const int at = int(written % uint64_t(m_nCapacity));
    *length = std::min(m_nCapacity - held, m_nCapacity - at);
    return m_buffer.get() + at;
}

void CByteRing::Commit(int n)
{
    m_nWritten.store(m_nWritten.load(std::memory_order_relaxed) + uint64_t(n),
                     std::memory_order_release);
}

int CByteRing::Take(QByteArray& out, int max)
{
    const uint64_t taken = m_nTaken.load(std::memory_order_relaxed);
    const int n = std::min(int(m_nWritten.load(std::memory_order_acquire) - taken), max);
    if (n <= 0)
        return 0;
    const int at = int(taken % uint64_t(m_nCapacity));
    const int first = std::min(n, m_nCapacity - at);
    out.reserve(out.size() + n);
    out.append(m_buffer.get() + at, first);
    out.append(m_buffer.get(), n - first);
    m_nTaken.store(taken + uint64_t(n), std::memory_order_release);
    return n;
}
