#include "CClientSock.h"
#include "CServerSock.h"
#include "CTcpClientLink.h"
#include "CTcpServerLink.h"

#include "BytePattern.h"
#include "EventRecorder.h"
#include "NumberedRows.h"
#include "TcpPeer.h"

#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

using namespace std::chrono_literals;

namespace {

const QHostAddress kLoopback(QHostAddress::LocalHost);

// What GetPeerName tells of the socket: its result, the address and the port.
std::tuple<int, QString, quint16> PeerName(const CClientSock& socket)
{
    QString address = QStringLiteral("unchanged");
    quint16 port = 1;
    const int named = socket.GetPeerName(address, port);
    return {named, address, port};
}

} // namespace

// Accepting, reporting and reusing slots through a monitor is the socket link test's; here what
// an owner sees of a slot.
TEST(CServerSock, SlotsAreFreeBeforeTheOwnerHearsAndRepliesGoToTheirPeer)
{
    EventRecorder owner;
    CServerSock server;
    owner.Watch(server);
    ASSERT_EQ(server.Create(0, kLoopback), 1);
    EXPECT_EQ(server.Listen(5), 1);
    int slotStateSeenByCloseHandler = CClientSock::kSlotInUse;
    owner.onEvent = [&](const RecordedEvent& e) {
        if (e.notice == Notice::Closed)
            slotStateSeenByCloseHandler = e.socket->bsGetSlotState();
    };

    std::vector<TcpPeer> peers;
    for (int i = 0; i < 4; ++i) {
        peers.push_back(TcpPeer::Connect(server.GetPort()));
        ASSERT_TRUE(WaitFor([&] { return owner.Count(Notice::Accepted) == i + 1; }));
        const RecordedEvent accepted = owner.Of(Notice::Accepted).back();
        EXPECT_EQ(accepted.slot, i);
        ASSERT_EQ(accepted.socket, server.GetSlot(i));
        EXPECT_EQ(accepted.socket->bsGetSerialNo(), i);
        EXPECT_EQ(PeerName(*accepted.socket), std::tuple(1, "127.0.0.1", peers.back().LocalPort()));
    }
    peers[0].Close();
    ASSERT_TRUE(WaitFor([&] { return owner.Count(Notice::Closed) == 1; }));
    EXPECT_EQ(owner.Of(Notice::Closed).front().slot, 0);
    EXPECT_EQ(slotStateSeenByCloseHandler, CClientSock::kSlotFree);
    server.CalcConnection();
    EXPECT_EQ(server.GetConnectionCount(), 3);

    peers[2].Send("to slot 2");
    ASSERT_TRUE(WaitFor([&] { return owner.Count(Notice::ReceiveReady) >= 1; }));
    const RecordedEvent received = owner.Of(Notice::ReceiveReady).front();
    EXPECT_EQ(received.slot, 2);
    ASSERT_EQ(received.socket, server.GetSlot(2));
    char buf[64];
    EXPECT_EQ(received.socket->Receive(buf, sizeof buf), 9);
    EXPECT_EQ(received.socket->Send("back", 4), 4);
    EXPECT_EQ(peers[2].Take(4), "back");

    // The owner closing a slot itself frees it too.
    server.GetSlot(3)->Close();
    EXPECT_EQ(server.GetSlot(3)->bsGetSlotState(), CClientSock::kSlotFree);
    EXPECT_EQ(server.GetSlot(3)->GetHandle(), -1);
}

