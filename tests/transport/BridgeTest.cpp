// Two real links joined: pty pairs with a host and a device at the outer ends, a serial line
// served on TCP, a side pulled away and brought back, a reader that stops reading.
#include "CBridge.h"

#include "BytePattern.h"
#include "EventLoopWait.h"
#include "PtyEnds.h"
#include "TcpPeer.h"

#include <gtest/gtest.h>

#include <QSignalSpy>

#include <netinet/in.h>
#include <sys/socket.h>

namespace {

int KindOf(const char* name)
{
    const CLinkKind* kind = FindLinkKindByName(QString::fromLatin1(name));
    return kind != nullptr ? kind->nInterface : -1;
}

LinkParams Serial(const std::string& path)
{
    LinkParams params;
    params.nInterface = KindOf("serial");
    params.strPortName = QString::fromStdString(path);
    params.nBaud = 115200;
    return params;
}

// A server on 127.0.0.1, or a client of one that dials again when the server goes away.
LinkParams Tcp(quint16 port, bool server)
{
    LinkParams params;
    params.nInterface = KindOf("tcp");
    params.nPort = port;
    params.bServer = server;
    params.bAutoReconnect = !server;
    (server ? params.strLocalAddress : params.strHost) = QStringLiteral("127.0.0.1");
    return params;
}

std::unique_ptr<CBridge> Join(const LinkParams& a, const LinkParams& b)
{
    auto bridge = std::make_unique<CBridge>(MakeLink(a), MakeLink(b));
    QString error;
    EXPECT_TRUE(bridge->Start(&error)) << error.toStdString();
    return bridge;
}

bool IsOpen(const CBridge& bridge, CBridge::Side side)
{
    return bridge.Link(side)->GetState() == CLink::State::Open;
}

// A client of a server on this machine that reads only when told, with a small receive buffer,
// so that the server's writes wait on its side.
TcpPeer SlowClient(quint16 port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const int small = 16 * 1024;
    ::setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &small, sizeof small);
    const sockaddr_in address = Loopback(port);
    EXPECT_EQ(::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    return TcpPeer(fd);
}

} // namespace

TEST(Bridge, TwoPtyPairsCarryTenMegabytesEachWayAtOnceByteForByte)
{
    constexpr std::size_t kBytes = 10 * 1000 * 1000;
    OuterPty host;
    OuterPty device;
    auto bridge = Join(Serial(host.Path()), Serial(device.Path()));
    ASSERT_TRUE(IsOpen(*bridge, CBridge::A) && IsOpen(*bridge, CBridge::B));

    QByteArray seen[2];
    QObject::connect(bridge.get(), &CBridge::chunk,
                     [&](CBridge::Direction direction, const QByteArray& bytes, qint64) {
                         // Only the sizes: ten megabytes twice are compared at the ends.
                         seen[direction].append(char(bytes.size() > 0));
                     });
    const std::string toDevice = BytePattern(0, kBytes);
    const std::string toHost = BytePattern(100, kBytes);
    PtyTraffic hostEnd(host.Master(), toDevice, kBytes);
    PtyTraffic deviceEnd(device.Master(), toHost, kBytes);
    EXPECT_TRUE(WaitFor([&] { return hostEnd.Done() && deviceEnd.Done(); }, 120000));
    hostEnd.Join();
    deviceEnd.Join();

    ASSERT_EQ(deviceEnd.Received().size(), kBytes);
    ASSERT_EQ(hostEnd.Received().size(), kBytes);
    EXPECT_TRUE(deviceEnd.Received() == toDevice) << "host to device: bytes changed or reordered";
    EXPECT_TRUE(hostEnd.Received() == toHost) << "device to host: bytes changed or reordered";
    for (const CBridge::Direction direction : {CBridge::AToB, CBridge::BToA}) {
        const CBridge::Counts counts = bridge->GetCounts(direction);
        EXPECT_EQ(counts.received, qint64(kBytes));
        EXPECT_EQ(counts.forwarded, qint64(kBytes));
        EXPECT_EQ(counts.notForwarded, 0);
        EXPECT_EQ(counts.waiting, 0);
        EXPECT_FALSE(seen[direction].isEmpty());
    }
}

