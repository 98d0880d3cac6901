#include "CDecodeCtrl.h"
#include "CRS232Ctrl.h"
#include "CTSL.h"
#include "CTSLSyntax.h"
#include "EventLoopWait.h"
#include "PtyPair.h"
#include "ScriptFile.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTcpServer>
#include <QTcpSocket>

#include <gtest/gtest.h>

#include <chrono>
#include <fcntl.h>
#include <termios.h>
#include <thread>

using namespace std::chrono_literals;

namespace {

std::string SerialScript(const std::string& body)
{
    return "OPEN MEDIA RS232C\nOPEN PORT COM1\nOPEN BAUD_RATE 9600\n"
           "DIM BUF$ 64\nVAR N% 0\nBEGIN:\n" +
           body + "END:\n";
}

std::string TcpScript(uint16_t port, const std::string& body)
{
    return "OPEN MEDIA TCP\nOPEN IP 127.0.0.1\nOPEN PORT " + std::to_string(port) +
           "\nDIM BUF$ 64\nVAR N% 0\nBEGIN:\n" + body + "END:\n";
}

// The echo body: whatever arrived in this pass is printed in hexadecimal, then sent back.
const char* const kEchoBody = "IN BUF, N\nCMP N, 0\nJPE END\nPRINT BUF, H\nOUT BUF\n";

} // namespace

TEST(DecodeCtrl, FailedVerificationKeepsTheMessagesUntilStop)
{
    ScriptFile file("BEGIN:\nMOVE X, 1\nEND:\n");
    CDecodeCtrl ctrl;
    ctrl.SetScriptName(file.Path().c_str());
    EXPECT_EQ(ctrl.VerifyScript(), -1);
    ASSERT_NE(ctrl.m_pSyntax, nullptr);
    EXPECT_EQ(ctrl.m_pSyntax->m_arrErrors.size(), 1u);
    ctrl.Stop();
    EXPECT_EQ(ctrl.m_pSyntax, nullptr);
    ctrl.Stop(); // a second stop does nothing
}

TEST(DecodeCtrl, MissingSerialPortFailsTheRun)
{
    qputenv("TARVEN_COM1", "/dev/nonexistent-tarven-port");
    ScriptFile file(SerialScript(kEchoBody));
    CDecodeCtrl ctrl;
    ctrl.SetScriptName(file.Path().c_str());
    ASSERT_EQ(ctrl.VerifyScript(), 0);
    EXPECT_EQ(ctrl.Run(), -1);
    EXPECT_EQ(ctrl.GetFailure(), CDecodeCtrl::RunFailure::Port);
    EXPECT_EQ(ctrl.m_pPort, nullptr);
    EXPECT_EQ(ctrl.GetPassCount(), 0u);
    qunsetenv("TARVEN_COM1");
}

