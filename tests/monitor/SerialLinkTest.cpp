#include "LinkObjects.h"
#include "MonitorTestEnv.h"
#include "ScopedEnv.h"

#include "CLineSignals.h"
#include "CMonitorCommands.h"
#include "CPaneIndicator.h"
#include "CRS232Ctrl.h"
#include "CommandIds.h"
#include "TempDir.h"

#include <QAction>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QToolBar>

#include <termios.h>

using namespace std::chrono_literals;
using SerialLinkTest = MonitorTest;

TEST_F(SerialLinkTest, ReceivedBytesAreShownCountedAndStampedAndNulsFollowTheSetting)
{
    SetValue("ShowTimeStamp", 1);
    const struct
    {
        int nullCheck;
        QByteArray shown;
    } cases[] = {{0, "AB"}, {1, QByteArray("A\0B", 3)}};
    for (const auto& c : cases) {
        SetValue("NullCheckFlag", c.nullCheck);
        PtyPair pty;
        CTARVENView* view = OpenSerial(pty);
        EXPECT_EQ(Pane(view, 0), "ON-LINE");
        EXPECT_TRUE(
            Pane(view, 2).startsWith(QString::fromStdString(pty.SlavePath()) + "-9600-8-N-1"));
        const QTime before = QTime::currentTime();
        pty.Send(std::string("A\0B", 3));
        ASSERT_TRUE(WaitFor([&] { return view->Received() == c.shown.size(); }));
        const QTime after = QTime::currentTime();
        // The bytes carry their arrival time.
        const std::vector<ArrivalStamp> stamps = view->TextView()->ArrivalStamps();
        ASSERT_EQ(stamps.size(), 1u);
        EXPECT_GE(stamps[0].msOfDay, before.msecsSinceStartOfDay());
        EXPECT_LE(stamps[0].msOfDay, after.msecsSinceStartOfDay());
        if (c.nullCheck == 0) {
            EXPECT_TRUE(view->TextView()->ShownRowText(0).endsWith("] AB"));
        }
        QTest::qWait(100);
        EXPECT_EQ(view->Received(), c.shown.size()) << "NullCheckFlag " << c.nullCheck;
        EXPECT_EQ(Shown(*view), c.shown) << "NullCheckFlag " << c.nullCheck;
        pty.Send("\r\n");
        ASSERT_TRUE(WaitFor([&] { return view->Received() == c.shown.size() + 2; }));
        EXPECT_EQ(Attributes(*view), QByteArray(c.shown.size() + 2, kAttrReceived));
        EXPECT_EQ(view->Lines(), view->TextView()->GetLineSize());
        const QString counts = QString("I: %1, O: 0, L: ").arg(c.shown.size() + 2);
        EXPECT_TRUE(WaitFor([&] { return Pane(view, 3).startsWith(counts); }));
        EXPECT_NE(Pane(view, 6), "00:00:00");
        CloseMonitor(view);
    }
}

TEST_F(SerialLinkTest, PausedOrDivertedBytesAreNotShownAndClearZeroesTheCounters)
{
    SetValue("NullCheckFlag", 0);
    PtyPair pty;
    CTARVENView* view = OpenSerial(pty);
    view->OnPause();
    EXPECT_EQ(Pane(view, 0), "ON-LINE(Paused)");
    pty.Send("0123456789");
    ASSERT_TRUE(WaitFor([&] { return SerialPortOf(view->Link())->m_queue.GetSize() == 0; }));
    QTest::qWait(200);
    view->OnPause();
    EXPECT_EQ(view->Received(), 0);
    EXPECT_TRUE(Shown(*view).isEmpty());

    pty.Send("xyz");
    ASSERT_TRUE(WaitFor([&] { return view->Received() == 3; }));
    EXPECT_EQ(Shown(*view), "xyz");
    view->OnChar("a");
    ASSERT_EQ(view->Sent(), 1);
    view->OnClear();
    EXPECT_EQ(Pane(view, 3), "I: 0, O: 0, L: 0");
    EXPECT_EQ(view->Received() + view->Sent() + view->Lines(), 0);
    EXPECT_EQ(view->TextView()->GetBufferSize(), 0);

    // Bytes diverted to a transfer reach it whole, NULs too, and are not shown until released.
    QByteArray diverted;
    view->Link()->DivertReceived([&](const QByteArray& bytes) { diverted += bytes; });
    const std::string protocol("\x18\0B0\0", 5);
    pty.Send(protocol);
    ASSERT_TRUE(WaitFor([&] { return diverted.size() == 5; }));
    EXPECT_EQ(diverted, QByteArray(protocol.data(), 5));
    EXPECT_TRUE(Shown(*view).isEmpty());
    view->Link()->DivertReceived({});
    pty.Send("ok");
    ASSERT_TRUE(WaitFor([&] { return Shown(*view) == "ok"; }));
    EXPECT_EQ(diverted.size(), 5);
}

