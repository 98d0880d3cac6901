#include "MonitorTestEnv.h"
#include "PtyPair.h"

#include "CRS232Ctrl.h"

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
    view->OnClear();
    EXPECT_EQ(Pane(view, 3), "I: 0, O: 0, L: 0");
    EXPECT_EQ(view->Received() + view->Sent() + view->Lines(), 0);
    EXPECT_EQ(view->TextView()->GetBufferSize(), 0);
}

TEST_F(SerialLinkTest, TypedBytesGoOutOnThePort)
{
    PtyPair pty;
    CTARVENView* view = OpenOn(pty);
    view->OnChar("at");
    EXPECT_EQ(pty.Receive(2, std::chrono::seconds(10)), "at");
    EXPECT_EQ(view->Sent(), 2);
}

TEST_F(SerialLinkTest, PanelClickGoesOutOnAnOpenPortUncounted)
{
    PtyPair pty;
    CTARVENView* view = OpenOn(pty);
    // Row 4, column 1 of the panel is CR.
    const QPoint cr = view->Panel()->CellRect(4 * 3 + 1).center();
    QTest::mouseClick(view->Panel(), Qt::LeftButton, {}, cr);
    EXPECT_EQ(pty.Receive(1, std::chrono::seconds(10)), "\r");
    EXPECT_EQ(view->Sent(), 0) << "a click is not counted";
}

TEST_F(SerialLinkTest, PulledDeviceTakesTheWindowOfflineWithoutSpinningAndThePortOpensAgain)
{
    auto pty = std::make_unique<PtyPair>();
    CTARVENView* view = OpenOn(*pty);
    pty->Send("last");
    ASSERT_TRUE(WaitFor([&] { return view->Received() == 4; }));

    pty->CloseMaster();
    ASSERT_TRUE(WaitFor([&] { return !view->IsOnline(); }));
    EXPECT_EQ(view->Link()->SerialPort(), nullptr);
    EXPECT_TRUE(Shown(*view).contains("Port lost"));
    EXPECT_EQ(Pane(view, 0), "OFF-LINE");
    EXPECT_TRUE(m_messages.texts.isEmpty()) << "no message box over an unattended window";

    // A quiet window after the loss costs (almost) no processor time.
    EXPECT_LT(CpuSecondsWhileIdle(1000), 0.5);

    // Typing into the offline window only echoes and counts.
    view->OnChar("q");
    EXPECT_EQ(view->Sent(), 1);

    PtyPair back;
    SetValue("PortName", QString::fromStdString(back.SlavePath()));
    view->LoadLinkSettings();
    view->OnPortOpen();
    ASSERT_TRUE(view->IsOnline());
    back.Send("again");
    ASSERT_TRUE(WaitFor([&] { return view->Received() == 9; }));
}

TEST_F(SerialLinkTest, OpenFailureNamesThePortAndLeavesNoPortBehind)
{
    SetValue("Interface", 0);
    SetValue("PortName", "/dev/tarven-no-such-device");
    CTARVENView* view = NewMonitor();
    view->OnPortOpen();
    EXPECT_FALSE(view->IsOnline());
    EXPECT_EQ(view->Link()->SerialPort(), nullptr);
    ASSERT_EQ(m_messages.texts.size(), 1);
    EXPECT_TRUE(m_messages.texts[0].startsWith(
        "통신포트 연결에 실패하였습니다. [/dev/tarven-no-such-device]"));
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
