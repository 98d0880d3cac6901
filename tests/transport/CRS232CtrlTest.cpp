#include "CRS232Ctrl.h"

#include "EventRecorder.h"
#include "PtyPair.h"
#include "ScopedEnv.h"
#include "SerialDeviceClaim.h"
#include "SerialLine.h"
#include "TempDir.h"
#include "TransportConstants.h"

#include <gtest/gtest.h>

#include <QDeadlineTimer>

#include <atomic>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <sys/file.h>
#include <termios.h>
#include <thread>

using namespace std::chrono_literals;

namespace {

COMM SerialComm(const char* port, int baud, int data, int parity, int stop)
{
    COMM comm;
    comm.nMedia = MEDIA_RS232C;
    std::strncpy(comm.szPort, port, sizeof comm.szPort - 1);
    comm.nBaudRate = baud;
    comm.nDataBit = data;
    comm.nParityBit = parity;
    comm.nStopBit = stop;
    return comm;
}

std::string TakeAll(CQueue& queue)
{
    std::string taken;
    unsigned char b = 0;
    while (queue.GetByte(&b))
        taken += static_cast<char>(b);
    return taken;
}

// What a pty keeps of the line settings: Linux ptys always report 8 data bits without parity
// enabled, but keep the rate, the odd and mark/space choices and the stop bits. The data bits
// and parity enable are checked on FramingCflag itself.
constexpr tcflag_t kKeptBits = PARODD | CMSPAR | CSTOPB;

// The rate and the kept bits.
using LineSettings = std::pair<int, tcflag_t>;

LineSettings ReadBack(int fd)
{
    termios tio{};
    EXPECT_EQ(tcgetattr(fd, &tio), 0);
    return {ReadDeviceRate(fd), tio.c_cflag & kKeptBits};
}

struct OpenCase
{
    int baud, data, parity, stop;
    bool opens;
    LineSettings expected;
};

// Opens with the case's values; a refused open must leave nothing open.
bool ExpectOpened(CRS232Ctrl& port, int result, const OpenCase& c)
{
    SCOPED_TRACE(testing::Message() << c.baud << "/" << c.data << "/" << c.parity << "/" << c.stop);
    EXPECT_EQ(result, c.opens ? 1 : 0) << "errno " << port.GetLastError();
    if (!c.opens) {
        EXPECT_EQ(port.GetLastError(), unsigned(EINVAL));
        EXPECT_EQ(port.GetCommHandle(), -1);
        return false;
    }
    EXPECT_EQ(port.IsValid(), 1);
    EXPECT_EQ(port.bsGetConnectFlag(), 1);
    EXPECT_EQ(ReadBack(port.GetCommHandle()), c.expected);
    return result == 1;
}

} // namespace

TEST(CRS232Ctrl, MissingDeviceFailsWithErrorTwoAndCloseAlwaysSucceeds)
{
    CRS232Ctrl port;
    EXPECT_EQ(port.Close(), 1) << "closing a port never opened";
    EXPECT_EQ(port.Open("/dev/no-such-serial-device", 9600, 8, NOPARITY, ONESTOPBIT), 0);
    EXPECT_EQ(port.GetLastError(), 2u);
    EXPECT_EQ(port.IsValid(), 0);
    EXPECT_EQ(port.bsGetConnectFlag(), 0);
    char buf[4];
    EXPECT_EQ(port.Read(buf, 4), 0);
    EXPECT_EQ(port.Write("x", 1), 0);

    ScopedEnv com7("TARVEN_COM7", "/dev/no-such-serial-device");
    COMM comm = SerialComm("COM7", 6, 1, 0, 0);
    EXPECT_EQ(port.Open(&comm), 0);
    EXPECT_EQ(port.GetLastError(), 2u);
    EXPECT_EQ(port.Close(), 1);
    EXPECT_EQ(port.Close(), 1);
}

