#pragma once

#include <QByteArray>

#include <atomic>
#include <cstdint>
#include <memory>

// A ring of received bytes between one producer thread and one consumer thread that moves them
// in blocks, not byte by byte: the producer reads straight into the free span, the consumer
// takes what is held in one copy. Lock-free like CQueue: each side alone moves its own count
// and publishes it with release order; each reads the other's with acquire order. The counts
// only grow, so held = written - taken, and a full ring holds its whole capacity.
class CByteRing
{
public:
    explicit CByteRing(int capacity);
    // A copy holds the same bytes in the same order; not while the other side is active.
    CByteRing(const CByteRing& other);
    CByteRing& operator=(const CByteRing&) = delete;

    int GetSize() const;
    int GetRoom() const { return m_nCapacity - GetSize(); }

    // Producer: where the next bytes go, and how many fit there without wrapping (0 when full).
    char* FreeSpan(int* length);
    // Producer: publishes n bytes just written into the free span.
    void Commit(int n);

    // Consumer: appends at most max held bytes to out, oldest first; the number taken.
    int Take(QByteArray& out, int max);

private:
    int m_nCapacity;
    std::unique_ptr<char[]> m_buffer;
    std::atomic<uint64_t> m_nWritten = 0;
    std::atomic<uint64_t> m_nTaken = 0;
};
