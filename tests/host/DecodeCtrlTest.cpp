#include "CClientSock.h"
#include "CDecodeCtrl.h"
#include "CRS232Ctrl.h"
#include "CSerialLink.h"
#include "CTSL.h"
#include "CTSLSyntax.h"
#include "CTcpClientLink.h"
#include "EventLoopWait.h"
#include "LoadedScript.h"
#include "PtyPair.h"
#include "ScopedEnv.h"
#include "TcpPeer.h"
#include "TempDir.h"
#include "UdpPeer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <fcntl.h>

using namespace std::chrono_literals;

namespace {

const std::string kSerial = "OPEN MEDIA RS232C\nOPEN PORT COM1\nOPEN BAUD_RATE 9600\n";

std::string Net(const char* media, uint16_t port)
{
    return std::string("OPEN MEDIA ") + media + "\nOPEN IP 127.0.0.1\nOPEN PORT " +
           std::to_string(port) + "\n";
}

// A script with a buffer BUF and its count N, on the link that open declares.
std::string Script(const std::string& open, const std::string& body,
                   const std::string& declarations = "")
{
    return open + "DIM BUF$ 64\nVAR N% 0\n" + declarations + "BEGIN:\n" + body + "END:\n";
}

// The echo body: whatever arrived in this pass is printed in hexadecimal, then sent back.
const char* const kEchoBody = "IN BUF, N\nCMP N, 0\nJPE END\nPRINT BUF, H\nOUT BUF\n";

// A script host given a script file.
struct Host
{
    explicit Host(const std::string& text) : file(text) { ctrl.SetScriptName(file.Path().c_str()); }
    // Verifies the script and starts the run.
    bool Start() { return ctrl.VerifyScript() == 0 && ctrl.Run() == 0; }
    ScriptFile file;
    CDecodeCtrl ctrl;
};

// The serial port and the client socket of a run, null when its link is of another kind.
CRS232Ctrl* PortOf(const CDecodeCtrl& ctrl)
{
    auto* link = qobject_cast<CSerialLink*>(ctrl.m_pLink.get());
    return link != nullptr ? &link->Port() : nullptr;
}

CClientSock* SocketOf(const CDecodeCtrl& ctrl)
{
    auto* link = qobject_cast<CTcpClientLink*>(ctrl.m_pLink.get());
    return link != nullptr ? &link->Socket() : nullptr;
}

// The line settings of the pty as the port left them.
termios SlaveSettings(const PtyPair& pty)
{
    termios tio{};
    const int slave = ::open(pty.SlavePath().c_str(), O_RDWR | O_NOCTTY);
    EXPECT_EQ(tcgetattr(slave, &tio), 0);
    ::close(slave);
    return tio;
}

} // namespace

TEST(DecodeCtrl, FailedVerificationKeepsTheMessagesUntilStop)
{
    Host host("BEGIN:\nMOVE X, 1\nEND:\n");
    EXPECT_EQ(host.ctrl.VerifyScript(), -1);
    ASSERT_NE(host.ctrl.m_pSyntax, nullptr);
    EXPECT_EQ(host.ctrl.m_pSyntax->m_arrErrors.size(), 1u);
    host.ctrl.Stop();
    EXPECT_EQ(host.ctrl.m_pSyntax, nullptr);
    host.ctrl.Stop(); // a second stop does nothing
}

TEST(DecodeCtrl, MissingSerialPortFailsTheRun)
{
    ScopedEnv com1("TARVEN_COM1", "/dev/nonexistent-tarven-port");
    Host host(Script(kSerial, kEchoBody));
    ASSERT_EQ(host.ctrl.VerifyScript(), 0);
    EXPECT_EQ(host.ctrl.Run(), -1);
    EXPECT_EQ(host.ctrl.GetFailure(), CDecodeCtrl::RunFailure::Port);
    EXPECT_EQ(PortOf(host.ctrl), nullptr);
    EXPECT_EQ(host.ctrl.GetPassCount(), 0u);
}

