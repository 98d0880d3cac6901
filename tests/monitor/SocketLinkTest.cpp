#include "LinkMonitorTest.h"
#include "LinkObjects.h"

#include "BytePattern.h"
#include "CClientSock.h"
#include "CServerSock.h"
#include "CUdpCtrl.h"
#include "LinkWriter.h"
#include "NumberedRows.h"
#include "SystemErrorText.h"
#include "TcpPeer.h"
#include "UdpPeer.h"

#include <QElapsedTimer>
#include <QInputMethodEvent>
#include <memory>

#include <algorithm>
#include <cerrno>
#include <numeric>

namespace {

class SocketLinkTest : public LinkMonitorTest
{
protected:
    static bool WaitShown(const CTARVENView* view, const QString& text)
    {
        return WaitFor([&] { return Shown(*view).contains(text.toUtf8()); });
    }

    static quint16 LocalPort(const CTARVENView* view)
    {
        return UdpSocketOf(view->Link())->GetLocalPort();
    }
};

// The byte counts of every "bytes not sent" notice the window shows.
std::vector<qint64> UnsentNotices(const QByteArray& shown)
{
    std::vector<qint64> counts;
    const QByteArray marker = QString("에 보내지 못한 바이트: ").toUtf8();
    for (qsizetype at = shown.indexOf(marker); at >= 0; at = shown.indexOf(marker, at + 1)) {
        const qsizetype start = at + marker.size();
        counts.push_back(shown.mid(start, shown.indexOf(' ', start) - start).toLongLong());
    }
    return counts;
}

} // namespace

TEST_F(SocketLinkTest, ClientShowsAndCountsEveryByteNulIncluded)
{
    SetValue("NullCheckFlag", 0);
    TcpListener listener;
    CTARVENView* view = OpenTcp(0, listener.Port());
    EXPECT_TRUE(view->IsConnecting());
    ASSERT_TRUE(WaitFor([&] { return view->IsOnline(); }));
    EXPECT_FALSE(view->IsConnecting());
    EXPECT_EQ(Pane(view, 1), "TCP/IP-Client");
    EXPECT_EQ(Pane(view, 2), QString("127.0.0.1 : %1").arg(listener.Port()));
    const QByteArray notice =
        QString("\r\nConnected to 127.0.0.1:%1 ...\r\n").arg(listener.Port()).toUtf8();
    EXPECT_EQ(Shown(*view), notice);

    TcpPeer peer = listener.Accept();
    peer.Send(QByteArray("A\0B", 3));
    ASSERT_TRUE(WaitFor([&] { return view->Received() == 3; }));
    EXPECT_EQ(Shown(*view).mid(notice.size()), QByteArray("A\0B", 3));

    view->OnChar("hi");
    EXPECT_EQ(peer.Take(2), "hi");
    EXPECT_EQ(view->Sent(), 2);

    // The peer hangs up: the window goes offline and lets go of its socket at once.
    peer.Close();
    ASSERT_TRUE(WaitFor([&] { return !view->IsOnline(); }));
    EXPECT_EQ(ClientSocketOf(view->Link()), nullptr);
    EXPECT_TRUE(Shown(*view).contains(
        QString("Disconnect from 127.0.0.1:%1 ...\n").arg(listener.Port()).toUtf8()));
}