TEST_F(SerialLinkTest, TypedBytesGoOutWithTheChosenLineEndAndPanelClicksUncounted)
{
    // With echo off typed bytes are still counted but not shown.
    const struct
    {
        int enterKey, echo;
        std::string sent;
    } cases[] = {{0, 1, "at\r"}, {1, 1, "at\n"}, {2, 1, "at\r\n"}, {0, 0, "at\r"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "EnterKey " << c.enterKey << ", Echo " << c.echo);
        SetValue("EnterKey", c.enterKey);
        SetValue("Echo", c.echo);
        PtyPair pty;
        CTARVENView* view = OpenSerial(pty);
        // Row 4, column 1 of the panel is CR: sent as it is and shown, but not counted.
        QTest::mouseClick(view->Panel(), Qt::LeftButton, {}, view->Panel()->CellRect(13).center());
        view->OnChar("at");
        view->OnChar("\r"); // what the terminal gives for Enter
        const std::string all = "\r" + c.sent;
        EXPECT_EQ(pty.Receive(all.size() + 1, 300ms), all);
        EXPECT_EQ(view->Sent(), qint64(c.sent.size())) << "a click is not counted";
        const QByteArray shown = c.echo != 0 ? QByteArray::fromStdString(all) : QByteArray();
        EXPECT_EQ(Shown(*view), shown);
        EXPECT_EQ(Attributes(*view), QByteArray(shown.size(), kAttrSent));
        CloseMonitor(view);
    }
}

TEST_F(SerialLinkTest, AStalledLineToldOnceABurstWhatItDidNotTake)
{
    // Nobody reads the master: what the line does not take in the write time-out is told.
    SetValue("Echo", 0);
    PtyPair pty;
    CTARVENView* view = OpenSerial(pty);
    CMonitorLink* link = view->Link();
    ASSERT_EQ(SerialPortOf(link)->bsSetWriteTimeouts(0, 50), 1);
    const QByteArray block(1 << 20, 'w');
    const int taken = link->Send(block);
    EXPECT_GT(taken, 0);
    EXPECT_LT(taken, block.size());
    // While the line stays full a send is not waited for again, even without a time-out.
    ASSERT_EQ(SerialPortOf(link)->bsSetWriteTimeouts(0, 0), 1);
    EXPECT_EQ(link->Send("more"), 0) << "the line is still full";
    EXPECT_EQ(view->Sent(), taken);
    EXPECT_EQ(link->UnsentSends(), 2);
    const qint64 unsent = block.size() - taken + 4;
    EXPECT_EQ(link->UnsentBytes(), unsent);

    const QByteArray notice = QString("\r\n%1에 보내지 못한 바이트: %2 (쓰기 시간초과) ...\r\n")
                                  .arg(QString::fromStdString(pty.SlavePath()))
                                  .arg(unsent)
                                  .toUtf8();
    ASSERT_TRUE(WaitFor([&] { return Shown(*view).contains(notice); }))
        << Shown(*view).toStdString();
    EXPECT_EQ(Shown(*view), notice) << "one notice for the burst";
    EXPECT_TRUE(view->IsOnline()) << "a slow line is no failed port";
}

TEST_F(SerialLinkTest, OpenFailuresNameThePortWithItsDeviceAndTheReasonInKorean)
{
    ScopedEnv com7("TARVEN_COM7", "/dev/tarven-no-such-device");
    PtyPair pty;
    const QString busy = QString::fromStdString(pty.SlavePath());
    CTARVENView* holder = OpenSerial(pty);
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
        EXPECT_EQ(SerialPortOf(view->Link()), nullptr);
        EXPECT_EQ(m_messages.texts, QStringList{c.message});
        CloseMonitor(view);
    }
    EXPECT_TRUE(holder->IsOnline());
}