TEST(Bridge, ASerialLineOnTcpIsReadByTwoClientsInTurn)
{
    OuterPty device;
    const quint16 port = FreePort();
    auto bridge = Join(Serial(device.Path()), Tcp(port, true));
    QSignalSpy joined(bridge->Link(CBridge::B), &CLink::peerJoined);
    QSignalSpy left(bridge->Link(CBridge::B), &CLink::peerLeft);

    // Each client, in its turn, gets what the device sends and is heard by it.
    struct Turn
    {
        QByteArray fromDevice;
        QByteArray fromClient;
    };
    const Turn turns[] = {{"first client\r\n", "AT<1>\r"},
                          {QByteArray("\x00\x01\xff\x7f", 4), "AT<2>\r"}};
    qint64 sent = 0;
    qint64 heard = 0;
    for (const Turn& turn : turns) {
        const int before = joined.count();
        TcpPeer client = TcpPeer::Connect(port);
        ASSERT_TRUE(WaitFor([&] { return joined.count() > before; }));
        ASSERT_EQ(
            ::write(device.Master(), turn.fromDevice.constData(), size_t(turn.fromDevice.size())),
            turn.fromDevice.size());
        EXPECT_EQ(client.Take(turn.fromDevice.size()), turn.fromDevice);
        client.Send(turn.fromClient);
        EXPECT_EQ(TakeFromMaster(device.Master(), turn.fromClient.size()), turn.fromClient);
        sent += turn.fromDevice.size();
        heard += turn.fromClient.size();
        const int leftBefore = left.count();
        client.Close();
        ASSERT_TRUE(WaitFor([&] { return left.count() > leftBefore; }));
    }
    EXPECT_EQ(bridge->GetCounts(CBridge::AToB).forwarded, sent);
    EXPECT_EQ(bridge->GetCounts(CBridge::BToA).forwarded, heard);
    EXPECT_EQ(bridge->GetCounts(CBridge::AToB).notForwarded, 0);

    // With nobody connected what the device sends has nowhere to go, and is counted so.
    QSignalSpy missed(bridge.get(), &CBridge::notForwarded);
    ASSERT_EQ(::write(device.Master(), "nobody", 6), 6);
    ASSERT_TRUE(WaitFor([&] { return bridge->GetCounts(CBridge::AToB).notForwarded == 6; }));
    EXPECT_GE(missed.count(), 1);
    EXPECT_TRUE(IsOpen(*bridge, CBridge::A) && IsOpen(*bridge, CBridge::B));
}

TEST(Bridge, ASidePulledAwayLeavesTheOtherOpenCountsWhatWasNotForwardedAndComesBack)
{
    OuterPty device;
    TcpListener host;
    auto bridge = Join(Serial(device.Path()), Tcp(host.Port(), false));
    TcpPeer peer = host.Accept();
    ASSERT_TRUE(peer.IsOpen());
    ASSERT_TRUE(WaitFor([&] { return IsOpen(*bridge, CBridge::B); }));
    ASSERT_EQ(::write(device.Master(), "before", 6), 6);
    EXPECT_EQ(peer.Take(6), QByteArray("before"));

    // The host goes away: the serial side stays open, and what the device says meanwhile is
    // counted as not forwarded and told.
    QSignalSpy missed(bridge.get(), &CBridge::notForwarded);
    peer.Abort();
    ASSERT_TRUE(WaitFor([&] { return !IsOpen(*bridge, CBridge::B); }));
    EXPECT_TRUE(IsOpen(*bridge, CBridge::A));
    ASSERT_EQ(::write(device.Master(), "meanwhile", 9), 9);
    ASSERT_TRUE(WaitFor([&] { return bridge->GetCounts(CBridge::AToB).notForwarded == 9; }));
    ASSERT_GE(missed.count(), 1);
    EXPECT_EQ(missed.last().at(1).toLongLong(), 9);

    // The client side connects again by itself, and the traffic goes on both ways.
    TcpPeer back = host.Accept();
    ASSERT_TRUE(back.IsOpen());
    ASSERT_TRUE(WaitFor([&] { return IsOpen(*bridge, CBridge::B); }));
    ASSERT_EQ(::write(device.Master(), "after", 5), 5);
    EXPECT_EQ(back.Take(5), QByteArray("after"));
    back.Send("reply");
    EXPECT_EQ(TakeFromMaster(device.Master(), 5), QByteArray("reply"));
    const CBridge::Counts counts = bridge->GetCounts(CBridge::AToB);
    EXPECT_EQ(counts.received, 6 + 9 + 5);
    EXPECT_EQ(counts.forwarded, 6 + 5);
    EXPECT_EQ(counts.notForwarded, 9);

    // A serial side pulled out is given up by the bridge while the TCP side stays.
    device.Close();
    ASSERT_TRUE(WaitFor([&] { return !IsOpen(*bridge, CBridge::A); }));
    back.Send("to nobody");
    ASSERT_TRUE(WaitFor([&] { return bridge->GetCounts(CBridge::BToA).notForwarded == 9; }));
    EXPECT_TRUE(IsOpen(*bridge, CBridge::B));
}

