#include "MonitorTestEnv.h"

#include "CClientSock.h"
#include "CServerSock.h"

#include <QTcpServer>
#include <QTcpSocket>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

const QHostAddress kLoopback(QHostAddress::LocalHost);
constexpr uint32_t kLoopbackNumber = 0x7F000001;

quint16 FreePort()
{
    QTcpServer probe;
    probe.listen(kLoopback, 0);
    return probe.serverPort();
}

// A listener whose backlog is full: one more connect to it hangs until given up.
class FullListener
{
public:
    FullListener()
    {
        m_listener = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(m_listener, reinterpret_cast<sockaddr*>(&address), sizeof address);
        ::listen(m_listener, 0);
        socklen_t length = sizeof address;
        ::getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &length);
        m_port = ntohs(address.sin_port);
        m_filler = ::socket(AF_INET, SOCK_STREAM, 0);
        ::connect(m_filler, reinterpret_cast<sockaddr*>(&address), sizeof address);
    }
    ~FullListener()
    {
        ::close(m_filler);
        ::close(m_listener);
    }
    quint16 Port() const { return m_port; }

private:
    int m_listener = -1;
    int m_filler = -1;
    quint16 m_port = 0;
};

class SocketLinkTest : public MonitorTest
{
protected:
    CTARVENView* NewSocketMonitor(int role, quint16 port, bool welcome = true)
    {
        SetValue("Interface", 1);
        SetValue("Active", role);
        SetValue("ServerPort", port);
        SetValue("ServerIP", qint32(kLoopbackNumber));
        SetValue("WelcomeFlag", int(welcome));
        return NewMonitor();
    }

    std::unique_ptr<QTcpSocket> Connect(quint16 port)
    {
        auto peer = std::make_unique<QTcpSocket>();
        peer->connectToHost(kLoopback, port);
        EXPECT_TRUE(peer->waitForConnected(10000));
        return peer;
    }
};

} // namespace

TEST_F(SocketLinkTest, ClientShowsAndCountsEveryByteNulIncluded)
{
    SetValue("NullCheckFlag", 0);
    QTcpServer peerServer;
    ASSERT_TRUE(peerServer.listen(kLoopback, 0));
    CTARVENView* view = NewSocketMonitor(0, peerServer.serverPort());
    view->OnPortOpen();
    EXPECT_TRUE(view->IsConnecting());
    ASSERT_TRUE(WaitLong([&] { return view->IsOnline(); }));
    EXPECT_FALSE(view->IsConnecting());
    EXPECT_EQ(Pane(view, 1), "TCP/IP-Client");
    EXPECT_EQ(Pane(view, 2), QString("127.0.0.1 : %1").arg(peerServer.serverPort()));
    const QByteArray notice =
        QString("\r\nConnected to 127.0.0.1:%1 ...\r\n").arg(peerServer.serverPort()).toUtf8();
    EXPECT_EQ(Shown(*view), notice);

    ASSERT_TRUE(WaitLong([&] { return peerServer.hasPendingConnections(); }));
    std::unique_ptr<QTcpSocket> peer(peerServer.nextPendingConnection());
    peer->write(QByteArray("A\0B", 3));
    ASSERT_TRUE(WaitLong([&] { return view->Received() == 3; }));
    EXPECT_EQ(Shown(*view).mid(notice.size()), QByteArray("A\0B", 3));

    view->OnChar("hi");
    ASSERT_TRUE(WaitLong([&] { return peer->bytesAvailable() >= 2; }));
    EXPECT_EQ(peer->readAll(), "hi");
    EXPECT_EQ(view->Sent(), 2);

    // The peer hangs up: the window goes offline and lets go of its socket at once.
    peer->close();
    ASSERT_TRUE(WaitLong([&] { return !view->IsOnline(); }));
    EXPECT_EQ(view->ClientSocket(), nullptr);
    EXPECT_TRUE(Shown(*view).contains("Disconnect from 127.0.0.1 ...\n"));
}