TEST(CServerSock, AFullTableClosesThe257thPeerAtOnceAndTakesTheNextOneIntoAFreedSlot)
{
    ASSERT_GE(AllowDescriptors(4096), 1200u) << "too few descriptors for 257 connections";

    EventRecorder owner;
    CServerSock server;
    owner.Watch(server);
    QSignalSpy refused(&server, &CServerSock::refused);
    ASSERT_EQ(server.Create(0, kLoopback), 1);

    std::vector<TcpPeer> peers;
    for (int i = 0; i < CServerSock::kSlots; ++i)
        peers.push_back(TcpPeer::Connect(server.GetPort()));
    ASSERT_TRUE(WaitFor([&] { return owner.Count(Notice::Accepted) == 256; }, 60000));
    for (int i = 0; i < CServerSock::kSlots; ++i)
        ASSERT_EQ(owner.Of(Notice::Accepted)[i].slot, i);

    // The 257th is neither accepted nor left waiting: it is closed, and the owner hears whom.
    TcpPeer extra = TcpPeer::Connect(server.GetPort());
    ASSERT_TRUE(WaitFor([&] { return refused.count() == 1; }));
    EXPECT_EQ(refused.front().at(0).toString(), "127.0.0.1");
    EXPECT_EQ(refused.front().at(1).value<quint16>(), extra.LocalPort());
    EXPECT_TRUE(WaitFor([&] { return extra.Drain(); })) << "the peer sees the close";
    EXPECT_EQ(owner.Count(Notice::Accepted), 256);
    server.CalcConnection();
    EXPECT_EQ(server.GetConnectionCount(), 256);

    peers[17].Close();
    ASSERT_TRUE(WaitFor([&] { return owner.Count(Notice::Closed) == 1; }));
    peers.push_back(TcpPeer::Connect(server.GetPort()));
    ASSERT_TRUE(WaitFor([&] { return owner.Count(Notice::Accepted) == 257; }, 30000));
    EXPECT_EQ(owner.Of(Notice::Accepted).back().slot, 17);
    EXPECT_EQ(std::get<2>(PeerName(*server.GetSlot(17))), peers.back().LocalPort());
    EXPECT_EQ(refused.count(), 1);
}

TEST(CClientSock, ReportsConnectReceiveAndCloseAsAStandAloneClient)
{
    TcpListener listener;
    EventRecorder owner;
    CClientSock client;
    owner.Watch(client);
    std::string received;
    owner.onEvent = [&](const RecordedEvent& e) {
        if (e.notice != Notice::ReceiveReady)
            return;
        char buf[3]; // small reads: what is left is reported again
        const int got = e.socket->Receive(buf, sizeof buf);
        if (got > 0)
            received.append(buf, size_t(got));
    };
    EXPECT_EQ(client.bsGetSerialNo(), -1) << "no server owns it";
    ASSERT_EQ(client.Create(), 1);
    const qintptr handle = client.GetHandle();
    EXPECT_GE(handle, 0);
    ASSERT_EQ(client.Connect("127.0.0.1", listener.Port()), 1);
    TcpPeer peer = listener.Accept();
    ASSERT_TRUE(WaitFor([&] { return owner.Count(Notice::ConnectFinished) == 1; }));
    EXPECT_EQ(owner.Of(Notice::ConnectFinished).front().socket, &client);
    EXPECT_EQ(client.GetHandle(), handle) << "the handle stays what Create gave";
    EXPECT_EQ(client.GetState(), QAbstractSocket::ConnectedState);
    EXPECT_EQ(PeerName(client), std::tuple(1, "127.0.0.1", listener.Port()));

    char buf[16];
    EXPECT_EQ(client.Receive(buf, sizeof buf), -1);
    EXPECT_EQ(errno, EAGAIN);
    peer.Send("hello, world");
    ASSERT_TRUE(WaitFor([&] { return received.size() == 12; }));
    EXPECT_EQ(received, "hello, world");

    EXPECT_EQ(client.Send("ping", 4), 4);
    EXPECT_EQ(peer.Take(4), "ping");

    peer.Close();
    ASSERT_TRUE(WaitFor([&] { return owner.Count(Notice::Closed) == 1; }));
    EXPECT_EQ(client.Receive(buf, sizeof buf), 0) << "the peer has closed";
    EXPECT_EQ(PeerName(client), std::tuple(1, "127.0.0.1", listener.Port()))
        << "still known to the close handler";

    // Sending into a connection the peer has gone from fails, and never kills the process.
    int last = 0;
    for (int i = 0; i < 20 && last >= 0; ++i) {
        last = client.Send("late", 4);
        RunEventsFor(10);
    }
    EXPECT_EQ(last, -1);
    client.Close();
    EXPECT_EQ(client.GetHandle(), -1);
    EXPECT_EQ(client.Send("x", 1), -1);
}

