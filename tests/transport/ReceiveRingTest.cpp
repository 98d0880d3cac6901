// The receive ring of a serial port: the ring itself, and a reader that hands a flood over
// through it without losing or reordering a byte and holds the device back while it is full.
#include "BytePattern.h"
#include "CByteRing.h"
#include "CRS232Ctrl.h"
#include "EventLoopWait.h"
#include "PtyPair.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <thread>

namespace {

constexpr int kFloodWaitMs = 120000;

// Takes at most batch bytes on every notice, as a monitor window does, and checks the sequence.
class RingConsumer : public QObject
{
public:
    RingConsumer(CRS232Ctrl& port, int batch) : m_port(port), m_nBatch(batch)
    {
        connect(port.Notifier(), &CSerialNotifier::received, this, [this] {
            QByteArray bytes;
            m_port.TakeReceived(bytes, m_nBatch);
            largestTake = std::max(largestTake, int(bytes.size()));
            queueSeen = std::max(queueSeen, m_port.m_queue.GetSize());
            if (QByteArray::fromStdString(BytePattern(received, std::size_t(bytes.size()))) !=
                bytes)
                ++breaks;
            received += uint64_t(bytes.size());
        });
    }

    uint64_t received = 0;
    int breaks = 0;
    int largestTake = 0;
    int queueSeen = 0;

private:
    CRS232Ctrl& m_port;
    int m_nBatch;
};

constexpr int kRingBytes = 4096;

} // namespace

TEST(CByteRing, KeepsOrderAcrossTheWrapAndHoldsAtMostItsCapacity)
{
    for (const int capacity : {1, 7, 4096}) {
        CByteRing ring(capacity);
        uint64_t put = 0;
        QByteArray taken;
        // Puts and takes of sizes that fall on and across the wrap in every way.
        for (int round = 0; round < 200; ++round) {
            int room = 0;
            char* span = ring.FreeSpan(&room);
            EXPECT_EQ(room > 0, ring.GetSize() < capacity) << "capacity " << capacity;
            const int n = std::min(room, 1 + round * 37 % (capacity + 3));
            const std::string bytes = BytePattern(put, std::size_t(n));
            std::copy(bytes.begin(), bytes.end(), span);
            ring.Commit(n);
            put += uint64_t(n);
            ASSERT_LE(ring.GetSize(), capacity);
            EXPECT_EQ(ring.GetRoom(), capacity - ring.GetSize());
            if (round % 3 != 2)
                ring.Take(taken, 1 + round * 13 % (capacity + 2));
        }
        const CByteRing copy(ring);
        QByteArray copied;
        EXPECT_EQ(CByteRing(copy).Take(copied, capacity), ring.GetSize());
        const int left = ring.Take(taken, capacity);
        EXPECT_EQ(ring.Take(taken, capacity), 0) << "an empty ring gives nothing";
        EXPECT_EQ(copied, taken.right(left)) << "a copy holds the same bytes in order";
        EXPECT_EQ(taken, QByteArray::fromStdString(BytePattern(0, std::size_t(put))))
            << "capacity " << capacity;
    }
}

