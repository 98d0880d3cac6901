#include "MonitorTestEnv.h"
#include "PtyPair.h"
#include "ScopedEnv.h"

#include "CRS232Ctrl.h"
#include "TempDir.h"

#include <QElapsedTimer>
#include <QFile>

#include <termios.h>

namespace {

class SerialLinkTest : public MonitorTest
{
protected:
    CTARVENView* OpenOn(const PtyPair& pty)
    {
        SetValue("Interface", 0);
        SetValue("PortName", QString::fromStdString(pty.SlavePath()));
        CTARVENView* view = NewMonitor();
        view->OnPortOpen();
        EXPECT_TRUE(view->IsOnline()) << m_messages.texts.join('\n').toStdString();
        return view;
    }
};

} // namespace

TEST_F(SerialLinkTest, ReceivedBytesAreShownAndCountedWithTheReceiveAttribute)
{
    PtyPair pty;
    CTARVENView* view = OpenOn(pty);
    EXPECT_EQ(Pane(view, 0), "ON-LINE");
    EXPECT_TRUE(Pane(view, 2).startsWith(QString::fromStdString(pty.SlavePath()) + "-9600-8-N-1"));

    pty.Send("hello\r\n");
    ASSERT_TRUE(WaitFor([&] { return view->Received() == 7; }));
    EXPECT_EQ(Shown(*view), "hello\r\n");
    EXPECT_EQ(Attributes(*view), QByteArray(7, 0x32));
    EXPECT_EQ(view->Lines(), view->TextView()->GetLineSize());
    EXPECT_TRUE(WaitFor([&] { return Pane(view, 3).startsWith("I: 7, O: 0, L: "); }));
    EXPECT_NE(Pane(view, 6), "00:00:00");

    // More than the queue and the batch hold at once, in order and complete.
    std::string burst;
    for (int i = 0; i < 20000; ++i)
        burst += char('A' + i % 26);
    pty.Send(burst);
    ASSERT_TRUE(WaitFor([&] { return view->Received() == 7 + qint64(burst.size()); }));
    EXPECT_EQ(Shown(*view).mid(7), QByteArray::fromStdString(burst));
}

TEST_F(SerialLinkTest, NulBytesAreLeftOutOnlyWhenTheSettingIsOff)
{
    const struct
    {
        int nullCheck;
        QByteArray shown;
    } cases[] = {{0, "AB"}, {1, QByteArray("A\0B", 3)}};
    for (const auto& c : cases) {
        SetValue("NullCheckFlag", c.nullCheck);
        PtyPair pty;
        CTARVENView* view = OpenOn(pty);
        pty.Send(std::string("A\0B", 3));
        ASSERT_TRUE(WaitFor([&] { return view->Received() == c.shown.size(); }));
        QTest::qWait(100);
        EXPECT_EQ(view->Received(), c.shown.size()) << "NullCheckFlag " << c.nullCheck;
        EXPECT_EQ(Shown(*view), c.shown) << "NullCheckFlag " << c.nullCheck;
        CloseMonitor(view);
    }
}

TEST_F(SerialLinkTest, PausedWindowDiscardsAndCountsNothing)
{
    PtyPair pty;
    CTARVENView* view = OpenOn(pty);
    view->OnPause();
    EXPECT_EQ(Pane(view, 0), "ON-LINE(Paused)");
    pty.Send("0123456789");
    ASSERT_TRUE(WaitFor([&] { return view->Link()->SerialPort()->m_queue.GetSize() == 0; }));
    QTest::qWait(200);
    view->OnPause();
    EXPECT_EQ(view->Received(), 0);
    EXPECT_TRUE(Shown(*view).isEmpty());

    pty.Send("xyz");
    ASSERT_TRUE(WaitFor([&] { return view->Received() == 3; }));
    EXPECT_EQ(Shown(*view), "xyz");
}

