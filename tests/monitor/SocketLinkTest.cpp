#include "MonitorTestEnv.h"

#include "CClientSock.h"
#include "CServerSock.h"
#include "TcpPeer.h"

#include <QElapsedTimer>
#include <QInputMethodEvent>

namespace {

class SocketLinkTest : public MonitorTest
{
protected:
    CTARVENView* NewSocketMonitor(int role, quint16 port, bool welcome = true)
    {
        SetValue("Interface", 1);
        SetValue("Active", role);
        SetValue("ServerPort", port);
        SetValue("ServerIP", qint32(0x7F000001));
        SetValue("WelcomeFlag", int(welcome));
        return NewMonitor();
    }
};

} // namespace

TEST_F(SocketLinkTest, ClientShowsAndCountsEveryByteNulIncluded)
{
    SetValue("NullCheckFlag", 0);
    TcpListener listener;
    CTARVENView* view = NewSocketMonitor(0, listener.Port());
    view->OnPortOpen();
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
    EXPECT_EQ(view->Link()->ClientSocket(), nullptr);
    EXPECT_TRUE(Shown(*view).contains(
        QString("Disconnect from 127.0.0.1:%1 ...\n").arg(listener.Port()).toUtf8()));
}

TEST_F(SocketLinkTest, ClientConnectThatHangsEndsWithTheFailureMessageAfterThreeTicks)
{
    TcpListener listener(true);
    CTARVENView* view = NewSocketMonitor(0, listener.Port());
    QElapsedTimer clock;
    clock.start();
    view->OnPortOpen();
    EXPECT_EQ(QGuiApplication::overrideCursor() ? QGuiApplication::overrideCursor()->shape()
                                                : Qt::ArrowCursor,
              Qt::WaitCursor);
    ASSERT_TRUE(WaitFor([&] { return !m_messages.texts.isEmpty(); }, 30000));
    EXPECT_GE(clock.elapsed(), 2500);
    EXPECT_EQ(m_messages.texts, QStringList{"Socket Client 접속실패 !!!"});
    EXPECT_FALSE(view->IsOnline());
    EXPECT_EQ(view->Link()->ClientSocket(), nullptr);
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

    std::vector<TcpPeer> peers;
    for (int i = 0; i < 3; ++i) {
        TcpPeer& peer = peers.emplace_back(TcpPeer::Connect(port));
        // The welcome text arrives first, and the window shows the peer with its own port.
        EXPECT_EQ(peer.Take(27), "Welcome to TARVEN server...");
        ASSERT_TRUE(WaitFor([&] {
            return Shown(*view).contains(
                QString("Connected from 127.0.0.1:%1 ...\n").arg(peer.LocalPort()).toUtf8());
        }));
    }
    ASSERT_TRUE(WaitFor([&] { return Pane(view, 2) == QString("Port:%1 (3)").arg(port); }));

    // What is typed goes to every client.
    view->OnChar("z");
    for (TcpPeer& peer : peers)
        EXPECT_EQ(peer.Take(1), "z");
    peers[1].Send("from 1");
    ASSERT_TRUE(WaitFor([&] { return view->Received() == 6; }));

    // The first client leaves: its slot is the one the next client gets.
    // It is told apart from the others by its port, as when it came.
    const quint16 leaving = peers[0].LocalPort();
    peers[0].Close();
    ASSERT_TRUE(WaitFor([&] {
        return Shown(*view).contains(
            QString("Disconnect from 127.0.0.1:%1 ...\n").arg(leaving).toUtf8());
    }));
    ASSERT_TRUE(WaitFor([&] { return Pane(view, 2) == QString("Port:%1 (2)").arg(port); }));
    EXPECT_EQ(view->Link()->ServerSocket()->GetSlot(0)->bsGetSlotState(), CClientSock::kSlotFree);
    peers[0] = TcpPeer::Connect(port);
    ASSERT_TRUE(WaitFor([&] {
        return view->Link()->ServerSocket()->GetSlot(0)->bsGetSlotState() ==
               CClientSock::kSlotInUse;
    }));
    ASSERT_TRUE(WaitFor([&] { return Pane(view, 2) == QString("Port:%1 (3)").arg(port); }));
    EXPECT_TRUE(view->IsOnline());

    view->OnPortClose();
    EXPECT_FALSE(view->IsOnline());
    EXPECT_TRUE(Shown(*view).endsWith("\r\nServer stopped ...\r\n\n"));
    EXPECT_EQ(Pane(view, 2), QString("Port:%1 (0)").arg(port));
}

TEST_F(SocketLinkTest, ServerOnAPortInUseShowsTheServiceErrorAndStaysOffline)
{
    TcpListener other;
    CTARVENView* view = NewSocketMonitor(1, other.Port());
    view->OnPortOpen();
    EXPECT_FALSE(view->IsOnline());
    EXPECT_EQ(view->Link()->ServerSocket(), nullptr);
    EXPECT_EQ(m_messages.texts, QStringList{"이미 서버 서비스가 시작되었습니다."});
    EXPECT_EQ(m_messages.captions, QStringList{"SERVICE 오류..."});
}

TEST_F(SocketLinkTest, AStoredPortOutsideTheRangeIsReportedNotCutTo16Bits)
{
    // 65536 + 4096 would have listened on 4096, 0 on any port at all.
    for (const int stored : {65536 + 4096, 0, -1}) {
        m_messages.texts.clear();
        SetValue("Interface", 1);
        SetValue("Active", 1);
        SetValue("ServerPort", stored);
        CTARVENView* view = NewMonitor();
        EXPECT_EQ(view->Link()->Settings().nServerPort, stored);
        view->OnPortOpen();
        EXPECT_FALSE(view->IsOnline());
        EXPECT_EQ(view->Link()->ServerSocket(), nullptr);
        EXPECT_EQ(m_messages.texts,
                  QStringList{QString("포트 번호는 1부터 65535까지입니다. (port:%1)").arg(stored)});
    }
}

TEST_F(SocketLinkTest, Cp949WindowWelcomesTypesAndShowsInCp949)
{
    SetValue("RecvEncoding", 2);
    SetValue("WelcomeMsg", QString::fromUtf8("환영합니다"));
    const quint16 port = FreePort();
    CTARVENView* view = NewSocketMonitor(1, port);
    view->OnPortOpen();
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
