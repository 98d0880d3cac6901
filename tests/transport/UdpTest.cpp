#include "CUdpCtrl.h"

#include "BytePattern.h"
#include "EventLoopWait.h"
#include "TcpPeer.h"
#include "UdpPeer.h"

#include <gtest/gtest.h>

#include <QSignalSpy>

#include <sys/socket.h>

namespace {

// Every datagram the link has now, each whole.
QList<QByteArray> ReceiveAll(CUdpCtrl& link)
{
    QList<QByteArray> datagrams;
    QByteArray datagram;
    while (link.Receive(datagram) >= 0)
        datagrams.append(datagram);
    return datagrams;
}

} // namespace

TEST(CUdpCtrl, DatagramsTravelWholeBothWaysEmptyAndLargestIncluded)
{
    UdpPeer peer;
    CUdpCtrl link;
    ASSERT_EQ(link.Create(0, "127.0.0.1"), 1);
    ASSERT_EQ(link.SetRemote("127.0.0.1", peer.Port()), 1);
    QSignalSpy ready(&link, &CUdpCtrl::receiveReady);

    const QList<QByteArray> datagrams = {
        "hello", QByteArray(), QByteArray("\0\x01\xff", 3),
        QByteArray::fromStdString(BytePattern(0, CUdpCtrl::kMaxDatagramBytes))};
    for (const QByteArray& datagram : datagrams) {
        SCOPED_TRACE(datagram.size());
        // Out: each Send is one datagram, delivered whole.
        EXPECT_EQ(link.Send(datagram.constData(), int(datagram.size())), datagram.size());
        EXPECT_EQ(peer.Take(), datagram);
        // In: announced, and taken whole by one Receive; an empty one is one too.
        ready.clear();
        peer.SendTo(link.GetLocalPort(), datagram);
        ASSERT_TRUE(WaitFor([&] { return ready.count() > 0; }));
        EXPECT_EQ(ReceiveAll(link), QList<QByteArray>{datagram});
    }
    QByteArray none;
    errno = 0;
    EXPECT_EQ(link.Receive(none), -1);
    EXPECT_EQ(errno, EAGAIN);

    const QByteArray tooLarge(CUdpCtrl::kMaxDatagramBytes + 1, 'x');
    EXPECT_EQ(link.Send(tooLarge.constData(), int(tooLarge.size())), -1);
    EXPECT_EQ(errno, EMSGSIZE);
}

TEST(CUdpCtrl, PortsOutsideTheRangePortsTakenAndNoRemoteAreRefused)
{
    CUdpCtrl link;
    ASSERT_EQ(link.Create(0), 1);
    EXPECT_EQ(link.SetRemote("127.0.0.1", 0), 0);
    EXPECT_EQ(errno, EINVAL);
    EXPECT_EQ(link.SetRemote("no-such-host.invalid", 9), 0);
    EXPECT_EQ(errno, EHOSTUNREACH);

    CUdpCtrl other;
    EXPECT_EQ(other.Create(link.GetLocalPort()), 0);
    EXPECT_EQ(errno, EADDRINUSE);

    // Without a remote, nothing can go out before someone has sent.
    ASSERT_EQ(link.SetRemote(QString(), 0), 1);
    EXPECT_EQ(link.Send("x", 1), -1);
    EXPECT_EQ(errno, EDESTADDRREQ);
    EXPECT_EQ(link.WriteWhole("x", 1, {}).status, WriteStatus::NoPeer);

    QByteArray got;
    link.Close();
    EXPECT_EQ(link.Send("x", 1), -1);
    EXPECT_EQ(errno, EBADF);
    EXPECT_EQ(link.Receive(got), -1);
    EXPECT_EQ(link.WriteWhole("x", 1, {}).nError, EBADF);
}

TEST(CUdpCtrl, ARemoteIsHeardAloneOthersAreCountedAndWritesAreWholeOrNothing)
{
    UdpPeer remote;
    UdpPeer stranger;
    CUdpCtrl link;
    ASSERT_EQ(link.Create(0, "127.0.0.1"), 1);
    ASSERT_EQ(link.SetRemote("127.0.0.1", remote.Port()), 1);
    const quint16 local = link.GetLocalPort();
    QSignalSpy ready(&link, &CUdpCtrl::receiveReady);
    QSignalSpy ignored(&link, &CUdpCtrl::ignored);
    const auto ignoredTotal = [&] {
        int total = 0;
        for (const QList<QVariant>& call : ignored)
            total += call.at(0).toInt();
        return total;
    };

    // Same address, other port: another sender all the same.
    stranger.SendTo(local, "x");
    stranger.SendTo(local, "y");
    remote.SendTo(local, "ok");
    ASSERT_TRUE(WaitFor([&] { return ready.count() > 0; }));
    EXPECT_EQ(ReceiveAll(link), QList<QByteArray>{"ok"});
    EXPECT_EQ(link.GetIgnoredCount(), 2u);
    EXPECT_EQ(ignoredTotal(), 2);
    QString address;
    quint16 port = 0;
    EXPECT_EQ(link.GetPeerName(address, port), 1);
    EXPECT_EQ(port, remote.Port()) << "a stranger never becomes the sender";

    // A flood of strangers is passed over a bounded number per call, never holding the owner.
    for (int i = 0; i < 600; ++i)
        stranger.SendTo(local, "flood");
    remote.SendTo(local, "after");
    QByteArray datagram;
    int calls = 0;
    while (link.Receive(datagram) < 0 && calls < 100) {
        EXPECT_EQ(errno, EAGAIN);
        ++calls;
    }
    EXPECT_EQ(datagram, "after");
    EXPECT_GE(calls, 2);
    EXPECT_EQ(link.GetIgnoredCount(), 602u);
    EXPECT_EQ(ignoredTotal(), 602);

    // Without a remote every sender is heard, and the last one is answered.
    ASSERT_EQ(link.SetRemote(QString(), 0), 1);
    stranger.SendTo(local, "z");
    ASSERT_TRUE(WaitFor([&] { return link.Receive(datagram) >= 0; }));
    EXPECT_EQ(datagram, "z");
    EXPECT_EQ(link.WriteWhole("back", 4, {}).status, WriteStatus::Written);
    EXPECT_EQ(stranger.Take(), "back");

    const QByteArray tooLarge(CUdpCtrl::kMaxDatagramBytes + 1, 'x');
    const WriteResult large = link.WriteWhole(tooLarge.constData(), int(tooLarge.size()), {});
    EXPECT_EQ(large.status, WriteStatus::TooLarge);
    EXPECT_EQ(large.nWritten, 0);
}