TEST(DecodeCtrl, SerialRunEchoesOverAPseudoTerminal)
{
    PtyPair pty;
    qputenv("TARVEN_COM1", pty.SlavePath().c_str());
    ScriptFile file(SerialScript(kEchoBody));
    CDecodeCtrl ctrl;
    ctrl.SetScriptName(file.Path().c_str());
    ASSERT_EQ(ctrl.VerifyScript(), 0);
    ASSERT_EQ(ctrl.Run(), 0);

    termios tio{};
    const int slave = ::open(pty.SlavePath().c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(slave, 0);
    ASSERT_EQ(tcgetattr(slave, &tio), 0);
    EXPECT_EQ(cfgetospeed(&tio), B9600);
    ::close(slave);

    pty.Send(std::string("hi\0!", 4));
    EXPECT_EQ(pty.Receive(3, 5s), "hi!") << "NUL bytes never reach the script";
    ctrl.Halt();
    std::lock_guard lock(ctrl.m_pTSL->m_csPrint);
    ASSERT_FALSE(ctrl.m_pTSL->m_listPrint.empty());
    EXPECT_STREQ(ctrl.m_pTSL->m_listPrint.front()->m_pszText.get(), "68 69 21 ");
    qunsetenv("TARVEN_COM1");
}

TEST(DecodeCtrl, NumericRunOpensTheComPortWithTheGivenCodes)
{
    PtyPair pty;
    qputenv("TARVEN_COM3", pty.SlavePath().c_str());
    ScriptFile file("BEGIN:\nSLEEP 10\nEND:\n");
    CDecodeCtrl ctrl;
    ctrl.SetScriptName(file.Path().c_str());
    ASSERT_EQ(ctrl.VerifyScript(), 0);
    ASSERT_EQ(ctrl.Run(3, 1, 6, 0, 0), 0);
    EXPECT_STREQ(ctrl.m_comm.szPort, "COM3");

    termios tio{};
    const int slave = ::open(pty.SlavePath().c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(slave, 0);
    ASSERT_EQ(tcgetattr(slave, &tio), 0);
    ::close(slave);
    EXPECT_EQ(cfgetospeed(&tio), B9600);
    EXPECT_EQ(tio.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_EQ(tio.c_cflag & PARENB, 0u);
    EXPECT_EQ(tio.c_cflag & CSTOPB, 0u);
    EXPECT_TRUE(WaitFor([&] { return ctrl.GetPassCount() > 0; }));
    ctrl.Stop();
    qunsetenv("TARVEN_COM3");
}

TEST(DecodeCtrl, TcpRunStartsOnTheConnectNoticeAndDropsNulBytes)
{
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost, 0));
    ScriptFile file(TcpScript(server.serverPort(), kEchoBody));
    CDecodeCtrl ctrl;
    ctrl.SetScriptName(file.Path().c_str());
    ASSERT_EQ(ctrl.VerifyScript(), 0);
    ASSERT_EQ(ctrl.Run(), 0);
    EXPECT_EQ(ctrl.GetPassCount(), 0u) << "no pass before the connect notice";

    ASSERT_TRUE(WaitFor([&] { return server.hasPendingConnections(); }));
    QTcpSocket* peer = server.nextPendingConnection();
    ASSERT_TRUE(WaitFor([&] { return ctrl.GetPassCount() > 0; }));
    peer->write(QByteArray("\x41\x00\x42", 3));
    QByteArray echoed;
    ASSERT_TRUE(WaitFor([&] {
        echoed += peer->readAll();
        return echoed.size() >= 2;
    }));
    EXPECT_EQ(echoed, QByteArray("AB"));

    // The peer goes away: the passes go on without a link until the run is stopped.
    peer->close();
    ASSERT_TRUE(WaitFor([&] { return ctrl.m_pSocket == nullptr; }));
    const uint64_t passes = ctrl.GetPassCount();
    EXPECT_TRUE(WaitFor([&] { return ctrl.GetPassCount() > passes; }));
    ctrl.Stop();
}

TEST(DecodeCtrl, StopEndsALongSleepAtOnce)
{
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost, 0));
    ScriptFile file(TcpScript(server.serverPort(), "SLEEP 60000\n"));
    CDecodeCtrl ctrl;
    ctrl.SetScriptName(file.Path().c_str());
    ASSERT_EQ(ctrl.VerifyScript(), 0);
    ASSERT_EQ(ctrl.Run(), 0);
    ASSERT_TRUE(WaitFor([&] { return ctrl.m_pTSL && server.hasPendingConnections(); }));
    std::this_thread::sleep_for(100ms); // the pass is in its sleep now
    const auto start = std::chrono::steady_clock::now();
    ctrl.Stop();
    EXPECT_LT(std::chrono::steady_clock::now() - start, 100ms);
    EXPECT_EQ(ctrl.m_pTSL, nullptr);
    ctrl.Stop();
}

TEST(DecodeCtrl, UdpRunsNothing)
{
    ScriptFile file("OPEN MEDIA UDP\nBEGIN:\nSLEEP 1\nEND:\n");
    CDecodeCtrl ctrl;
    ctrl.SetScriptName(file.Path().c_str());
    ASSERT_EQ(ctrl.VerifyScript(), 0);
    EXPECT_EQ(ctrl.Run(), 0);
    std::this_thread::sleep_for(20ms);
    EXPECT_EQ(ctrl.GetPassCount(), 0u);
    ctrl.Stop();
}