TEST_F(SocketLinkTest, ClientWithAutoReconnectWaitsForItsServerAndIsBackOnline)
{
    SetValue("ClientReconnect", 1);
    auto listener = std::make_unique<TcpListener>();
    const quint16 port = listener->Port();
    CTARVENView* view = OpenTcp(0, port);
    ASSERT_TRUE(WaitFor([&] { return view->IsOnline(); }));
    listener->Accept().Close();
    listener.reset();
    // Told as a serial line's wait is, and the panes say so.
    ASSERT_TRUE(WaitFor([&] { return view->Link()->IsReconnecting(); }));
    EXPECT_FALSE(view->IsOnline());
    EXPECT_EQ(Pane(view, 0), "재연결 대기중...");
    const QString lost = QString("포트 연결이 끊어졌습니다 [127.0.0.1:%1]").arg(port);
    EXPECT_TRUE(QString::fromUtf8(Shown(*view)).contains(lost));
    EXPECT_TRUE(Shown(*view).endsWith("재연결 대기중...\r\n"));

    listener = std::make_unique<TcpListener>(false, 0, port);
    TcpPeer server = listener->Accept();
    ASSERT_TRUE(WaitFor([&] { return view->IsOnline(); }));
    EXPECT_FALSE(view->Link()->IsReconnecting());
    EXPECT_TRUE(QString::fromUtf8(Shown(*view)).contains("포트가 다시 연결되었습니다"));
    view->OnChar("again");
    EXPECT_EQ(server.Take(5), "again");

    // Closing the window's link while it waits ends the dialling.
    server.Close();
    ASSERT_TRUE(WaitFor([&] { return view->Link()->IsReconnecting(); }));
    view->OnPortClose();
    EXPECT_FALSE(view->Link()->IsReconnecting());
}

TEST_F(SocketLinkTest, ClientConnectThatFailsSaysWhyRefusedAtOnceUnansweredAfterThreeTicks)
{
    TcpListener unanswering(true);
    const quint16 closed = FreePort();
    const struct
    {
        quint16 port;
        bool refused;
        QString why;
    } cases[] = {
        {unanswering.Port(), false, "응답이 없습니다 (3초)."},
        {closed, true, "연결이 거부되었습니다 (그 포트에서 기다리는 서버가 없습니다)."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why.toStdString());
        m_messages.texts.clear();
        CTARVENView* view = OpenTcp(0, c.port, true, false);
        QElapsedTimer clock;
        clock.start();
        view->OnPortOpen();
        if (!c.refused) {
            EXPECT_EQ(QGuiApplication::overrideCursor() ? QGuiApplication::overrideCursor()->shape()
                                                        : Qt::ArrowCursor,
                      Qt::WaitCursor);
        }
        ASSERT_TRUE(WaitFor([&] { return !m_messages.texts.isEmpty(); }, 30000));
        // A refused connect says so at once, without waiting out the ticks.
        if (c.refused)
            EXPECT_LT(clock.elapsed(), 2500);
        else
            EXPECT_GE(clock.elapsed(), 2500);
        EXPECT_EQ(
            m_messages.texts,
            QStringList(QString("Socket Client 접속실패 !!!\n127.0.0.1:%1: ").arg(c.port) + c.why));
        EXPECT_FALSE(view->IsOnline());
        EXPECT_EQ(ClientSocketOf(view->Link()), nullptr);
        EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    }
}