TEST(CClientSock, DataSentJustBeforeTheCloseIsReadFirstAndTheHandlerMayDeleteTheSocket)
{
    TcpListener listener;
    EventRecorder owner;
    auto* client = new CClientSock;
    owner.Watch(*client);
    std::string received;
    size_t receivedWhenClosed = 0;
    owner.onEvent = [&](const RecordedEvent& e) {
        CClientSock* socket = e.socket;
        if (e.notice == Notice::ReceiveReady) {
            char buf[2048]; // one bounded receive per event, as the monitor does
            const int got = socket->Receive(buf, sizeof buf);
            if (got > 0)
                received.append(buf, size_t(got));
        } else if (e.notice == Notice::Closed) {
            receivedWhenClosed = received.size();
            socket->Close();
            delete socket;
            client = nullptr;
        }
    };
    ASSERT_EQ(client->Connect("127.0.0.1", listener.Port()), 1);
    TcpPeer peer = listener.Accept();
    ASSERT_TRUE(WaitFor([&] { return owner.Count(Notice::ConnectFinished) == 1; }));

    const std::string reply = BytePattern(0, 20000);
    peer.Send(QByteArray::fromStdString(reply));
    peer.Close();
    ASSERT_TRUE(WaitFor([&] { return client == nullptr; }));
    EXPECT_EQ(receivedWhenClosed, reply.size());
    EXPECT_EQ(received, reply);
    RunEventsFor(50);
    EXPECT_EQ(owner.Count(Notice::Closed), 1);
}

TEST(CClientSock, RefusedConnectIsReportedAsAConnectWithoutPeerAndPortZeroIsRefusedAtOnce)
{
    EventRecorder owner;
    CClientSock client;
    owner.Watch(client);
    ASSERT_EQ(client.Connect("127.0.0.1", FreePort()), 1);
    ASSERT_TRUE(WaitFor([&] { return owner.Count(Notice::ConnectFinished) == 1; }));
    EXPECT_EQ(owner.events.front().socket, &client);
    const auto [named, address, port] = PeerName(client);
    EXPECT_EQ(named, 0);
    EXPECT_TRUE(address.isEmpty());
    EXPECT_EQ(client.GetState(), QAbstractSocket::UnconnectedState);
    RunEventsFor(100);
    EXPECT_EQ(owner.events.size(), 1u) << "no close for a connection that never was";

    errno = 0;
    EXPECT_EQ(client.Connect("127.0.0.1", 0), 0) << "port 0 is no place to connect to";
    EXPECT_EQ(errno, EINVAL);
    RunEventsFor(20);
    EXPECT_EQ(owner.events.size(), 1u);

    // The same object may try again.
    TcpListener listener;
    ASSERT_EQ(client.Connect("127.0.0.1", listener.Port()), 1);
    ASSERT_TRUE(WaitFor([&] { return owner.Count(Notice::ConnectFinished) == 2; }));
    EXPECT_EQ(client.GetState(), QAbstractSocket::ConnectedState);
}