TEST(DecodeCtrl, SerialRunEchoesOverAPseudoTerminal)
{
    PtyPair pty;
    ScopedEnv com1("TARVEN_COM1", pty.SlavePath().c_str());
    Host host(Script(kSerial, kEchoBody));
    ASSERT_TRUE(host.Start()) << host.ctrl.GetErrorText();
    const termios tio = SlaveSettings(pty);
    EXPECT_EQ(cfgetospeed(&tio), B9600);

    pty.Send(std::string("hi\0!", 4));
    EXPECT_EQ(pty.Receive(3, 5s), "hi!") << "NUL bytes never reach the script";
    host.ctrl.Halt();
    const std::vector<std::string> printed = TakePrinted(*host.ctrl.m_pTSL);
    ASSERT_FALSE(printed.empty());
    EXPECT_EQ(printed.front(), "68 69 21 ");
}

TEST(DecodeCtrl, ASerialOutTheLineDoesNotTakeTimesOutAndTellsTheHostOnceForTheRun)
{
    // Nobody reads the master: the line fills, and every write after that times out.
    PtyPair pty;
    ScopedEnv com1("TARVEN_COM1", pty.SlavePath().c_str());
    Host host(Script(kSerial, "OUT \"" + std::string(60, 's') + "\"\n"));
    ASSERT_TRUE(host.Start()) << host.ctrl.GetErrorText();
    ASSERT_EQ(PortOf(host.ctrl)->bsSetWriteTimeouts(0, 50), 1) << "a pass a time-out long";
    std::vector<std::string> notices;
    const auto take = [&] {
        for (std::string& notice : host.ctrl.m_pTSL->m_notices.Take())
            notices.push_back(std::move(notice));
    };
    ASSERT_TRUE(WaitFor([&] {
        take();
        return !notices.empty();
    }));
    const uint64_t passes = host.ctrl.GetPassCount();
    ASSERT_TRUE(WaitFor([&] { return host.ctrl.GetPassCount() > passes + 2; }));
    host.ctrl.Halt();
    take();
    ASSERT_EQ(notices.size(), 1u) << "one notice while the line stays stalled";
    const std::string& notice = notices.front();
    EXPECT_EQ(notice.rfind("시리얼 쓰기 시간초과: ", 0), 0u) << notice;
    const int unsent = std::atoi(notice.c_str() + std::strlen("시리얼 쓰기 시간초과: "));
    EXPECT_GT(unsent, 0);
    EXPECT_LE(unsent, 60);
    host.ctrl.Stop();
}

