// The loopback link: chosen by name like any kind, everything written comes back whole and in
// order, and what it holds for its owner has a bound.
#include "Link.h"

#include "EventLoopWait.h"

#include <gtest/gtest.h>

#include <QSignalSpy>

#include <thread>

using namespace std::chrono_literals;

namespace {

LinkPtr OpenLoopback()
{
    const CLinkKind* kind = FindLinkKindByName("loopback");
    if (kind == nullptr)
        return nullptr;
    LinkParams params;
    params.nInterface = kind->nInterface;
    LinkPtr link = MakeLink(params);
    if (link != nullptr && !link->Open())
        return nullptr;
    return link;
}

// Everything the link holds now.
QByteArray TakeAll(CLink& link)
{
    QByteArray out;
    while (link.Take(out, 1000) > 0) {
    }
    return out;
}

} // namespace

TEST(LoopbackLink, IsAKindThatTakesNoSettingsAndGivesBackWhatWasWrittenInOrder)
{
    const CLinkKind* kind = FindLinkKindByName("loopback");
    ASSERT_NE(kind, nullptr);
    EXPECT_EQ(kind->fields, 0u);
    EXPECT_EQ(kind->nMedia, 0) << "no script keyword opens it";
    EXPECT_EQ(FindLinkKind(kind->nInterface), kind);

    LinkPtr link = OpenLoopback();
    ASSERT_NE(link, nullptr);
    EXPECT_EQ(link->GetState(), CLink::State::Open);
    QSignalSpy received(link.get(), &CLink::received);
    const struct
    {
        QByteArray bytes;
        WriteStatus status;
    } writes[] = {
        {QByteArray("ping\r\n"), WriteStatus::Written},
        {QByteArray("\0\xff\x80", 3), WriteStatus::Written}, // every byte value, NUL included
        {QByteArray(), WriteStatus::Written},
    };
    QByteArray expected;
    for (const auto& write : writes) {
        const WriteResult result =
            link->Write(write.bytes.constData(), int(write.bytes.size()), 0ms);
        EXPECT_EQ(result.status, write.status);
        EXPECT_EQ(result.nWritten, write.bytes.size());
        expected += write.bytes;
    }
    EXPECT_TRUE(link->HasReceived());
    ASSERT_TRUE(WaitFor([&] { return received.count() > 0; }));
    // Taken in parts, as an owner with little room would.
    QByteArray out;
    TakenPieces pieces; // a link of one peer tells none: every byte is its one peer's
    EXPECT_EQ(link->Take(out, 4, pieces), 4);
    EXPECT_TRUE(pieces.empty());
    EXPECT_EQ(link->Take(out, 0), 0);
    out += TakeAll(*link);
    EXPECT_EQ(out, expected);
    EXPECT_FALSE(link->HasReceived());

    // Closed, it takes nothing and holds nothing.
    link->Write("late", 4, 0ms);
    link->Close();
    EXPECT_EQ(link->GetState(), CLink::State::Closed);
    EXPECT_FALSE(link->HasReceived());
    EXPECT_EQ(link->Write("x", 1, 0ms).status, WriteStatus::Failed);
}

TEST(LoopbackLink, AnOwnerThatDoesNotTakeFillsItWholeWritesOnlyAndAWaitingWriterGoesOnOnceTaken)
{
    LinkPtr link = OpenLoopback();
    ASSERT_NE(link, nullptr);
    const QByteArray block(64 * 1024, 'b');
    // Whole blocks until one does not fit: that one is refused whole, never cut.
    qint64 held = 0;
    for (;;) {
        LinkDrops drops;
        const WriteResult result = link->Write(block.constData(), int(block.size()), 0ms, &drops);
        if (result.status != WriteStatus::Written) {
            EXPECT_EQ(result.status, WriteStatus::Full);
            EXPECT_EQ(result.nWritten, 0);
            ASSERT_EQ(drops.size(), 1u);
            EXPECT_EQ(drops[0].nBytes, block.size());
            break;
        }
        held += block.size();
        ASSERT_LE(held, 64LL * 1024 * 1024) << "no bound";
    }
    EXPECT_GT(held, 0);
    // More than it ever holds is refused at once.
    const QByteArray huge(int(held) + 1, 'h');
    EXPECT_EQ(link->Write(huge.constData(), int(huge.size()), 1h).status, WriteStatus::TooLarge);

    // A writer on another thread waits for room, and gets it when the owner takes.
    WriteResult waited;
    std::thread writer(
        [&] { waited = link->Write(block.constData(), int(block.size()), std::chrono::hours(1)); });
    QByteArray out;
    while (out.size() < block.size())
        link->Take(out, int(block.size()));
    writer.join();
    EXPECT_EQ(waited.status, WriteStatus::Written);
    out += TakeAll(*link);
    EXPECT_EQ(out.size(), held + block.size());
    EXPECT_EQ(out.count('b'), out.size());

    // A writer still waiting when the link closes is let go.
    while (link->Write(block.constData(), int(block.size()), 0ms).IsWritten()) {
    }
    std::thread late(
        [&] { waited = link->Write(block.constData(), int(block.size()), std::chrono::hours(1)); });
    RunEventsFor(20);
    link->Close();
    late.join();
    EXPECT_EQ(waited.status, WriteStatus::Failed);
}