TEST_F(SocketLinkTest, ClientConnectThatHangsEndsWithTheFailureMessageAfterThreeTicks)
{
    FullListener listener;
    CTARVENView* view = NewSocketMonitor(0, listener.Port());
    QElapsedTimer clock;
    clock.start();
    view->OnPortOpen();
    EXPECT_EQ(QGuiApplication::overrideCursor() ? QGuiApplication::overrideCursor()->shape()
                                                : Qt::ArrowCursor,
              Qt::WaitCursor);
    ASSERT_TRUE(WaitLong([&] { return !m_messages.isEmpty(); }, std::chrono::seconds(30)));
    EXPECT_GE(clock.elapsed(), 2500);
    EXPECT_EQ(m_messages, QStringList{"Socket Client 접속실패 !!!"});
    EXPECT_FALSE(view->IsOnline());
    EXPECT_EQ(view->ClientSocket(), nullptr);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST_F(SocketLinkTest, ServerWelcomesThreeClientsReportsThemAndReusesAFreedSlot)
{
    const quint16 port = FreePort();
    CTARVENView* view = NewSocketMonitor(1, port);
    view->OnPortOpen();
    ASSERT_TRUE(view->IsOnline());
    EXPECT_EQ(Pane(view, 1), "TCP/IP-Server");
    EXPECT_EQ(Shown(*view), QString("\r\nServer started (port:%1)...\r\n").arg(port).toUtf8());

    std::vector<std::unique_ptr<QTcpSocket>> peers;
    for (int i = 0; i < 3; ++i) {
        peers.push_back(Connect(port));
        QTcpSocket* peer = peers.back().get();
        // The welcome text arrives first, and the window shows the peer with its own port.
        ASSERT_TRUE(WaitLong([&] { return peer->bytesAvailable() >= 27; }));
        EXPECT_EQ(peer->readAll(), "Welcome to TARVEN server...");
        ASSERT_TRUE(WaitLong([&] {
            return Shown(*view).contains(
                QString("Connected from 127.0.0.1:%1 ...\n").arg(peer->localPort()).toUtf8());
        }));
    }
    ASSERT_TRUE(WaitLong([&] { return Pane(view, 2) == QString("Port:%1 (3)").arg(port); }));

    // What is typed goes to every client.
    view->OnChar("z");
    for (auto& peer : peers) {
        ASSERT_TRUE(WaitLong([&] { return peer->bytesAvailable() >= 1; }));
        EXPECT_EQ(peer->readAll(), "z");
    }
    peers[1]->write("from 1");
    ASSERT_TRUE(WaitLong([&] { return view->Received() == 6; }));

    // The first client leaves: its slot is the one the next client gets.
    peers[0]->close();
    ASSERT_TRUE(WaitLong([&] { return Shown(*view).contains("Disconnect from 127.0.0.1 ...\n"); }));
    ASSERT_TRUE(WaitLong([&] { return Pane(view, 2) == QString("Port:%1 (2)").arg(port); }));
    EXPECT_EQ(view->ServerSocket()->GetSlot(0)->bsGetSlotState(), -1);
    peers[0] = Connect(port);
    ASSERT_TRUE(WaitLong([&] { return view->ServerSocket()->GetSlot(0)->bsGetSlotState() == 0; }));
    ASSERT_TRUE(WaitLong([&] { return Pane(view, 2) == QString("Port:%1 (3)").arg(port); }));
    EXPECT_TRUE(view->IsOnline());

    view->OnPortClose();
    EXPECT_FALSE(view->IsOnline());
    EXPECT_TRUE(Shown(*view).endsWith("\r\nServer stopped ...\r\n\n"));
    EXPECT_EQ(Pane(view, 2), QString("Port:%1 (0)").arg(port));
}

TEST_F(SocketLinkTest, ServerOnAPortInUseShowsTheServiceErrorAndStaysOffline)
{
    QTcpServer other;
    ASSERT_TRUE(other.listen(QHostAddress::Any, 0));
    CTARVENView* view = NewSocketMonitor(1, other.serverPort());
    view->OnPortOpen();
    EXPECT_FALSE(view->IsOnline());
    EXPECT_EQ(view->ServerSocket(), nullptr);
    EXPECT_EQ(m_messages, QStringList{"이미 서버 서비스가 시작되었습니다."});
    EXPECT_EQ(m_captions, QStringList{"SERVICE 오류..."});
}

TEST_F(SocketLinkTest, UdpChoiceOpensTheSameTcpLinkUnderItsOwnLabel)
{
    const quint16 port = FreePort();
    SetValue("Interface", 2);
    SetValue("Active", 1);
    SetValue("ServerPort", port);
    CTARVENView* view = NewMonitor();
    EXPECT_EQ(Pane(view, 1), "UDP/IP-Server");
    view->OnPortOpen();
    ASSERT_TRUE(view->IsOnline());
    auto peer = Connect(port);
    ASSERT_TRUE(WaitLong([&] { return Pane(view, 2) == QString("Port:%1 (1)").arg(port); }));
}
