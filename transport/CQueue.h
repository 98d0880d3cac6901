#pragma once

#include <atomic>
#include <cstdint>

// Fixed ring of received bytes between one producer thread and one consumer thread.
// Lock-free: the producer alone moves the write index and publishes it with release order; the
// consumer alone moves the read index likewise; each reads the other's index with acquire order.
class CQueue
{
public:
    static constexpr int kCells = 8192;
    static constexpr int kCapacity = kCells - 1; // one cell stays empty: equal indices mean empty

    CQueue();
    CQueue(const CQueue& other);
    CQueue& operator=(const CQueue& other);

    // Empties the queue and zeroes the storage; not while the other side is active.
    void Clear();
    int GetSize() const;
    // 1 when stored, 0 when the queue is full (the byte is dropped).
    int PutByte(unsigned char b);
    // Stores as many of the n bytes as fit and publishes them together, so that the consumer
    // sees a chunk whole rather than a part of it. The number stored; the rest is dropped.
    int PutBytes(const unsigned char* bytes, int n);
    // 1 when a byte was taken into *out, 0 when empty (*out untouched).
    int GetByte(unsigned char* out);

private:
    unsigned char m_buffer[kCells];
    std::atomic<int32_t> m_nWrite;
    std::atomic<int32_t> m_nRead;
};

static_assert(std::atomic<int32_t>::is_always_lock_free, "queue indices must be lock-free");
static_assert(sizeof(std::atomic<int32_t>) == 4, "queue indices are single 32-bit words");
