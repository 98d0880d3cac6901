#include "MonitorTestEnv.h"
#include "UdpPeer.h"

#include "CUdpCtrl.h"
#include "LinkWriter.h"
#include "SystemErrorText.h"

#include <cerrno>

namespace {

QByteArray Pattern(int size)
{
    QByteArray bytes(size, '\0');
    for (int i = 0; i < size; ++i)
        bytes[i] = char(i * 7 + i / 251);
    return bytes;
}

class UdpLinkTest : public MonitorTest
{
protected:
    // A UDP monitor on a free local port, sending to the peer's port, or back to the sender
    // when remotePort is 0.
    CTARVENView* OpenUdp(quint16 remotePort, int localPort = 0)
    {
        SetValue("Interface", 2);
        SetValue("LocalPort", localPort);
        SetValue("ServerPort", remotePort == 0 ? 4096 : remotePort);
        SetValue("ServerIP", remotePort == 0 ? 0 : qint32(0x7F000001));
        CTARVENView* view = NewMonitor();
        view->OnPortOpen();
        EXPECT_TRUE(view->IsOnline()) << m_messages.texts.join('\n').toStdString();
        return view;
    }

    static quint16 LocalPort(const CTARVENView* view)
    {
        return view->Link()->UdpSocket()->GetLocalPort();
    }
};

} // namespace

TEST_F(UdpLinkTest, DatagramsGoBothWaysWithTheSenderNoticedWhenItChanges)
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

    // The first datagram brings its sender's notice; an empty one shows nothing and loses
    // nothing after it; another sender is noticed before its bytes.
    const QByteArray from =
        QString("\r\nDatagram from 127.0.0.1:%1 ...\r\n").arg(peer.Port()).toUtf8();
    peer.SendTo(local, "hello");
    peer.SendTo(local, "");
    peer.SendTo(local, "world");
    ASSERT_TRUE(WaitFor([&] { return view->Received() == 10; }));
    expected += from + "helloworld";
    EXPECT_EQ(Shown(*view), expected);
    UdpPeer other;
    other.SendTo(local, "!");
    peer.SendTo(local, "?");
    ASSERT_TRUE(WaitFor([&] { return view->Received() == 12; }));
    expected += QString("\r\nDatagram from 127.0.0.1:%1 ...\r\n").arg(other.Port()).toUtf8() + "!" +
                from + "?";
    EXPECT_EQ(Shown(*view), expected);

    // Typing goes to the remote as one datagram, echoed and counted.
    view->OnChar("hi\r");
    EXPECT_EQ(peer.Take(), "hi\r");
    EXPECT_EQ(view->Sent(), 3);
    EXPECT_TRUE(Shown(*view).endsWith("?hi\r"));

    // The largest datagram IPv4 carries, both ways, whole; more goes out in several.
    const QByteArray largest = Pattern(kMaxUdpDatagramBytes);
    peer.SendTo(local, largest);
    ASSERT_TRUE(WaitFor([&] { return view->Received() == 12 + largest.size(); }));
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
    EXPECT_EQ(view->Link()->UdpSocket(), nullptr);
    const qint64 received = view->Received();
    peer.SendTo(local, "late");
    RunEventsFor(200);
    EXPECT_EQ(view->Received(), received);
}

TEST_F(UdpLinkTest, EmptyRemoteRepliesToTheLastSender)
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

TEST_F(UdpLinkTest, PortsAreCheckedAtOpenAndTheHighestOneOpens)
{
    // The highest port number, as the local port and as the remote. Other tests on the machine
    // may hold it for a moment.
    {
        CUdpCtrl probe;
        if (probe.Create(65535) == 0)
            GTEST_SKIP() << "port 65535 is taken on this machine";
        probe.Close();
        UdpPeer peer;
        CTARVENView* view = OpenUdp(peer.Port(), 65535);
        ASSERT_TRUE(view->IsOnline());
        EXPECT_EQ(LocalPort(view), 65535);
        peer.SendTo(65535, "top");
        ASSERT_TRUE(WaitFor([&] { return view->Received() == 3; }));
        CloseMonitor(view);
    }
    {
        CUdpCtrl top;
        if (top.Create(65535) == 0)
            GTEST_SKIP() << "port 65535 is taken on this machine";
        CTARVENView* view = OpenUdp(65535);
        view->OnChar("x");
        QByteArray datagram;
        ASSERT_TRUE(WaitFor([&] { return top.Receive(datagram) >= 0; }));
        EXPECT_EQ(datagram, "x");
        CloseMonitor(view);
    }

    // Stored ports outside the range are reported as they are, and a port in use by its
    // system reason.
    CUdpCtrl holder;
    ASSERT_EQ(holder.Create(0), 1);
    const struct
    {
        int local, remote;
        qint32 address;
        QString message;
    } cases[] = {
        {70000, 5000, 0x7F000001, "포트 번호는 1부터 65535까지입니다. (port:70000)"},
        {-1, 5000, 0, "포트 번호는 1부터 65535까지입니다. (port:-1)"},
        {5000, 0, 0x7F000001, "포트 번호는 1부터 65535까지입니다. (port:0)"},
        {5000, 65536, 0x7F000001, "포트 번호는 1부터 65535까지입니다. (port:65536)"},
        {holder.GetLocalPort(), 5000, 0,
         QString("UDP 포트를 열 수 없습니다. (port:%1)\n%2")
             .arg(holder.GetLocalPort())
             .arg(SystemErrorText(EADDRINUSE))},
    };
    for (const auto& c : cases) {
        m_messages.texts.clear();
        SetValue("Interface", 2);
        SetValue("LocalPort", c.local);
        SetValue("ServerPort", c.remote);
        SetValue("ServerIP", c.address);
        CTARVENView* view = NewMonitor();
        view->OnPortOpen();
        EXPECT_FALSE(view->IsOnline());
        EXPECT_EQ(view->Link()->UdpSocket(), nullptr);
        EXPECT_EQ(m_messages.texts, QStringList{c.message}) << c.local << " " << c.remote;
        CloseMonitor(view);
    }
}