TEST(CRS232Ctrl, OpensFromCommCodesOrPlainValuesAsTheTablesSayAndRefusesOthers)
{
    PtyPair pty;
    ScopedEnv com7("TARVEN_COM7", pty.SlavePath().c_str());
    const OpenCase codes[] = {
        {6, 1, 0, 0, true, {9600, 0}},
        {-1, -1, -1, -1, true, {9600, 0}}, // unset codes: the defaults
        {12, 0, 2, 2, true, {115200, CSTOPB}},
        {0, 1, 1, 1, true, {110, PARODD | CSTOPB}}, // one and a half: two on Linux
        {14, 1, 0, 0, true, {256000, 0}},           // no B constant: a custom rate
        {7, 0, -1, 0, true, {14400, 0}},
        {6, 1, 1, 0, true, {9600, PARODD}}, // back to a B constant after custom rates
        {15, 1, 0, 0, false, {}},
        {-2, 1, 0, 0, false, {}},
        {6, 2, 0, 0, false, {}},
        {6, 1, 3, 0, false, {}},
        {6, 1, 0, 3, false, {}},
        {6, 1, -5, 0, false, {}},
    };
    for (const OpenCase& c : codes) {
        CRS232Ctrl port;
        COMM comm = SerialComm("COM7", c.baud, c.data, c.parity, c.stop);
        ExpectOpened(port, port.Open(&comm), c);
    }
    CRS232Ctrl none;
    EXPECT_EQ(none.Open(nullptr), 0);
    EXPECT_EQ(none.GetLastError(), unsigned(EINVAL));

    const OpenCase values[] = {
        {19200, 7, EVENPARITY, TWOSTOPBITS, true, {19200, CSTOPB}},
        {921600, 8, NOPARITY, ONESTOPBIT, true, {921600, 0}},
        {9600, 5, MARKPARITY, ONESTOPBIT, true, {9600, PARODD | CMSPAR}},
        {250000, 6, SPACEPARITY, ONESTOPBIT, true, {250000, CMSPAR}},
        {3000000, 8, NOPARITY, ONESTOPBIT, true, {3000000, 0}},
        {31250, 8, NOPARITY, ONESTOPBIT, true, {31250, 0}},
        {9600, 9, NOPARITY, ONESTOPBIT, false, {}},
        {9600, 8, 5, ONESTOPBIT, false, {}},
        {9600, 8, NOPARITY, 3, false, {}},
        {0, 8, NOPARITY, ONESTOPBIT, false, {}},
    };
    for (const OpenCase& c : values) {
        CRS232Ctrl port;
        // A pty keeps whatever rate it is given; real drivers may round, and say so here.
        if (!ExpectOpened(port,
                          port.Open(pty.SlavePath().c_str(), c.baud, c.data, c.parity, c.stop), c))
            continue;
        EXPECT_EQ(port.bsSetBaudRate(57600), 1);
        EXPECT_EQ(ReadDeviceRate(port.GetCommHandle()), 57600);
        EXPECT_EQ(port.bsSetParityDataStop(ODDPARITY, 8, TWOSTOPBITS), 1);
        EXPECT_EQ(ReadBack(port.GetCommHandle()).second, tcflag_t(PARODD | CSTOPB));
        EXPECT_EQ(port.bsSetParityDataStop(NOPARITY, 4, ONESTOPBIT), 0);
        EXPECT_EQ(port.GetLastError(), unsigned(EINVAL));
        EXPECT_EQ(port.IsValid(), 0);
    }
}

TEST(SerialLine, FramingSetsDataBitsParityAndStopBits)
{
    struct Case
    {
        int parity, dataBits, stopBits;
        tcflag_t cflag;
    };
    const Case cases[] = {
        {NOPARITY, 8, ONESTOPBIT, CS8},
        {NOPARITY, 7, ONESTOPBIT, CS7},
        {NOPARITY, 6, ONESTOPBIT, CS6},
        {NOPARITY, 5, ONESTOPBIT, CS5},
        {ODDPARITY, 8, ONESTOPBIT, CS8 | PARENB | PARODD},
        {EVENPARITY, 7, ONESTOPBIT, CS7 | PARENB},
        {MARKPARITY, 8, ONESTOPBIT, CS8 | PARENB | PARODD | CMSPAR},
        {SPACEPARITY, 8, ONESTOPBIT, CS8 | PARENB | CMSPAR},
        {NOPARITY, 8, ONE5STOPBITS, CS8 | CSTOPB},
        {EVENPARITY, 7, TWOSTOPBITS, CS7 | PARENB | CSTOPB},
    };
    const tcflag_t others = CREAD | CLOCAL | B9600;
    const tcflag_t stale = PARENB | PARODD | CMSPAR | CSTOPB | CS6;
    for (const Case& c : cases) {
        EXPECT_EQ(FramingCflag(others | stale, c.parity, c.dataBits, c.stopBits), others | c.cflag)
            << c.parity << " " << c.dataBits << " " << c.stopBits;
    }
}