TEST_F(SocketLinkTest, ServerWelcomesThreeClientsReportsThemAndReusesAFreedSlot)
{
    const quint16 port = FreePort();
    CTARVENView* view = OpenTcp(1, port);
    ASSERT_TRUE(view->IsOnline());
    EXPECT_EQ(Pane(view, 1), "TCP/IP-Server");
    EXPECT_EQ(Shown(*view), QString("\r\nServer started (port:%1)...\r\n").arg(port).toUtf8());

    std::vector<TcpPeer> peers;
    for (int i = 0; i < 3; ++i) {
        TcpPeer& peer = peers.emplace_back(TcpPeer::Connect(port));
        // The welcome text arrives first, and the window shows the peer with its own port.
        EXPECT_EQ(peer.Take(27), "Welcome to TARVEN server...");
        ASSERT_TRUE(
            WaitShown(view, QString("Connected from 127.0.0.1:%1 ...\n").arg(peer.LocalPort())));
    }
    const auto clients = [&](int n) {
        return WaitFor([&] { return Pane(view, 2) == QString("Port:%1 (%2)").arg(port).arg(n); });
    };
    ASSERT_TRUE(clients(3));

    // What is typed goes to every client.
    view->OnChar("z");
    for (TcpPeer& peer : peers)
        EXPECT_EQ(peer.Take(1), "z");
    peers[1].Send("from 1");
    ASSERT_TRUE(WaitFor([&] { return view->Received() == 6; }));

    // The first client leaves, told by its port: its slot goes to the next client.
    const quint16 leaving = peers[0].LocalPort();
    peers[0].Close();
    ASSERT_TRUE(WaitShown(view, QString("Disconnect from 127.0.0.1:%1 ...\n").arg(leaving)));
    ASSERT_TRUE(clients(2));
    const CClientSock* first = ServerSocketOf(view->Link())->GetSlot(0);
    EXPECT_EQ(first->bsGetSlotState(), CClientSock::kSlotFree);
    peers[0] = TcpPeer::Connect(port);
    ASSERT_TRUE(clients(3));
    EXPECT_EQ(first->bsGetSlotState(), CClientSock::kSlotInUse);
    EXPECT_TRUE(view->IsOnline());

    view->OnPortClose();
    EXPECT_FALSE(view->IsOnline());
    EXPECT_TRUE(Shown(*view).endsWith("\r\nServer stopped ...\r\n\n"));
    EXPECT_EQ(Pane(view, 2), QString("Port:%1 (0)").arg(port));
}

TEST_F(SocketLinkTest, ASlowReaderGetsWholeRowsAndWhatItMissedIsCountedAndToldOnceABurst)
{
    // 60,000-byte rows to a slow reader: whole rows arrive, the missed ones told per burst.
    SetValue("Echo", 0);
    constexpr int kRow = 60000;
    constexpr int kStalledRows = 250; // the peer reads nothing
    constexpr int kSlowRows = 100;    // the peer reads a quarter of a row per row
    for (const int role : {1, 0}) {
        SCOPED_TRACE(role == 1 ? "server" : "client");
        TcpListener listener(false, 16 * 1024);
        const quint16 port = role == 1 ? FreePort() : listener.Port();
        CTARVENView* view = OpenTcp(role, port, false);
        TcpPeer peer = role == 1 ? TcpPeer::Connect(port) : listener.Accept();
        CMonitorLink* link = view->Link();
        ASSERT_TRUE(WaitFor(
            [&] { return link->IsOnline() && (role == 0 || link->ConnectionCount() == 1); }));
        const QByteArray opened = Shown(*view);

        int sent = 0;
        for (; sent < kStalledRows; ++sent) {
            link->Send(NumberedRow(sent, kRow));
            QCoreApplication::processEvents();
        }
        EXPECT_GT(link->UnsentSends(), 0) << "the peer's queue cannot hold 15 MB";
        for (; sent < kStalledRows + kSlowRows; ++sent) {
            link->Send(NumberedRow(sent, kRow));
            peer.ReadSome(kRow / 4);
            QCoreApplication::processEvents();
        }

        // Everything the window took reaches the peer in the end, in whole rows.
        const qint64 expected = qint64(sent - link->UnsentSends()) * kRow;
        ASSERT_TRUE(WaitFor(
            [&] {
                peer.Drain();
                return peer.Received().size() >= expected;
            },
            60000));
        RunEventsFor(50);
        peer.Drain();
        EXPECT_EQ(peer.Received().size(), expected);
        EXPECT_EQ(link->UnsentBytes(), link->UnsentSends() * kRow) << "only whole rows missed";
        const std::vector<int> rows = WholeRows(peer.Received(), kRow);
        EXPECT_TRUE(std::is_sorted(rows.begin(), rows.end()));
        EXPECT_EQ(std::count(rows.begin(), rows.end(), -1), 0) << "a row arrived cut";
        EXPECT_EQ(std::adjacent_find(rows.begin(), rows.end()), rows.end());
        EXPECT_EQ(view->Sent(), expected);

        // The missed bytes are told, all of them, in a notice or two, not one per row.
        std::vector<qint64> told;
        ASSERT_TRUE(WaitFor([&] {
            told = UnsentNotices(Shown(*view).mid(opened.size()));
            return std::accumulate(told.begin(), told.end(), qint64(0)) == link->UnsentBytes();
        }));
        EXPECT_LT(qint64(told.size()), link->UnsentSends());
        const QByteArray whom = QString("\r\n127.0.0.1:%1에 보내지 못한 바이트: %2 ...\r\n")
                                    .arg(role == 1 ? peer.LocalPort() : port)
                                    .arg(told.front())
                                    .toUtf8();
        EXPECT_TRUE(Shown(*view).contains(whom)) << Shown(*view).right(200).toStdString();
        CloseMonitor(view);
    }
}