TEST_F(SerialLinkTest, StoredSpeedAndFlowControlReachTheLineOnce)
{
    const struct
    {
        QVariant baud, flow;
        speed_t speed;
        tcflag_t cflag, iflag;
    } cases[] = {{QVariant(), QVariant(), B9600, 0, 0},
                 {9, FLOW_NONE, B38400, 0, 0},
                 {6, FLOW_RTSCTS, B9600, CRTSCTS, 0},
                 {6, FLOW_XONXOFF, B9600, 0, IXON | IXOFF}};
    for (const auto& c : cases) {
        QSettings stored(kCompanyName, kApplicationName);
        for (const auto& [key, value] :
             {std::pair{"TARVEN/BaudRate", c.baud}, {"TARVEN/FlowControl", c.flow}}) {
            if (value.isValid())
                stored.setValue(key, value);
            else
                stored.remove(key);
        }
        PtyPair pty;
        CTARVENView* view = OpenSerial(pty);
        CRS232Ctrl* port = SerialPortOf(view->Link());
        termios tio{};
        ASSERT_EQ(tcgetattr(port->GetCommHandle(), &tio), 0);
        const std::string name = c.flow.toString().toStdString();
        EXPECT_EQ(cfgetispeed(&tio), c.speed) << name;
        EXPECT_EQ(tio.c_cflag & CRTSCTS, c.cflag) << name;
        EXPECT_EQ(tio.c_iflag & (IXON | IXOFF), c.iflag) << name;
        view->OnPortOpen(); // a second open of an open port does nothing
        EXPECT_EQ(SerialPortOf(view->Link()), port);
        CloseMonitor(view);
    }
}

TEST_F(SerialLinkTest, PulledDeviceTakesTheWindowOfflineOrIsWaitedForUntilItIsBack)
{
    TempDir dir;
    const QString name = dir.Path("usb-Bench_Adapter-if00"); // as a /dev/serial/by-id link
    std::unique_ptr<PtyPair> pty;
    // Pulled as the system does: the device and its stable name go (its number may be reused).
    const auto pull = [&] {
        pty->CloseMaster();
        ASSERT_TRUE(QFile::remove(name));
    };
    const auto bringBack = [&] {
        pty = std::make_unique<PtyPair>();
        ASSERT_TRUE(QFile::link(QString::fromStdString(pty->SlavePath()), name));
    };
    bringBack();
    SetValue("Interface", 0);
    SetValue("PortName", name);
    SetValue("FlowControl", FLOW_XONXOFF);
    SetValue("AutoReconnect", 0);
    CTARVENView* view = NewMonitor();
    std::vector<bool> onlineChanges;
    QObject::connect(view->Link(), &CMonitorLink::onlineChanged,
                     [&](bool online) { onlineChanges.push_back(online); });
    view->OnPortOpen();
    ASSERT_TRUE(view->IsOnline());

    // Without auto-reconnect the window goes offline, says so, and idles without spinning.
    pty->Send("last");
    ASSERT_TRUE(WaitFor([&] { return view->Received() == 4; }));
    pull();
    ASSERT_TRUE(WaitFor([&] { return !view->IsOnline(); }));
    EXPECT_EQ(SerialPortOf(view->Link()), nullptr);
    EXPECT_TRUE(Shown(*view).contains(QString("포트 연결이 끊어졌습니다 [%1]").arg(name).toUtf8()));
    EXPECT_EQ(Pane(view, 0), "OFF-LINE");
    EXPECT_TRUE(m_messages.texts.isEmpty()) << "no message box over an unattended window";
    EXPECT_LT(CpuSecondsWhileIdle(1000), 0.5);
    // Opened again with the settings read anew, auto-reconnect on.
    bringBack();
    SetValue("AutoReconnect", 1);
    view->LoadLinkSettings();
    view->OnPortOpen();
    ASSERT_TRUE(view->IsOnline());
    pty->Send("back");
    ASSERT_TRUE(WaitFor([&] { return view->Received() == 8; }));
    CRS232Ctrl* port = SerialPortOf(view->Link());

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
        EXPECT_EQ(SerialPortOf(view->Link()), port);
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
        EXPECT_EQ(pty->Receive(2, 10s), "up");
    }
    // Each return is told as online, so that what watches the port is set up again.
    EXPECT_EQ(onlineChanges, (std::vector<bool>{true, false, true, false, true, false, true}));

    // Closing the port ends the wait: a device that comes back stays closed.
    pull();
    ASSERT_TRUE(WaitFor([&] { return view->Link()->IsReconnecting(); }));
    view->OnPortClose();
    EXPECT_FALSE(view->Link()->IsReconnecting());
    EXPECT_EQ(SerialPortOf(view->Link()), nullptr);
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