TEST(CClientSock, SendFromOtherThreadsIsSafeWhileTheOwnerCloses)
{
    TcpListener listener;
    CClientSock client;
    ASSERT_EQ(client.Connect("127.0.0.1", listener.Port()), 1);
    TcpPeer peer = listener.Accept();
    ASSERT_TRUE(WaitFor([&] { return client.GetState() == QAbstractSocket::ConnectedState; }));

    std::atomic<bool> stop = false;
    std::atomic<long> sent = 0;
    std::vector<std::thread> senders;
    // One thread sends single bytes plainly, the other whole records through the queue.
    senders.emplace_back([&] {
        while (!stop) {
            const int n = client.Send(".", 1);
            if (n > 0)
                sent += n;
        }
    });
    senders.emplace_back([&] {
        while (!stop) {
            if (client.WriteWhole("0123456789", 10, 1ms).IsWritten())
                sent += 10;
        }
    });
    std::string got;
    ASSERT_TRUE(WaitFor([&] {
        peer.Drain();
        got = peer.Received().toStdString();
        return got.size() >= 1000;
    }));
    client.Close();
    // Descriptors opened now may take the old number; sends must not reach them.
    TcpListener other;
    TcpPeer bystander = TcpPeer::Connect(other.Port());
    RunEventsFor(100);
    stop = true;
    for (auto& s : senders)
        s.join();
    EXPECT_EQ(client.Send("x", 1), -1);
    EXPECT_EQ(client.WriteWhole("x", 1).status, WriteStatus::Failed);
    EXPECT_GT(sent.load(), 0);
    // A plain send never cuts into a whole record.
    for (size_t at = 0; at + 10 <= got.size();) {
        if (got[at] == '.') {
            ++at;
        } else if (got.compare(at, 10, "0123456789") == 0) {
            at += 10;
        } else {
            ADD_FAILURE() << "record cut at " << at << ": " << got.substr(at, 10);
            break;
        }
    }
}

TEST(CClientSock, WritesGoWholeThroughTheSendQueueOrNotAtAllWhenItIsFull)
{
    // The peer reads nothing at first, into a small buffer: the sender's queue fills.
    TcpListener listener(false, 16 * 1024);
    CClientSock client;
    ASSERT_EQ(client.Connect("127.0.0.1", listener.Port()), 1);
    TcpPeer peer = listener.Accept();
    ASSERT_TRUE(WaitFor([&] { return client.GetState() == QAbstractSocket::ConnectedState; }));
    // A small system buffer on this side too: the queue, not the system, holds the megabytes.
    const int sendBuffer = 64 * 1024;
    ::setsockopt(int(client.GetHandle()), SOL_SOCKET, SO_SNDBUF, &sendBuffer, sizeof sendBuffer);

    constexpr int kRow = 60000;
    int taken = 0;
    WriteResult last;
    while (taken < 1000) {
        const QByteArray row = NumberedRow(taken, kRow);
        last = client.WriteWhole(row.constData(), kRow);
        if (!last.IsWritten())
            break;
        EXPECT_EQ(last.nWritten, kRow);
        ++taken;
    }
    ASSERT_EQ(last.status, WriteStatus::Full) << "a 4 MiB queue takes no 60 MB";
    EXPECT_EQ(last.nWritten, 0);
    EXPECT_GT(client.QueuedBytes(), kSocketSendQueueBytes - kRow);
    EXPECT_LE(client.QueuedBytes(), kSocketSendQueueBytes);
    // Plain sends wait behind the queue; more than it holds is refused whole.
    EXPECT_EQ(client.Send("x", 1), -1);
    EXPECT_EQ(errno, EAGAIN);
    const QByteArray huge(kSocketSendQueueBytes + 1, 'h');
    EXPECT_EQ(client.WriteWhole(huge.constData(), int(huge.size())).status, WriteStatus::TooLarge);

    // The queue goes out as the peer reads, with nobody writing: every row whole, in order.
    ASSERT_TRUE(WaitFor(
        [&] {
            peer.Drain();
            return peer.Received().size() >= qsizetype(taken) * kRow;
        },
        60000));
    EXPECT_EQ(client.QueuedBytes(), 0);
    EXPECT_TRUE(peer.Received() == NumberedRows(0, taken, kRow)) << "rows cut or out of place";

    // A writer on another thread that may wait gets every row through to a slow reader.
    constexpr int kWaitedRows = 80; // more than the queue holds
    std::atomic<bool> stop = false;
    std::atomic<int> written = 0;
    std::thread writer([&] {
        for (int i = taken; i < taken + kWaitedRows && !stop; ++i) {
            const QByteArray row = NumberedRow(i, kRow);
            WriteResult result;
            do
                result = client.WriteWhole(row.constData(), kRow, 100ms);
            while (result.status == WriteStatus::Full && !stop);
            if (!result.IsWritten())
                return;
            ++written;
        }
    });
    const qsizetype before = peer.Received().size();
    const bool all = WaitFor(
        [&] {
            peer.ReadSome(256 * 1024);
            return peer.Received().size() >= before + qsizetype(kWaitedRows) * kRow;
        },
        60000);
    stop = true;
    writer.join();
    ASSERT_TRUE(all);
    EXPECT_EQ(written.load(), kWaitedRows);
    EXPECT_TRUE(peer.Received().mid(before) == NumberedRows(taken, kWaitedRows, kRow));
}