TEST_F(SerialLinkTest, ClearZeroesTheCounters)
{
    PtyPair pty;
    CTARVENView* view = OpenOn(pty);
    pty.Send("xyz");
    ASSERT_TRUE(WaitFor([&] { return view->Received() == 3; }));
    view->OnChar("a");
    ASSERT_EQ(view->Sent(), 1);
    view->OnClear();
    EXPECT_EQ(Pane(view, 3), "I: 0, O: 0, L: 0");
    EXPECT_EQ(view->Received() + view->Sent() + view->Lines(), 0);
    EXPECT_EQ(view->TextView()->GetBufferSize(), 0);
}

TEST_F(SerialLinkTest, TypedBytesGoOutOnThePortWithTheChosenLineEnd)
{
    const struct
    {
        int enterKey;
        std::string sent;
    } cases[] = {{0, "at\r"}, {1, "at\n"}, {2, "at\r\n"}};
    for (const auto& c : cases) {
        SetValue("EnterKey", c.enterKey);
        PtyPair pty;
        CTARVENView* view = OpenOn(pty);
        view->OnChar("at");
        view->OnChar("\r"); // what the terminal gives for Enter
        EXPECT_EQ(pty.Receive(c.sent.size() + 1, std::chrono::milliseconds(300)), c.sent);
        EXPECT_EQ(view->Sent(), qint64(c.sent.size()));
        EXPECT_EQ(Shown(*view), QByteArray::fromStdString(c.sent));
        EXPECT_EQ(Attributes(*view), QByteArray(qsizetype(c.sent.size()), kAttrSent));
        CloseMonitor(view);
    }

    // With echo off typed bytes are still counted but not shown.
    SetValue("Echo", 0);
    PtyPair pty;
    CTARVENView* view = OpenOn(pty);
    view->OnChar("b");
    EXPECT_EQ(pty.Receive(1, std::chrono::seconds(10)), "b");
    EXPECT_EQ(view->Sent(), 1);
    EXPECT_TRUE(Shown(*view).isEmpty());
}

TEST_F(SerialLinkTest, PanelClickGoesOutOnAnOpenPortUncounted)
{
    PtyPair pty;
    CTARVENView* view = OpenOn(pty);
    // Row 4, column 1 of the panel is CR.
    const QPoint cr = view->Panel()->CellRect(4 * 3 + 1).center();
    QTest::mouseClick(view->Panel(), Qt::LeftButton, {}, cr);
    EXPECT_EQ(pty.Receive(1, std::chrono::seconds(10)), "\r");
    EXPECT_EQ(Shown(*view), "\r");
    EXPECT_EQ(Attributes(*view), QByteArray(1, kAttrSent));
    EXPECT_EQ(view->Sent(), 0) << "a click is not counted";
}

TEST_F(SerialLinkTest, PulledDeviceTakesTheWindowOfflineWithoutSpinningAndThePortOpensAgain)
{
    SetValue("AutoReconnect", 0);
    auto pty = std::make_unique<PtyPair>();
    CTARVENView* view = OpenOn(*pty);
    pty->Send("last");
    ASSERT_TRUE(WaitFor([&] { return view->Received() == 4; }));

    pty->CloseMaster();
    ASSERT_TRUE(WaitFor([&] { return !view->IsOnline(); }));
    EXPECT_EQ(view->Link()->SerialPort(), nullptr);
    EXPECT_TRUE(Shown(*view).contains(
        QString("포트 연결이 끊어졌습니다 [%1]").arg(pty->SlavePath().c_str()).toUtf8()));
    EXPECT_EQ(Pane(view, 0), "OFF-LINE");
    EXPECT_TRUE(m_messages.texts.isEmpty()) << "no message box over an unattended window";

    // A quiet window after the loss costs (almost) no processor time.
    EXPECT_LT(CpuSecondsWhileIdle(1000), 0.5);

    // Typing into the offline window sends, shows and counts nothing.
    const QByteArray shown = Shown(*view);
    view->OnChar("q");
    EXPECT_EQ(view->Sent(), 0);
    EXPECT_EQ(Shown(*view), shown);

    PtyPair back;
    SetValue("PortName", QString::fromStdString(back.SlavePath()));
    view->LoadLinkSettings();
    view->OnPortOpen();
    ASSERT_TRUE(view->IsOnline());
    back.Send("again");
    ASSERT_TRUE(WaitFor([&] { return view->Received() == 9; }));
}