TEST(ReceiveRing, FullRingHoldsTheDeviceBackUntilTheOwnerTakesAndAFloodArrivesWholeAndInOrder)
{
    PtyPair pty;
    CRS232Ctrl port;
    ASSERT_EQ(port.bsSetReceiveRing(kRingBytes), 1);
    ASSERT_EQ(port.Open(pty.SlavePath().c_str(), 115200, 8, NOPARITY, ONESTOPBIT), 1);
    int notices = 0; // counted on this thread, as an owner gets them
    QObject owner;
    QObject::connect(port.Notifier(), &CSerialNotifier::received, &owner, [&] { ++notices; });
    const std::string sent = BytePattern(0, 10000);
    pty.Send(sent);
    // Nobody takes: the reader fills the ring, then leaves the rest in the device.
    ASSERT_TRUE(WaitFor([&] {
        return port.GetReceivedSize() == kRingBytes && BytesWaiting(port.GetCommHandle()) > 0;
    }));
    RunEventsFor(100);
    EXPECT_EQ(notices, 1) << "one notice stands until the owner takes";
    EXPECT_EQ(port.m_queue.GetSize(), 0) << "a port with a ring leaves the queue alone";

    QByteArray taken;
    EXPECT_EQ(port.TakeReceived(taken, 1000), 1000);
    ASSERT_TRUE(WaitFor([&] {
        return port.GetReceivedSize() == kRingBytes && BytesWaiting(port.GetCommHandle()) > 0;
    })) << "room in the ring wakes the reader";
    ASSERT_TRUE(WaitFor([&] { return notices == 2; })) << "bytes left bring another notice";

    while (taken.size() < qsizetype(sent.size())) {
        const int before = notices;
        ASSERT_GT(port.TakeReceived(taken, 3000), 0);
        if (taken.size() < qsizetype(sent.size())) {
            ASSERT_TRUE(WaitFor([&] { return notices > before; }));
        }
    }
    EXPECT_EQ(taken, QByteArray::fromStdString(sent)) << "complete and in order";
    RunEventsFor(100);
    const int settled = notices;
    RunEventsFor(100);
    EXPECT_EQ(notices, settled) << "an empty ring brings no more notices";

    // 4 MiB taken 1 KiB a notice: the writer outruns the owner, the ring is full again and
    // again, and the reader is often nudged for room it has already filled again (it must
    // still hear of the next take).
    {
        RingConsumer consumer(port, 1024);
        constexpr std::size_t kFloodBytes = 4 << 20;
        std::thread writer([&] { pty.Send(BytePattern(0, kFloodBytes)); });
        const bool all = WaitFor([&] { return consumer.received >= kFloodBytes; }, kFloodWaitMs);
        if (!all)
            port.Close(); // the writer, held back by the pty, gets an error instead of waiting on
        writer.join();
        ASSERT_TRUE(all) << consumer.received << " of " << kFloodBytes;
        EXPECT_EQ(consumer.received, kFloodBytes);
        EXPECT_EQ(consumer.breaks, 0);
        EXPECT_LE(consumer.largestTake, 1024) << "a take keeps to its bound";
        EXPECT_EQ(consumer.queueSeen, 0);
    }

    // Close ends a reader that waits for room.
    pty.Send(BytePattern(0, 2 * kRingBytes));
    ASSERT_TRUE(WaitFor([&] { return port.GetReceivedSize() == kRingBytes; }));
    EXPECT_EQ(port.Close(), 1);
    EXPECT_EQ(port.GetReceivedSize(), kRingBytes) << "what the ring holds stays for the owner";
}

TEST(ReceiveRing, ATrickleWaitsInTheDeviceForItsNoticeButAHangUpDoesNot)
{
    PtyPair pty;
    CRS232Ctrl port;
    constexpr int kGapMs = 3000;
    ASSERT_EQ(port.bsSetReceiveRing(4 * kTrickleMostBytes), 1);
    port.SetNoticeGap(kGapMs);
    ASSERT_EQ(port.Open(pty.SlavePath().c_str(), 115200, 8, NOPARITY, ONESTOPBIT), 1);
    QByteArray taken;
    int notices = 0;
    QObject owner;
    QObject::connect(port.Notifier(), &CSerialNotifier::received, &owner, [&] {
        ++notices;
        port.TakeReceived(taken, 4 * kTrickleMostBytes);
    });

    pty.Send("a");
    ASSERT_TRUE(WaitFor([&] { return notices == 1; })) << "the first after a quiet is told at once";
    // Read within the gap, "b" holds the next notice back, and the device is not looked at
    // until it is due.
    pty.Send("b");
    ASSERT_TRUE(WaitFor([&] { return port.GetReceivedSize() == 1; }));
    pty.Send("cd");
    RunEventsFor(200);
    EXPECT_EQ(port.GetReceivedSize(), 1);
    EXPECT_EQ(BytesWaiting(port.GetCommHandle()), 2) << "left in the device until the notice";
    EXPECT_EQ(notices, 1);
    ASSERT_TRUE(WaitFor([&] { return notices == 2; }, 2 * kGapMs));
    EXPECT_EQ(taken, "abcd") << "taken in one read when the notice was due";

    // More than a trickle since the last notice is a flood: read as it comes, the notice held.
    const std::string flood(kTrickleMostBytes, 'x');
    pty.Send(flood);
    ASSERT_TRUE(WaitFor([&] { return port.GetReceivedSize() == kTrickleMostBytes; }));
    pty.Send("y");
    EXPECT_TRUE(
        WaitFor([&] { return port.GetReceivedSize() == kTrickleMostBytes + 1; }, kGapMs / 3));
    EXPECT_EQ(notices, 2);
    ASSERT_TRUE(WaitFor([&] { return notices == 3; }, 2 * kGapMs));

    pty.Send("e");
    ASSERT_TRUE(WaitFor([&] { return port.GetReceivedSize() == 1; }));
    pty.Send("f");
    RunEventsFor(100);
    pty.CloseMaster(); // pulled while a notice is held: told now, not at the gap's end
    EXPECT_TRUE(WaitFor([&] { return port.bsGetConnectFlag() == 0; }, kGapMs / 3));
    ASSERT_TRUE(WaitFor([&] { return notices == 4; }, kGapMs / 3));
    EXPECT_TRUE(taken.startsWith(QByteArray::fromStdString("abcd" + flood + "ye")));
    EXPECT_EQ(port.GetLastError(), unsigned(EIO));
}