// A port open on a pty, whose reader thread reports to owner.
class CRS232CtrlOnPty : public testing::Test
{
protected:
    void SetUp() override
    {
        owner.Watch(port);
        ASSERT_EQ(port.Open(pty.SlavePath().c_str(), 9600, 8, NOPARITY, ONESTOPBIT), 1);
    }

    PtyPair pty;
    EventRecorder owner;
    CRS232Ctrl port;
};

TEST_F(CRS232CtrlOnPty, ADeviceInUseOpensNowhereElseUntilItIsFree)
{
    // Root opens past TIOCEXCL; the claim still refuses, by any name of the device.
    TempDir dir;
    const QString link = dir.Path(QStringLiteral("by-id"));
    ASSERT_TRUE(QFile::link(QString::fromStdString(pty.SlavePath()), link));
    CRS232Ctrl second;
    for (const QString& name : {QString::fromStdString(pty.SlavePath()), link}) {
        EXPECT_EQ(second.Open(name.toLocal8Bit().constData(), 9600, 8, NOPARITY, ONESTOPBIT), 0);
        EXPECT_EQ(second.GetLastError(), unsigned(EBUSY)) << name.toStdString();
    }
    COMM script = SerialComm("", -1, -1, -1, -1);
    EXPECT_EQ(second.Open(&script, pty.SlavePath().c_str()), 0);
    EXPECT_EQ(second.GetLastError(), unsigned(EBUSY));
    EXPECT_TRUE(CSerialDeviceClaim::IsHeld(link));

    // Another program that locks the device keeps it, too, until it lets go.
    port.Close();
    EXPECT_FALSE(CSerialDeviceClaim::IsHeld(link));
    const int other = ::open(pty.SlavePath().c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    ASSERT_GE(other, 0);
    ASSERT_EQ(::flock(other, LOCK_EX | LOCK_NB), 0);
    EXPECT_EQ(second.Open(link.toLocal8Bit().constData(), 9600, 8, NOPARITY, ONESTOPBIT), 0);
    EXPECT_EQ(second.GetLastError(), unsigned(EWOULDBLOCK));
    ::close(other);
    EXPECT_EQ(second.Open(link.toLocal8Bit().constData(), 9600, 8, NOPARITY, ONESTOPBIT), 1);
    EXPECT_EQ(port.Open(pty.SlavePath().c_str(), 9600, 8, NOPARITY, ONESTOPBIT), 0);
    second.Close();
    EXPECT_EQ(port.Open(pty.SlavePath().c_str(), 9600, 8, NOPARITY, ONESTOPBIT), 1);
}

TEST_F(CRS232CtrlOnPty, ReaderQueuesEveryByteWithOneNoticeAndStopsWithoutSpinningWhenTheDeviceGoes)
{
    std::string all;
    for (int b = 0; b < 256; ++b)
        all += static_cast<char>(b);
    pty.Send(all);
    ASSERT_TRUE(WaitFor([&] { return port.m_queue.GetSize() == 256; }));
    ASSERT_TRUE(WaitFor([&] { return owner.Count(Notice::SerialReceived) >= 1; }));
    RunEventsFor(100);
    EXPECT_EQ(owner.Count(Notice::SerialReceived), 1) << "one notice per burst";
    // A port without a ring keeps the bounded queue, and gets no ring while its reader runs.
    EXPECT_EQ(port.bsSetReceiveRing(1 << 20), 0);
    EXPECT_EQ(port.GetLastError(), unsigned(EBUSY));
    EXPECT_EQ(port.GetReceivedSize(), 0);
    QByteArray none;
    EXPECT_EQ(port.TakeReceived(none, 1 << 20), 0);
    EXPECT_TRUE(none.isEmpty());

    pty.CloseMaster(); // the adapter is pulled
    ASSERT_TRUE(WaitFor([&] { return owner.Count(Notice::SerialReceived) == 2; }))
        << "one more notice tells the owner";
    ASSERT_TRUE(WaitFor([&] { return port.bsGetConnectFlag() == 0; }));
    EXPECT_EQ(port.GetLastError(), unsigned(EIO));
    EXPECT_EQ(port.IsValid(), 0);

    EXPECT_LT(CpuSecondsWhileIdle(500), 0.1)
        << "a spinning reader would burn most of the half second";
    RunEventsFor(100);
    EXPECT_EQ(owner.Count(Notice::SerialReceived), 2);
    EXPECT_EQ(TakeAll(port.m_queue), all) << "every value, 0 included, in order";

    char buf[8];
    EXPECT_EQ(port.Read(buf, 8), 0);
    EXPECT_EQ(port.Write("z", 1), 0);
    EXPECT_EQ(port.Close(), 1);
    EXPECT_EQ(port.GetCommHandle(), -1);
}

TEST_F(CRS232CtrlOnPty, ReaderHoldsAChunkThatDoesNotFitForTheOwnerAndThenDropsItWhole)
{
    pty.Send(std::string(4000, 'a'));
    ASSERT_TRUE(WaitFor([&] { return port.m_queue.GetSize() == 4000; }));
    pty.Send(std::string(4000, 'b'));
    ASSERT_TRUE(WaitFor([&] { return port.m_queue.GetSize() == 8000; }));
    ASSERT_TRUE(WaitFor([&] { return owner.Count(Notice::SerialReceived) >= 2; }));

    // Nobody drains: after the reader's short hold the chunk goes.
    int notices = owner.Count(Notice::SerialReceived);
    pty.Send(std::string(200, 'c')); // 8192 - 8000 = 192 is not more than 200
    ASSERT_TRUE(WaitFor([&] { return owner.Count(Notice::SerialReceived) > notices; }))
        << "a burst whose chunk was dropped is still announced";
    EXPECT_EQ(port.m_queue.GetSize(), 8000);

    notices = owner.Count(Notice::SerialReceived);
    pty.Send(std::string(191, 'd')); // 192 > 191
    ASSERT_TRUE(WaitFor([&] { return owner.Count(Notice::SerialReceived) > notices; }));
    EXPECT_EQ(port.m_queue.GetSize(), 8191);

    pty.Send(std::string(300, 'e'));
    // The reader has taken the chunk from the device and holds it, as the queue has no room.
    ASSERT_TRUE(WaitFor([&] { return BytesWaiting(port.GetCommHandle()) == 0; }));
    ASSERT_EQ(port.m_queue.GetSize(), 8191);
    std::string taken = TakeAll(port.m_queue);
    ASSERT_TRUE(WaitFor([&] {
        taken += TakeAll(port.m_queue);
        return taken.size() == 8491;
    })) << "the chunk waited for room instead of being dropped";
    EXPECT_EQ(taken, std::string(4000, 'a') + std::string(4000, 'b') + std::string(191, 'd') +
                         std::string(300, 'e'));
}

TEST_F(CRS232CtrlOnPty, WriteToAFullLineGivesUpAtItsTimeOutOrWhenClosed)
{
    // Nobody reads the master, so the line fills up.
    ASSERT_EQ(port.bsSetWriteTimeouts(0, 50), 1);
    const std::string block(1 << 20, 'w');
    const int partial = port.Write(block.data(), int(block.size()));
    EXPECT_GT(partial, 0);
    EXPECT_LT(partial, int(block.size()));
    EXPECT_EQ(port.IsValid(), 1) << "a time-out is no error";
    // The outcome says that the line cut the write, and how much went.
    for (const std::chrono::milliseconds wait : {0ms, 20ms}) {
        const WriteResult cut = port.WriteWhole("x", 1, wait);
        EXPECT_EQ(cut.status, WriteStatus::TimedOut) << wait.count();
        EXPECT_EQ(cut.nWritten, 0);
        EXPECT_EQ(cut.nError, ETIMEDOUT);
    }

    ASSERT_EQ(port.bsSetWriteTimeouts(0, 60000), 1);
    std::atomic<int> written = -1;
    WriteResult whole;
    std::thread writer([&] {
        whole = port.WriteWhole(block.data(), int(block.size()));
        written = whole.nWritten;
    });
    std::this_thread::sleep_for(300ms);
    EXPECT_EQ(written.load(), -1) << "the writer waits for room";

    QDeadlineTimer generous(10000);
    EXPECT_EQ(port.Close(), 1);
    EXPECT_FALSE(generous.hasExpired()) << "Close did not wait out the 60 s write time-out";
    writer.join();
    EXPECT_EQ(whole.status, WriteStatus::Failed) << "closed under the writer";
    EXPECT_GE(written.load(), 0);
    EXPECT_LT(written.load(), int(block.size()));
    EXPECT_EQ(port.WriteWhole("x", 1).nError, EBADF);
}

TEST(CRS232Ctrl, WithoutAReaderReadTakesWhatIsWaitingAndCommEventsReportIt)
{
    PtyPair pty;
    ScopedEnv com7("TARVEN_COM7", pty.SlavePath().c_str());
    CRS232Ctrl port;
    COMM comm = SerialComm("COM7", 6, 1, 0, 0); // no reader thread to take the bytes first
    ASSERT_EQ(port.Open(&comm), 1);
    char buf[10] = {};
    EXPECT_EQ(port.Read(buf, 10), 0) << "nothing there yet";
    CommWaitRecord record;
    EXPECT_EQ(port.bsWaitCommEvent(), 1);
    EXPECT_EQ(port.GetWaitOverlapped(record), 0);
    EXPECT_TRUE(record.bPending);
    EXPECT_EQ(port.bsCheckForCommEvent(0), 0u);

    pty.Send(std::string("a\0c", 3));
    EXPECT_EQ(port.bsCheckForCommEvent(1), unsigned(EV_RXCHAR));
    port.GetWaitOverlapped(record);
    EXPECT_FALSE(record.bPending);
    EXPECT_EQ(record.dwEventMask, EV_RXCHAR);
    ASSERT_TRUE(WaitFor([&] { return BytesWaiting(port.GetCommHandle()) == 3; }));
    EXPECT_EQ(port.Read(buf, 10), 3);
    EXPECT_EQ(std::string(buf, 3), std::string("a\0c", 3));
    EXPECT_EQ(port.Read(buf, 10), 0);
    EXPECT_EQ(port.bsGetConnectFlag(), 1) << "an empty read is no hang-up";

    EXPECT_EQ(port.bsWaitCommEvent(), 1);
    EXPECT_EQ(port.Write("hello", 5), 5);
    EXPECT_TRUE(port.bsCheckForCommEvent(1) & EV_TXEMPTY);
    EXPECT_EQ(pty.Receive(5, 10s), "hello");
}

TEST_F(CRS232CtrlOnPty, LineSignalsWithoutModemLinesAreHarmlessAndACopyOwnsItsDescriptor)
{
    EXPECT_EQ(port.bsHasModemLines(), 0);
    unsigned status = 0xFFFF;
    const std::pair<const char*, std::function<int()>> calls[] = {
        {"DTR on", [&] { return port.bsSetDtr(1); }},
        {"DTR off", [&] { return port.bsSetDtr(0); }},
        {"RTS on", [&] { return port.bsSetRts(1); }},
        {"break", [&] { return port.bsSendBreak(); }},
        {"status", [&] { return port.bsGetModemStatus(status); }},
        {"watch", [&] { return port.bsWatchModemLines(1); }},
    };
    for (const auto& [name, call] : calls) {
        EXPECT_EQ(call(), 0) << name;
        EXPECT_EQ(port.GetLastError(), unsigned(ENOTTY)) << name;
    }
    EXPECT_EQ(status, 0u);
    CRS232Ctrl closed;
    EXPECT_EQ(closed.bsSetDtr(1), 0);
    EXPECT_EQ(closed.GetLastError(), unsigned(EBADF));

    // The port is as good as before: bytes pass both ways.
    EXPECT_EQ(port.Write("up", 2), 2);
    EXPECT_EQ(pty.Receive(2, 10s), "up");
    port.bsSetWaitCount(5);
    pty.Send("abc");
    ASSERT_TRUE(WaitFor([&] { return port.m_queue.GetSize() == 3; }));

    CRS232Ctrl copy(port);
    CRS232Ctrl assigned;
    assigned = port;
    for (CRS232Ctrl* c : {&copy, &assigned}) {
        EXPECT_GE(c->GetCommHandle(), 0);
        EXPECT_NE(c->GetCommHandle(), port.GetCommHandle());
        EXPECT_EQ(c->bsGetConnectFlag(), 1);
        EXPECT_EQ(c->bsGetWaitCount(), 4);
        EXPECT_EQ(TakeAll(c->m_queue), "abc");
    }
    EXPECT_EQ(port.m_queue.GetSize(), 3) << "the copies took from their own queues";

    port.Close();
    EXPECT_EQ(copy.Write("still", 5), 5) << "closing the original leaves the copy's descriptor";
    EXPECT_EQ(pty.Receive(5, 10s), "still");
    pty.Send("more");
    RunEventsFor(200);
    EXPECT_EQ(copy.m_queue.GetSize(), 0) << "no reader thread fills the copy";
    char buf[8];
    EXPECT_EQ(copy.Read(buf, 8), 4);
    EXPECT_EQ(copy.Close(), 1);
    EXPECT_EQ(assigned.Close(), 1);
}

// The numeric open with a flow control is the monitor's, checked there.
TEST(CRS232Ctrl, FlowControlFromAScriptReachesTheLineSettings)
{
    PtyPair pty;
    const struct
    {
        int32_t code;
        bool opens, rtsCts, xonXoff;
    } cases[] = {{-1, true, false, false},
                 {FLOW_NONE, true, false, false},
                 {FLOW_RTSCTS, true, true, false},
                 {FLOW_XONXOFF, true, false, true},
                 {3, false, false, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code);
        COMM comm = SerialComm("", 6, 1, 0, 0);
        comm.nFlowControl = c.code;
        CRS232Ctrl port;
        ASSERT_EQ(port.Open(&comm, pty.SlavePath().c_str()), c.opens ? 1 : 0);
        if (!c.opens) {
            EXPECT_EQ(port.GetLastError(), unsigned(EINVAL));
            EXPECT_EQ(port.Open(pty.SlavePath().c_str(), 9600, 8, NOPARITY, ONESTOPBIT, 3), 0);
            continue;
        }
        termios tio{};
        ASSERT_EQ(tcgetattr(port.GetCommHandle(), &tio), 0);
        EXPECT_EQ((tio.c_cflag & CRTSCTS) != 0, c.rtsCts);
        EXPECT_EQ((tio.c_iflag & (IXON | IXOFF)) == (IXON | IXOFF), c.xonXoff);
        EXPECT_EQ(tio.c_iflag & IXANY, 0u) << "only XON restarts the output";
        EXPECT_EQ(tio.c_cc[VSTART], c.xonXoff ? 0x11 : 0);
        EXPECT_EQ(tio.c_cc[VSTOP], c.xonXoff ? 0x13 : 0);
        if (c.code != FLOW_NONE)
            continue;
        EXPECT_EQ(port.bsSetFlowControl(FLOW_RTSCTS), 1);
        ASSERT_EQ(tcgetattr(port.GetCommHandle(), &tio), 0);
        EXPECT_NE(tio.c_cflag & CRTSCTS, 0u);
        EXPECT_EQ(port.bsSetFlowControl(7), 0);
        EXPECT_EQ(port.GetLastError(), unsigned(EINVAL));
    }
}

TEST(CRS232Ctrl, XoffFromTheDevicePausesOutputUntilXon)
{
    PtyPair pty;
    CRS232Ctrl port;
    ASSERT_EQ(port.Open(pty.SlavePath().c_str(), 9600, 8, NOPARITY, ONESTOPBIT, FLOW_XONXOFF), 1);
    port.bsSetWriteTimeouts(0, 0); // no time-out: the write waits for XON, however late
    // The byte after XOFF arrives only once the line has taken the XOFF, which it keeps.
    pty.Send("\x13"
             "A");
    ASSERT_TRUE(WaitFor([&] { return port.m_queue.GetSize() >= 1; }));
    EXPECT_EQ(TakeAll(port.m_queue), "A");

    std::atomic<int> written = -1;
    std::thread writer([&] { written = port.Write("data", 4); });
    EXPECT_EQ(pty.Receive(4, 300ms), "") << "XOFF holds the output";
    pty.Send("\x11");
    EXPECT_EQ(pty.Receive(4, 10s), "data");
    writer.join();
    EXPECT_EQ(written, 4);
}