TEST(CServerSock, TheHighestPortOpens)
{
    CServerSock server;
    QSignalSpy accepted(&server, &CServerSock::accepted);
    if (server.Create(65535, kLoopback) == 0 && errno == EADDRINUSE)
        GTEST_SKIP() << "port 65535 is taken on this machine";
    ASSERT_EQ(server.GetPort(), 65535);
    TcpPeer peer = TcpPeer::Connect(65535);
    ASSERT_TRUE(WaitFor([&] { return accepted.count() == 1; }));
}

TEST(CTcpClientLink, AutoReconnectWaitsForTheServerToComeBackAndGoesOnWritingToIt)
{
    auto listener = std::make_unique<TcpListener>();
    const quint16 port = listener->Port();
    LinkParams params;
    params.strHost = QStringLiteral("127.0.0.1");
    params.nPort = port;
    params.bAutoReconnect = true;
    CTcpClientLink link(params);
    QSignalSpy lost(&link, &CLink::lost);
    QSignalSpy restored(&link, &CLink::restored);
    QSignalSpy failed(&link, &CLink::failed);
    ASSERT_TRUE(link.Open());
    ASSERT_TRUE(WaitFor([&] { return link.GetState() == CLink::State::Open; }));

    // The server stops: what it sent last is still taken, then the link waits for it.
    {
        TcpPeer server = listener->Accept();
        ASSERT_TRUE(server.IsOpen());
        server.Send("bye");
        listener.reset();
    }
    QByteArray taken;
    ASSERT_TRUE(WaitFor([&] {
        link.Take(taken, 100);
        return link.GetState() == CLink::State::Waiting;
    }));
    EXPECT_EQ(taken, "bye");
    ASSERT_EQ(lost.size(), 1);
    EXPECT_EQ(lost[0][0].toInt(), EPIPE);
    EXPECT_EQ(link.Target(), QStringLiteral("127.0.0.1:%1").arg(port));
    // Dials that are refused meanwhile say nothing; the server restarts on its port.
    QTest::qWait(700);
    EXPECT_EQ(link.GetState(), CLink::State::Waiting);
    listener = std::make_unique<TcpListener>(false, 0, port);
    TcpPeer again = listener->Accept();
    ASSERT_TRUE(again.IsOpen());
    ASSERT_TRUE(WaitFor([&] { return link.GetState() == CLink::State::Open; }));
    EXPECT_EQ(restored.size(), 1);
    EXPECT_TRUE(failed.isEmpty());
    EXPECT_TRUE(link.Write("back", 4, 0ms).IsWritten());
    EXPECT_EQ(again.Take(4), "back");

    // Without the setting a server that goes away closes the link, as before.
    params.bAutoReconnect = false;
    CTcpClientLink once(params);
    ASSERT_TRUE(once.Open());
    TcpPeer third = listener->Accept();
    ASSERT_TRUE(WaitFor([&] { return once.GetState() == CLink::State::Open; }));
    third.Close();
    ASSERT_TRUE(WaitFor([&] { return once.GetState() == CLink::State::Closed; }));
}