TEST(DecodeCtrl, NumericRunOpensTheComPortWithTheGivenCodes)
{
    PtyPair pty;
    ScopedEnv com3("TARVEN_COM3", pty.SlavePath().c_str());
    Host host("BEGIN:\nSLEEP 10\nEND:\n");
    ASSERT_EQ(host.ctrl.VerifyScript(), 0);
    ASSERT_EQ(host.ctrl.Run(3, 1, 6, 0, 0), 0);
    EXPECT_STREQ(host.ctrl.m_comm.szPort, "COM3");
    const termios tio = SlaveSettings(pty);
    EXPECT_EQ(cfgetospeed(&tio), B9600);
    EXPECT_EQ(tio.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_EQ(tio.c_cflag & (PARENB | CSTOPB), 0u);
    EXPECT_TRUE(WaitFor([&] { return host.ctrl.GetPassCount() > 0; }));
    host.ctrl.Stop();
}

TEST(DecodeCtrl, ATcpRunStartsOnTheConnectNoticeDropsNulBytesAndOutlivesItsPeer)
{
    TcpListener listener;
    Host host(Script(Net("TCP", listener.Port()), kEchoBody));
    ASSERT_TRUE(host.Start()) << host.ctrl.GetErrorText();
    EXPECT_EQ(host.ctrl.GetPassCount(), 0u) << "no pass before the connect notice";
    TcpPeer peer = listener.Accept();
    ASSERT_TRUE(WaitFor([&] { return host.ctrl.GetPassCount() > 0; }));
    peer.Send(QByteArray("\x41\x00\x42", 3));
    EXPECT_EQ(peer.Take(2), QByteArray("AB"));

    // The peer goes away: the passes go on without a link until the run is stopped.
    peer.Close();
    ASSERT_TRUE(WaitFor([&] { return SocketOf(host.ctrl) == nullptr; }));
    const uint64_t passes = host.ctrl.GetPassCount();
    EXPECT_TRUE(WaitFor([&] { return host.ctrl.GetPassCount() > passes; }));
    host.ctrl.Stop();
}

TEST(DecodeCtrl, StopEndsALongSleepAtOnce)
{
    TcpListener listener;
    Host host(Script(Net("TCP", listener.Port()), "OUT \"s\"\nSLEEP 60000\n"));
    ASSERT_TRUE(host.Start()) << host.ctrl.GetErrorText();
    TcpPeer peer = listener.Accept();
    // The byte the pass sends just before its sleep says that the sleep has begun.
    ASSERT_EQ(peer.Take(1), "s");
    const auto start = std::chrono::steady_clock::now();
    host.ctrl.Stop();
    EXPECT_LT(std::chrono::steady_clock::now() - start, 5s) << "far less than the 60 s sleep";
    EXPECT_EQ(host.ctrl.m_pTSL, nullptr);
    host.ctrl.Stop();
}

TEST(DecodeCtrl, AnOutLoopAgainstAPeerThatNeverReadsWaitsWholeAndEndsWithTheRun)
{
    // The peer's small window fills, then the connection's send queue: then each OUT waits.
    TcpListener listener(false, 16 * 1024);
    constexpr int kRow = 60;
    const std::string row = std::string(kRow - 2, 'r') + "\r\n";
    Host host(
        Script(Net("TCP", listener.Port()), "OUT \"" + row.substr(0, kRow - 2) + "<0D><0A>\"\n"));
    ASSERT_TRUE(host.Start()) << host.ctrl.GetErrorText();
    TcpPeer peer = listener.Accept();
    ASSERT_TRUE(WaitFor(
        [&] {
            return SocketOf(host.ctrl) &&
                   SocketOf(host.ctrl)->QueuedBytes() > kSocketSendQueueBytes - kRow;
        },
        60000));
    EXPECT_LE(SocketOf(host.ctrl)->QueuedBytes(), kSocketSendQueueBytes);

    // The peer reads: the waiting OUTs go on, and every row arrives whole and in turn.
    ASSERT_TRUE(WaitFor(
        [&] {
            peer.ReadSome(64 * 1024);
            return peer.Received().size() >= 2 * 1024 * 1024;
        },
        60000));
    const QByteArray received = peer.Received();
    const QByteArray rows = QByteArray::fromStdString(row).repeated(received.size() / kRow + 1);
    EXPECT_TRUE(received == rows.left(received.size())) << "a row was cut or lost";

    // Stopped while its OUT waits for a peer that reads no more, the run ends.
    ASSERT_TRUE(WaitFor(
        [&] { return SocketOf(host.ctrl)->QueuedBytes() > kSocketSendQueueBytes - kRow; }, 60000));
    host.ctrl.Stop();
    EXPECT_FALSE(host.ctrl.IsRunning());
    EXPECT_EQ(host.ctrl.m_pTSL, nullptr);
}

TEST(DecodeCtrl, AUdpRunSendsOutBytesAsDatagramsAndTakesDatagramsFromItsLocalPort)
{
    UdpPeer peer;
    Host host(Script(Net("UDP", peer.Port()), kEchoBody));
    ASSERT_EQ(host.ctrl.VerifyScript(), 0);
    // Without LOCAL_PORT it receives on the port number it sends to, which the peer has here.
    EXPECT_EQ(host.ctrl.Run(), -1);
    EXPECT_EQ(host.ctrl.GetFailure(), CDecodeCtrl::RunFailure::Port);
    EXPECT_EQ(host.ctrl.GetErrorText(), std::strerror(EADDRINUSE));
    EXPECT_FALSE(host.ctrl.IsRunning());
    host.ctrl.SetLocalPort(0);
    ASSERT_EQ(host.ctrl.Run(), 0) << host.ctrl.GetErrorText();
    EXPECT_TRUE(host.ctrl.IsRunning()) << "a UDP run starts at once";
    const quint16 local = quint16(host.ctrl.GetLocalPort());
    ASSERT_NE(local, 0);

    // Each datagram reaches a pass, is echoed as one datagram; an empty one brings nothing.
    for (const QByteArray& datagram : {QByteArray("abc"), QByteArray(), QByteArray("x\0y", 3)}) {
        peer.SendTo(local, datagram);
        if (!datagram.isEmpty()) {
            EXPECT_EQ(peer.Take(), datagram == "abc" ? "abc" : "xy") << "NUL bytes are left out";
        }
    }
    host.ctrl.Stop();
    EXPECT_EQ(host.ctrl.GetLocalPort(), 0);
}

TEST(DecodeCtrl, ScriptTextGoesOutAsItsFileHoldsItAndPrintsAsText)
{
    // "한글", "응답" and "가" as a UTF-8 file and as a CP949 file from a Windows bench hold them.
    struct Case
    {
        const char* encoding;
        std::string hangul, reply, ga;
    };
    const Case cases[] = {
        {"UTF-8", "한글", "응답", "가"},
        {"CP949", "\xC7\xD1\xB1\xDB", "\xC0\xC0\xB4\xE4", "\xB0\xA1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.encoding);
        PtyPair pty;
        ScopedEnv com1("TARVEN_COM1", pty.SlavePath().c_str());
        Host host(Script(kSerial,
                         "CMP SENT, 0\nJPNE LISTEN\nINC SENT\nOUT \"" + c.hangul +
                             "\"\nOUT MSG\nCOPY BUF, \"" + c.ga + "\", " +
                             std::to_string(c.ga.size()) + "\nOUT BUF\nPRINT \"" + c.hangul +
                             "\"\nPRINT MSG\nLISTEN:\nIN BUF, N\nCMP N, 0\nJPE END\nFIND BUF, \"" +
                             c.reply + "\", AT\nCMP AT, 1\nJPNE END\nOUT \"ok\"\n",
                         "EQU MSG \"" + c.hangul + "<0D>\"\nVAR SENT% 0\nVAR AT% 0\n"));
        ASSERT_TRUE(host.Start()) << host.ctrl.GetErrorText();
        const std::string sent = c.hangul + c.hangul + "\r" + c.ga;
        EXPECT_EQ(pty.Receive(sent.size(), 5s), sent);
        // The device answers in the script's encoding, and the script finds its answer.
        pty.Send("[" + c.reply + "]");
        EXPECT_EQ(pty.Receive(2, 5s), "ok");
        host.ctrl.Halt();
        EXPECT_EQ(TakePrinted(*host.ctrl.m_pTSL), (std::vector<std::string>{"한글", "한글<0D>"}));
    }

    // The verifier names a CP949 operand in UTF-8, like every other word of its messages.
    Host check(Script(kSerial, "SYNC \"\xB0\xA1\"\n"));
    EXPECT_EQ(check.ctrl.VerifyScript(), -1);
    ASSERT_EQ(check.ctrl.m_pSyntax->m_arrErrors.size(), 1u);
    EXPECT_EQ(check.ctrl.m_pSyntax->m_arrErrors[0],
              "error : line 7, '\"가\"' 잘못된 인자입니다...");
}
