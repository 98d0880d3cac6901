#include "CQueue.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <thread>

TEST(CQueue, HoldsAtMost8191BytesInOrderAcrossTheWrapUntilCleared)
{
    CQueue queue;
    unsigned char b = 0x55;
    EXPECT_EQ(queue.GetByte(&b), 0);
    EXPECT_EQ(b, 0x55) << "an empty queue leaves the output untouched";

    for (int round = 0; round < 2; ++round) {
        for (int i = 0; i < CQueue::kCapacity; ++i)
            ASSERT_EQ(queue.PutByte(static_cast<unsigned char>(i * 7 + round)), 1) << i;
        EXPECT_EQ(queue.PutByte(0xAA), 0);
        EXPECT_EQ(queue.GetSize(), 8191);
        for (int i = 0; i < CQueue::kCapacity; ++i) {
            ASSERT_EQ(queue.GetByte(&b), 1);
            ASSERT_EQ(b, static_cast<unsigned char>(i * 7 + round)) << i;
        }
        EXPECT_EQ(queue.GetSize(), 0);
    }
    queue.PutByte(0x01);
    queue.Clear();
    EXPECT_EQ(queue.GetSize(), 0);
}

// bench/queue_stress runs the same exchange ten times longer.
TEST(CQueue, OneProducerOneConsumerPassEveryByteInSequence)
{
    constexpr uint64_t kBytes = 10'000'000;
    CQueue queue;
    std::thread producer([&] {
        for (uint64_t i = 0; i < kBytes;) {
            if (queue.PutByte(static_cast<unsigned char>(i * 131 >> 3)))
                ++i;
        }
    });
    uint64_t mismatches = 0;
    for (uint64_t i = 0; i < kBytes;) {
        unsigned char b;
        if (queue.GetByte(&b)) {
            mismatches += b != static_cast<unsigned char>(i * 131 >> 3);
            ++i;
        }
    }
    producer.join();
    EXPECT_EQ(mismatches, 0u);
    EXPECT_EQ(queue.GetSize(), 0);
}

TEST(CQueue, ChunksAreStoredAsFarAsTheyFitAndSeenWholeAcrossThreads)
{
    CQueue queue;
    const unsigned char ping[] = {'p', 'i', 'n', 'g'};
    for (int i = 0; i < CQueue::kCapacity / 4; ++i)
        ASSERT_EQ(queue.PutBytes(ping, 4), 4);
    EXPECT_EQ(queue.PutBytes(ping, 4), 3) << "the last three cells take what fits";
    EXPECT_EQ(queue.PutBytes(ping, 4), 0);
    unsigned char b;
    while (queue.GetByte(&b) != 0) {
    }

    // Whole chunks only: the consumer never sees the first part of one.
    constexpr int kChunks = 200'000;
    std::thread producer([&] {
        for (int i = 0; i < kChunks;) {
            if (queue.GetSize() <= CQueue::kCapacity - 4 && queue.PutBytes(ping, 4) == 4)
                ++i;
        }
    });
    int taken = 0;
    int partial = 0;
    while (taken < kChunks * 4) {
        const int size = queue.GetSize();
        partial += size % 4 != 0;
        for (int i = 0; i < size; ++i, ++taken) {
            queue.GetByte(&b);
            partial += b != ping[taken % 4];
        }
    }
    producer.join();
    EXPECT_EQ(partial, 0);
}