TEST_F(SerialLinkTest, OpenFailuresNameThePortWithItsDeviceAndTheReasonInKorean)
{
    ScopedEnv com7("TARVEN_COM7", "/dev/tarven-no-such-device");
    PtyPair pty;
    const QString busy = QString::fromStdString(pty.SlavePath());
    CTARVENView* holder = OpenOn(pty);
    const struct
    {
        QString portName;
        QString message;
    } cases[] = {
        {"/dev/tarven-no-such-device",
         "통신포트 연결에 실패하였습니다. [/dev/tarven-no-such-device]\n해당 파일이나 장치가 "
         "없습니다"},
        {"COM7", "통신포트 연결에 실패하였습니다. [COM7 → /dev/tarven-no-such-device]\n해당 "
                 "파일이나 장치가 없습니다"},
        // A second window on a device in use would split its data with the first.
        {busy, "이미 다른 창에서 사용중인 포트입니다: " + busy},
    };
    for (const auto& c : cases) {
        m_messages.texts.clear();
        SetValue("PortName", c.portName);
        CTARVENView* view = NewMonitor();
        view->OnPortOpen();
        EXPECT_FALSE(view->IsOnline());
        EXPECT_EQ(view->Link()->SerialPort(), nullptr);
        EXPECT_EQ(m_messages.texts, QStringList{c.message});
        CloseMonitor(view);
    }
    EXPECT_TRUE(holder->IsOnline());
}

TEST_F(SerialLinkTest, StoredSpeedIndexOpensAtItsRateOnce)
{
    // A stored speed index opens at its rate; a second open of an open port does nothing.
    PtyPair pty;
    SetValue("Interface", 0);
    SetValue("PortName", QString::fromStdString(pty.SlavePath()));
    SetValue("BaudRate", 9);
    CTARVENView* view = NewMonitor();
    view->OnPortOpen();
    ASSERT_TRUE(view->IsOnline());
    CRS232Ctrl* port = view->Link()->SerialPort();
    termios settings{};
    ASSERT_EQ(tcgetattr(port->GetCommHandle(), &settings), 0);
    EXPECT_EQ(cfgetispeed(&settings), speed_t(B38400));
    view->OnPortOpen();
    EXPECT_EQ(view->Link()->SerialPort(), port);
}