TEST_F(SocketLinkTest, RowsStillWaitingWhenAPeerBreaksOrTheLinkClosesAreToldFirst)
{
    SetValue("Echo", 0);
    const quint16 port = FreePort();
    CTARVENView* view = OpenTcp(1, port, false);
    CMonitorLink* link = view->Link();
    // Rows sent to the one client until some wait; the bytes waiting, -1 if it never came.
    const auto fill = [&]() -> qint64 {
        if (!WaitFor([&] { return link->ConnectionCount() == 1; }))
            return -1;
        CClientSock* client = ServerSocketOf(link)->GetSlot(0);
        for (int i = 0; client->QueuedBytes() == 0 && i < 1000; ++i)
            link->Send(NumberedRow(i, 60000));
        return client->QueuedBytes();
    };
    TcpPeer peer = TcpPeer::Connect(port);
    const qint64 waiting = fill();
    ASSERT_GT(waiting, 0);

    const quint16 from = peer.LocalPort();
    peer.Abort();
    const QByteArray left = QString("Disconnect from 127.0.0.1:%1 ...").arg(from).toUtf8();
    ASSERT_TRUE(WaitFor([&] { return Shown(*view).contains(left); }));
    const QByteArray shown = Shown(*view);
    const qsizetype told =
        shown.indexOf(QString("127.0.0.1:%1에 보내지 못한 바이트: ").arg(from).toUtf8());
    ASSERT_GE(told, 0) << shown.toStdString();
    EXPECT_LT(told, shown.indexOf(left));
    EXPECT_GE(UnsentNotices(shown).front(), waiting);
    EXPECT_GE(link->UnsentBytes(), waiting);

    // Closing the link with rows waiting for a peer tells them before the server stops.
    TcpPeer next = TcpPeer::Connect(port);
    const qint64 held = fill();
    ASSERT_GT(held, 0);
    const qint64 before = link->UnsentBytes();
    view->OnPortClose();
    const QByteArray closing = Shown(*view).mid(shown.size());
    ASSERT_EQ(UnsentNotices(closing).size(), 1u) << closing.toStdString();
    EXPECT_EQ(link->UnsentBytes() - before, held) << "nothing was dropped while it filled";
    EXPECT_LT(closing.indexOf("보내지 못한"), closing.indexOf("Server stopped"));
}