TEST(CTcpServerLink, TakesTellEachClientsStretchAndAChosenClientAloneGetsWritesAndTransfers)
{
    LinkParams params;
    params.nInterface = 1;
    params.bServer = true;
    const quint16 port = FreePort();
    params.nPort = port;
    CTcpServerLink server(params);
    ASSERT_TRUE(server.Open()) << server.LastError().nError;
    std::vector<int> joined;
    QObject::connect(&server, &CLink::peerJoined,
                     [&](int peer, const QString&, quint16) { joined.push_back(peer); });
    TcpPeer first = TcpPeer::Connect(port);
    ASSERT_TRUE(WaitFor([&] { return joined.size() == 1; }));
    TcpPeer second = TcpPeer::Connect(port);
    ASSERT_TRUE(WaitFor([&] { return joined.size() == 2; }));
    ASSERT_EQ(joined, (std::vector<int>{0, 1}));

    // Both clients sent before one take: every byte is told with the client it came from.
    const std::pair<TcpPeer*, QByteArray> sends[] = {
        {&first, "first one"}, {&second, "second"}, {&first, "first again"}, {&second, "2"}};
    for (const auto& [peer, bytes] : sends) {
        peer->Send(bytes);
        QTest::qWait(5);
    }
    QByteArray taken;
    TakenPieces pieces;
    ASSERT_TRUE(WaitFor([&] {
        server.Take(taken, 1 << 16, pieces);
        return taken.size() >= 9 + 6 + 11 + 1;
    }));
    QByteArray fromFirst;
    QByteArray fromSecond;
    qsizetype at = 0;
    for (const TakenPiece& piece : pieces) {
        ASSERT_TRUE(piece.nPeer == 0 || piece.nPeer == 1) << piece.nPeer;
        (piece.nPeer == 0 ? fromFirst : fromSecond) += taken.mid(at, piece.nBytes);
        at += piece.nBytes;
    }
    EXPECT_EQ(at, taken.size());
    EXPECT_EQ(fromFirst, "first onefirst again");
    EXPECT_EQ(fromSecond, "second2");

    // Writes and a transfer go to the chosen client alone; -1 is every client again.
    const std::tuple<int, bool, bool> choices[] = {
        {1, false, true}, {0, true, false}, {-1, true, true}, {7, true, true}};
    for (const auto& [chosen, firstGets, secondGets] : choices) {
        SCOPED_TRACE(chosen);
        server.ChoosePeer(chosen);
        ASSERT_TRUE(server.Write("w", 1, 0ms).IsWritten());
        server.BeginTransfer(10s);
        int error = 0;
        ASSERT_EQ(server.TransferWrite("t", 1, error), 1);
        server.EndTransfer();
        if (firstGets) {
            EXPECT_EQ(first.Take(2), "wt");
        }
        if (secondGets) {
            EXPECT_EQ(second.Take(2), "wt");
        }
        // Nothing more comes to the one that was not chosen.
        QTest::qWait(20);
        EXPECT_EQ(first.Take(0) + second.Take(0), "");
    }

    // The chosen client leaves: the next one in its slot is not chosen by inheritance.
    server.ChoosePeer(1);
    second.Close();
    ASSERT_TRUE(WaitFor([&] { return server.PeerCount() == 1; }));
    EXPECT_EQ(server.ChosenPeer(), -1);
    TcpPeer third = TcpPeer::Connect(port);
    ASSERT_TRUE(WaitFor([&] { return joined.size() == 3; }));
    EXPECT_EQ(joined.back(), 1);
    ASSERT_TRUE(server.Write("all", 3, 0ms).IsWritten());
    EXPECT_EQ(first.Take(3), "all");
    EXPECT_EQ(third.Take(3), "all");
    server.Close();
}