TEST_F(SerialLinkTest, PulledDeviceIsWaitedForAndTheWindowIsOnlineAgainWhenItIsBack)
{
    TempDir dir;
    const QString name = dir.Path("usb-Bench_Adapter-if00"); // as a /dev/serial/by-id link
    auto pty = std::make_unique<PtyPair>();
    ASSERT_TRUE(QFile::link(QString::fromStdString(pty->SlavePath()), name));
    SetValue("Interface", 0);
    SetValue("PortName", name);
    SetValue("FlowControl", FLOW_XONXOFF);
    CTARVENView* view = NewMonitor();
    std::vector<bool> onlineChanges;
    QObject::connect(view->Link(), &CMonitorLink::onlineChanged,
                     [&](bool online) { onlineChanges.push_back(online); });
    view->OnPortOpen();
    ASSERT_TRUE(view->IsOnline());
    CRS232Ctrl* port = view->Link()->SerialPort();

    // Pulled as the system pulls a device: it goes, and so does its stable name (another
    // device may get its number meanwhile, as other tests' pseudo-terminals do).
    const auto pull = [&] {
        pty->CloseMaster();
        ASSERT_TRUE(QFile::remove(name));
    };
    const auto bringBack = [&] {
        pty = std::make_unique<PtyPair>();
        ASSERT_TRUE(QFile::link(QString::fromStdString(pty->SlavePath()), name));
    };

    // Pulled: the window keeps its port and settings and says that it waits, at once.
    for (int round = 0; round < 2; ++round) {
        pull();
        ASSERT_TRUE(WaitFor([&] { return view->Link()->IsReconnecting(); }));
        EXPECT_FALSE(view->IsOnline());
        EXPECT_EQ(Pane(view, 0), "재연결 대기중...");
        EXPECT_TRUE(Shown(*view).endsWith("재연결 대기중...\r\n"));
        EXPECT_TRUE(m_messages.texts.isEmpty()) << "no message box over an unattended window";
        view->OnPause();
        EXPECT_EQ(Pane(view, 0), "재연결 대기중...(Paused)");
        view->OnPause();
        RunEventsFor(2 * kReopenRetryMs); // tries that find nothing change nothing
        EXPECT_TRUE(view->Link()->IsReconnecting());
        const qint64 sent = view->Sent();
        view->OnChar("lost");
        EXPECT_EQ(view->Sent(), sent) << "nothing goes out while the device is away";

        // Back as another pseudo-terminal under the same name.
        bringBack();
        QElapsedTimer back;
        back.start();
        ASSERT_TRUE(WaitFor([&] { return view->IsOnline(); }));
        const qint64 backMs = back.elapsed();
        std::printf("round %d: ON-LINE %lld ms after the device came back\n", round,
                    static_cast<long long>(backMs));
        EXPECT_LT(backMs, 1000);
        EXPECT_FALSE(view->Link()->IsReconnecting());
        EXPECT_EQ(view->Link()->SerialPort(), port);
        EXPECT_EQ(Pane(view, 0), "ON-LINE");
        EXPECT_TRUE(Shown(*view).contains(
            QString("포트가 다시 연결되었습니다 [%1] (끊긴 시간 ").arg(name).toUtf8()));

        // With the same settings, receiving and sending.
        termios tio{};
        ASSERT_EQ(tcgetattr(port->GetCommHandle(), &tio), 0);
        EXPECT_EQ(tio.c_iflag & (IXON | IXOFF), tcflag_t(IXON | IXOFF));
        const qint64 received = view->Received();
        pty->Send("again");
        ASSERT_TRUE(WaitFor([&] { return view->Received() == received + 5; }));
        EXPECT_TRUE(Shown(*view).endsWith("again"));
        view->OnChar("up");
        EXPECT_EQ(pty->Receive(2, std::chrono::seconds(10)), "up");
    }
    // Each return is told as online, so that what watches the port is set up again.
    EXPECT_EQ(onlineChanges, (std::vector<bool>{true, false, true, false, true}));

    // Closing the port ends the wait: a device that comes back stays closed.
    pull();
    ASSERT_TRUE(WaitFor([&] { return view->Link()->IsReconnecting(); }));
    view->OnPortClose();
    EXPECT_FALSE(view->Link()->IsReconnecting());
    EXPECT_EQ(view->Link()->SerialPort(), nullptr);
    EXPECT_EQ(Pane(view, 0), "OFF-LINE");
    bringBack();
    RunEventsFor(2 * kReopenRetryMs);
    EXPECT_FALSE(view->IsOnline());

    // Closing the window ends it too.
    view->OnPortOpen();
    ASSERT_TRUE(view->IsOnline());
    pull();
    ASSERT_TRUE(WaitFor([&] { return view->Link()->IsReconnecting(); }));
    CloseMonitor(view);
    RunEventsFor(2 * kReopenRetryMs);
}

TEST_F(SerialLinkTest, StoredFlowControlReachesTheLine)
{
    const struct
    {
        QVariant stored;
        tcflag_t cflag, iflag;
    } cases[] = {{QVariant(), 0, 0},
                 {FLOW_NONE, 0, 0},
                 {FLOW_RTSCTS, CRTSCTS, 0},
                 {FLOW_XONXOFF, 0, IXON | IXOFF}};
    for (const auto& c : cases) {
        QSettings(kCompanyName, kApplicationName).remove("TARVEN/FlowControl");
        if (c.stored.isValid())
            SetValue("FlowControl", c.stored);
        PtyPair pty;
        CTARVENView* view = OpenOn(pty);
        termios tio{};
        ASSERT_EQ(tcgetattr(view->Link()->SerialPort()->GetCommHandle(), &tio), 0);
        EXPECT_EQ(tio.c_cflag & CRTSCTS, c.cflag) << c.stored.toString().toStdString();
        EXPECT_EQ(tio.c_iflag & (IXON | IXOFF), c.iflag) << c.stored.toString().toStdString();
        CloseMonitor(view);
    }
}