TEST_F(SocketLinkTest, The257thClientIsToldTheTableIsFullAndClosed)
{
    ASSERT_GE(AllowDescriptors(4096), 1200u) << "too few descriptors for 257 connections";

    const quint16 port = FreePort();
    CTARVENView* view = OpenTcp(1, port, false);
    ASSERT_TRUE(view->IsOnline());
    std::vector<TcpPeer> peers;
    for (int i = 0; i < CServerSock::kSlots; ++i)
        peers.push_back(TcpPeer::Connect(port));
    ASSERT_TRUE(WaitFor([&] { return view->Link()->ConnectionCount() == 256; }, 60000));

    TcpPeer extra = TcpPeer::Connect(port);
    const QByteArray notice = QString("\r\n접속 가능한 클라이언트 수(256)를 넘었습니다: "
                                      "127.0.0.1:%1 ...\r\n")
                                  .arg(extra.LocalPort())
                                  .toUtf8();
    ASSERT_TRUE(WaitFor([&] { return Shown(*view).contains(notice); }));
    EXPECT_TRUE(WaitFor([&] { return extra.Drain(); })) << "closed, not left waiting";
    EXPECT_EQ(view->Link()->RefusedClients(), 1);
    EXPECT_EQ(view->Link()->ConnectionCount(), 256);
    EXPECT_EQ(Pane(view, 2), QString("Port:%1 (256)").arg(port));

    // What the window sends still reaches all 256.
    view->OnChar("!");
    for (TcpPeer& peer : peers)
        EXPECT_EQ(peer.Take(1), "!");
    EXPECT_TRUE(extra.Received().isEmpty());
}

TEST_F(SocketLinkTest, Cp949WindowWelcomesTypesAndShowsInCp949)
{
    SetValue("RecvEncoding", 2);
    SetValue("WelcomeMsg", QString::fromUtf8("환영합니다"));
    const quint16 port = FreePort();
    CTARVENView* view = OpenTcp(1, port);
    ASSERT_TRUE(view->IsOnline());
    TcpPeer peer = TcpPeer::Connect(port);
    EXPECT_EQ(peer.Take(10), QByteArray("\xC8\xAF\xBF\xB5\xC7\xD5\xB4\xCF\xB4\xD9"));

    // Hangul composed with an input method goes out as CP949, and is echoed so.
    QInputMethodEvent composed;
    composed.setCommitString(QString::fromUtf8("한"));
    QApplication::sendEvent(view->TextView(), &composed);
    EXPECT_EQ(peer.Take(2), QByteArray("\xC7\xD1"));
    EXPECT_TRUE(Shown(*view).endsWith("\xC7\xD1"));

    peer.Send("\xB1\xDB\r\n");
    ASSERT_TRUE(WaitFor([&] { return view->Received() == 4; }));
    view->TextView()->SelectAll();
    EXPECT_TRUE(view->TextView()->SelectedText().endsWith(QString::fromUtf8("한글\n")))
        << view->TextView()->SelectedText().toStdString();
}