namespace {

// Whether each input line is greyed with tip and unlit.
void ExpectLinesGreyed(const CTARVENView* view, const QString& tip)
{
    for (int i = 0; i < kModemLinePanes; ++i) {
        const CPaneIndicator* pane = view->StatusBar()->LinePane(i);
        EXPECT_TRUE(pane->IsUnavailable()) << pane->Text().toStdString();
        EXPECT_FALSE(pane->IsLit()) << pane->Text().toStdString();
        EXPECT_EQ(pane->toolTip(), tip) << pane->Text().toStdString();
    }
}

} // namespace

TEST_F(SerialLinkTest, PseudoTerminalGreysTheLinesAndTheCommandsAreHarmless)
{
    PtyPair pty;
    SetValue("PortName", QString::fromStdString(pty.SlavePath()));
    CTARVENView* view = NewMonitor();
    ExpectLinesGreyed(view, "OFF-LINE");
    QStringList texts;
    for (int i = 0; i < kModemLinePanes + 3; ++i)
        texts << Pane(view, i + 4);
    EXPECT_EQ(texts, QStringList({"Tx", "Rx", "00:00:00", "CTS", "DSR", "DCD", "RI"}));

    view->OnPortOpen();
    ASSERT_TRUE(view->IsOnline());
    EXPECT_EQ(SerialPortOf(view->Link())->bsHasModemLines(), 0);
    EXPECT_FALSE(view->LineSignals()->HasLineSignals());
    ExpectLinesGreyed(view, "지원되지 않음");
    const auto* window = qobject_cast<const CMonitorWindow*>(view->parentWidget());
    ASSERT_NE(window, nullptr);
    for (int id : {ID_LINE_DTR, ID_LINE_RTS, ID_LINE_BREAK, ID_VIEW_TIMESTAMP}) {
        const auto* button = window->ToolBar()->findChild<QAction*>(QString::number(id));
        ASSERT_NE(button, nullptr) << id;
        EXPECT_EQ(button->isEnabled(), id == ID_VIEW_TIMESTAMP) << id;
        EXPECT_FALSE(button->isChecked()) << id;
    }

    // Commands and a line report reaching the view anyway change, say and send nothing.
    view->LineSignals()->OnDtr();
    view->LineSignals()->OnRts();
    view->LineSignals()->OnBreak();
    emit SerialPortOf(view->Link())->Notifier()->modemLinesChanged(MS_CTS_ON | MS_RING_ON);
    QCoreApplication::processEvents();
    EXPECT_TRUE(view->LineSignals()->IsDtrOn());
    EXPECT_TRUE(view->LineSignals()->IsRtsOn());
    ExpectLinesGreyed(view, "지원되지 않음");
    EXPECT_TRUE(m_messages.texts.isEmpty()) << m_messages.texts.join('\n').toStdString();
    EXPECT_EQ(view->TextView()->GetBufferSize(), 0) << "no notice either";
    view->OnChar("z");
    EXPECT_EQ(pty.Receive(1, 10s), "z") << "the first byte at the far end is the typed one";

    // Each time the link comes on-line the lines are looked at again.
    view->OnPortClose();
    ExpectLinesGreyed(view, "OFF-LINE");
    view->OnPortOpen();
    ASSERT_TRUE(view->IsOnline());
    ExpectLinesGreyed(view, "지원되지 않음");

    // A port with modem lines is not here: the bar is driven as the view drives it.
    CMonitorStatusBar* bar = view->StatusBar();
    bar->SetModemLinesUnavailable(QString());
    const struct
    {
        unsigned status;
        QList<bool> lit; // CTS, DSR, DCD, RI
    } cases[] = {
        {0, {false, false, false, false}},
        {MS_CTS_ON, {true, false, false, false}},
        {MS_DSR_ON | MS_RLSD_ON, {false, true, true, false}},
        {MS_RING_ON | MS_DTR_ON | MS_RTS_ON, {false, false, false, true}},
        {MS_CTS_ON | MS_DSR_ON | MS_RING_ON | MS_RLSD_ON, {true, true, true, true}},
    };
    for (const auto& c : cases) {
        bar->SetModemLines(c.status);
        QList<bool> lit;
        for (int i = 0; i < kModemLinePanes; ++i)
            lit << bar->LinePane(i)->IsLit();
        EXPECT_EQ(lit, c.lit) << "status " << c.status;
    }
    EXPECT_EQ(bar->LinePane(0)->toolTip(), "CTS (Clear To Send)");
    // Greyed lines are never lit, whatever was reported last.
    bar->SetModemLinesUnavailable(QStringLiteral("지원되지 않음"));
    ExpectLinesGreyed(view, "지원되지 않음");
}