TEST(Bridge, ASlowTcpClientHoldsTheSerialSideBackAtTheSystemAndLosesNothing)
{
    // More than every buffer on the way holds together: the bridge's own bound, the serial
    // ring, the socket's send queue and the system's buffers.
    constexpr std::size_t kBytes = 48 << 20;
    OuterPty device;
    const quint16 port = FreePort();
    auto bridge = Join(Serial(device.Path()), Tcp(port, true));
    QSignalSpy held(bridge.get(), &CBridge::heldBack);
    QSignalSpy joined(bridge->Link(CBridge::B), &CLink::peerJoined);
    TcpPeer client = SlowClient(port);
    ASSERT_TRUE(WaitFor([&] { return joined.count() == 1; }));

    const std::string bytes = BytePattern(7, kBytes);
    PtyTraffic deviceEnd(device.Master(), bytes, 0);
    // The client reads nothing: the bridge stops reading the line, and from then on the device
    // finds the line full, in the system, while most of its bytes are still unwritten.
    ASSERT_TRUE(WaitFor([&] { return bridge->IsHeld(CBridge::AToB); }, 60000));
    deviceEnd.ForgetFullLine();
    ASSERT_TRUE(WaitFor([&] { return deviceEnd.MetFullLine(); }, 60000));
    EXPECT_TRUE(bridge->IsHeld(CBridge::AToB));
    ASSERT_GE(held.count(), 1);
    EXPECT_TRUE(held.first().at(1).toBool());
    EXPECT_LT(deviceEnd.Written(), kBytes);
    EXPECT_LE(bridge->GetCounts(CBridge::AToB).waiting, CBridge::kMaxHeldBytes);

    // The client reads again: everything comes, whole and in order, and the hold is let go.
    qsizetype got = 0;
    ASSERT_TRUE(WaitFor(
        [&] {
            while (client.ReadSome(1 << 20) > 0) {
            }
            got = client.Received().size();
            return got >= qsizetype(kBytes);
        },
        120000));
    deviceEnd.Join();
    EXPECT_TRUE(client.Received() == QByteArray::fromStdString(bytes));
    EXPECT_FALSE(bridge->IsHeld(CBridge::AToB));
    EXPECT_FALSE(held.last().at(1).toBool());
    const CBridge::Counts counts = bridge->GetCounts(CBridge::AToB);
    EXPECT_EQ(counts.forwarded, qint64(kBytes));
    EXPECT_EQ(counts.notForwarded, 0);
}

TEST(Bridge, ASideThatDoesNotOpenIsNamedAndTheOtherIsClosedAgain)
{
    const quint16 port = FreePort();
    LinkParams missing = Serial("/dev/nonexistent-tty-of-this-test");
    CBridge bridge(MakeLink(Tcp(port, true)), MakeLink(missing));
    QString error;
    EXPECT_FALSE(bridge.Start(&error));
    EXPECT_TRUE(error.startsWith("B: ")) << error.toStdString();
    EXPECT_EQ(bridge.Link(CBridge::A)->GetState(), CLink::State::Closed);

    // Asked to come back, it is tried again instead, and the other side works meanwhile.
    missing.bAutoReconnect = true;
    CBridge waiting(MakeLink(Tcp(port, true)), MakeLink(missing));
    QSignalSpy notices(&waiting, &CBridge::sideNotice);
    EXPECT_TRUE(waiting.Start(&error));
    EXPECT_TRUE(IsOpen(waiting, CBridge::A));
    ASSERT_GE(notices.count(), 1);
    bool told = false;
    for (const QList<QVariant>& notice : notices)
        told = told || notice.at(1).toString().contains("trying again");
    EXPECT_TRUE(told);
}