TEST_F(SocketLinkTest, UdpDatagramsGoBothWaysAndOnlyTheRemoteIsHeard)
{
    UdpPeer peer;
    CTARVENView* view = OpenUdp(peer.Port());
    const quint16 local = LocalPort(view);
    EXPECT_EQ(Pane(view, 1), "UDP/IP");
    EXPECT_EQ(Pane(view, 2), QString("Port:0 → 127.0.0.1 : %1").arg(peer.Port()));
    QByteArray expected = QString("\r\nUDP started (port:%1, to 127.0.0.1:%2)...\r\n")
                              .arg(local)
                              .arg(peer.Port())
                              .toUtf8();
    EXPECT_EQ(Shown(*view), expected);

    // The sender's notice first; an empty datagram shows nothing and loses nothing after it.
    const QByteArray from =
        QString("\r\nDatagram from 127.0.0.1:%1 ...\r\n").arg(peer.Port()).toUtf8();
    peer.SendTo(local, "hello");
    peer.SendTo(local, "");
    peer.SendTo(local, "world");
    ASSERT_TRUE(WaitFor([&] { return view->Received() == 10; }));
    expected += from + "helloworld";
    EXPECT_EQ(Shown(*view), expected);
    // Another sender's datagrams are passed over, counted and told once for the burst.
    UdpPeer other;
    other.SendTo(local, "!");
    other.SendTo(local, "!");
    peer.SendTo(local, "?");
    ASSERT_TRUE(WaitFor([&] { return view->Received() == 11; }));
    expected += "?";
    EXPECT_EQ(Shown(*view), expected);
    expected += "\r\n다른 송신자의 데이터그램 2개를 무시했습니다 ...\r\n";
    ASSERT_TRUE(WaitFor([&] { return Shown(*view) == expected; })) << Shown(*view).toStdString();
    EXPECT_EQ(view->Link()->IgnoredDatagrams(), 2);

    // Typing goes to the remote as one datagram, echoed and counted.
    view->OnChar("hi\r");
    EXPECT_EQ(peer.Take(), "hi\r");
    EXPECT_EQ(view->Sent(), 3);
    EXPECT_TRUE(Shown(*view).endsWith("...\r\nhi\r"));

    // The largest datagram IPv4 carries, both ways, whole; more goes out in several.
    const QByteArray largest = QByteArray::fromStdString(BytePattern(0, kMaxUdpDatagramBytes));
    peer.SendTo(local, largest);
    ASSERT_TRUE(WaitFor([&] { return view->Received() == 11 + largest.size(); }));
    EXPECT_TRUE(Shown(*view).endsWith(largest));
    EXPECT_EQ(view->Link()->Send(largest), largest.size());
    EXPECT_EQ(peer.Take(), largest);
    EXPECT_EQ(view->Link()->Send(largest + "tail"), largest.size() + 4);
    EXPECT_EQ(peer.Take(), largest);
    EXPECT_EQ(peer.Take(), "tail");

    // A file transfer writes each block as a datagram, and outlives the link closed under it.
    std::unique_ptr<CLinkWriter> writer = view->Link()->OpenTransfer();
    ASSERT_NE(writer, nullptr);
    writer->BeginTransfer(std::chrono::seconds(10));
    int error = 0;
    EXPECT_EQ(writer->Write("block", 5, error), 5);
    EXPECT_EQ(error, 0);
    EXPECT_EQ(peer.Take(), "block");

    // Closed, the window neither shows nor sends.
    view->OnPortClose();
    EXPECT_EQ(writer->Write("x", 1, error), 0);
    EXPECT_EQ(error, EBADF);
    writer.reset();
    EXPECT_FALSE(view->IsOnline());
    EXPECT_TRUE(Shown(*view).endsWith("\r\nUDP stopped ...\r\n"));
    EXPECT_EQ(UdpSocketOf(view->Link()), nullptr);
    const qint64 received = view->Received();
    peer.SendTo(local, "late");
    RunEventsFor(200);
    EXPECT_EQ(view->Received(), received);
}

TEST_F(SocketLinkTest, UdpEmptyRemoteRepliesToTheLastSender)
{
    CTARVENView* view = OpenUdp(0);
    EXPECT_EQ(Pane(view, 2), "Port:0 → *");
    const quint16 local = LocalPort(view);

    // Nobody to answer yet: nothing goes out or is counted, and the user is told once.
    view->OnChar("a");
    view->OnChar("b");
    EXPECT_EQ(view->Sent(), 0);
    EXPECT_EQ(Shown(*view).count("보낼 곳이 없습니다"), 1);

    UdpPeer first;
    UdpPeer second;
    for (UdpPeer* peer : {&first, &second}) {
        const qint64 received = view->Received();
        peer->SendTo(local, "ping");
        ASSERT_TRUE(WaitFor([&] { return view->Received() == received + 4; }));
        view->OnChar("pong");
        EXPECT_EQ(peer->Take(), "pong");
    }
    EXPECT_EQ(view->Sent(), 8);
}

TEST_F(SocketLinkTest, PortsAreCheckedAtOpenAndTheHighestUdpOneOpens)
{
    // Ports outside the range are told as stored, never cut to 16 bits (65536 + 4096 → 4096).
    CUdpCtrl holder;
    ASSERT_EQ(holder.Create(0), 1);
    TcpListener other;
    const QString range = "포트 번호는 1부터 65535까지입니다. (port:%1)";
    const struct
    {
        int interface, local, remote;
        qint32 address;
        QString message;
    } cases[] = {
        {1, 0, 65536 + 4096, 0, range.arg(65536 + 4096)},
        {1, 0, 0, 0, range.arg(0)},
        {1, 0, -1, 0, range.arg(-1)},
        {1, 0, other.Port(), 0, "이미 서버 서비스가 시작되었습니다."},
        {2, 70000, 5000, 0x7F000001, range.arg(70000)},
        {2, -1, 5000, 0, range.arg(-1)},
        {2, 5000, 0, 0x7F000001, range.arg(0)},
        {2, 5000, 65536, 0x7F000001, range.arg(65536)},
        {2, holder.GetLocalPort(), 5000, 0,
         QString("UDP 포트를 열 수 없습니다. (port:%1)\n%2")
             .arg(holder.GetLocalPort())
             .arg(SystemErrorText(EADDRINUSE))},
    };
    for (const auto& c : cases) {
        m_messages.texts.clear();
        m_messages.captions.clear();
        SetValue("Interface", c.interface);
        SetValue("Active", 1);
        SetValue("LocalPort", c.local);
        SetValue("ServerPort", c.remote);
        SetValue("ServerIP", c.address);
        CTARVENView* view = NewMonitor();
        view->OnPortOpen();
        EXPECT_FALSE(view->IsOnline());
        EXPECT_EQ(ServerSocketOf(view->Link()), nullptr);
        EXPECT_EQ(UdpSocketOf(view->Link()), nullptr);
        EXPECT_EQ(m_messages.texts, QStringList{c.message}) << c.local << " " << c.remote;
        if (c.message.startsWith("이미")) {
            EXPECT_EQ(m_messages.captions, QStringList{"SERVICE 오류..."});
        }
        CloseMonitor(view);
    }

    // The highest port, as remote and as local; other tests may hold it for a moment.
    auto top = std::make_unique<CUdpCtrl>();
    if (top->Create(65535) == 0)
        GTEST_SKIP() << "port 65535 is taken on this machine";
    OpenUdp(65535)->OnChar("x");
    QByteArray datagram;
    ASSERT_TRUE(WaitFor([&] { return top->Receive(datagram) >= 0; }));
    EXPECT_EQ(datagram, "x");
    top.reset();
    UdpPeer peer;
    CTARVENView* view = OpenUdp(peer.Port(), 65535);
    ASSERT_TRUE(view->IsOnline());
    EXPECT_EQ(LocalPort(view), 65535);
    peer.SendTo(65535, "top");
    ASSERT_TRUE(WaitFor([&] { return view->Received() == 3; }));
}

TEST_F(SocketLinkTest, LoopbackShowsTypedKeysAndCommandRowsAsReceived)
{
    CTARVENView* view = OpenLoopback();
    ASSERT_TRUE(view != nullptr && view->IsOnline());
    EXPECT_EQ(Pane(view, 1), "루프백");
    QByteArray expected = "\r\nLoopback started ...\r\n";
    EXPECT_EQ(Shown(*view), expected);

    view->OnChar("hi\r");
    ASSERT_TRUE(WaitFor([&] { return view->Received() == 3; }));
    EXPECT_EQ(view->Sent(), 3);
    const QByteArray row("row\0\xff\r\n", 7); // a command row, every byte value kept
    EXPECT_EQ(view->Link()->SendTranslated(row), 7);
    ASSERT_TRUE(WaitFor([&] { return view->Received() == 10; }));
    EXPECT_EQ(view->Sent(), 10);
    // Each send is echoed as it goes, and comes back whole.
    expected += "hi\rhi\r" + row + row;
    EXPECT_EQ(Shown(*view), expected);

    view->OnPortClose();
    EXPECT_FALSE(view->IsOnline());
    EXPECT_TRUE(Shown(*view).endsWith("\r\nLoopback stopped ...\r\n"));
    EXPECT_EQ(view->Link()->Send("late"), 0);
}
