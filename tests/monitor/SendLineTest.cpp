// A monitor's send line, and the 보기 menu items of its panels.
#include "LinkMonitorTest.h"
#include "MonitorAppTest.h"

#include "CAutoReplyPanel.h"
#include "CSendLine.h"
#include "CommandIds.h"
#include "UdpPeer.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>

using namespace std::chrono_literals;

namespace {

class SendLineTest : public LinkMonitorTest
{
protected:
    static CSendLine* ShowLine(CTARVENView* view)
    {
        CMonitorWindow* window = WindowOf(view);
        if (!window->IsSendLineShown())
            window->OnToggleSendLine();
        EXPECT_TRUE(window->IsSendLineShown());
        return window->SendLine();
    }

    // Types text into the line as Enter finds it.
    static void Enter(CSendLine* line, const QString& text)
    {
        line->Editor()->setText(text);
        QTest::keyClick(line->Editor(), Qt::Key_Return);
    }

    static void Key(CSendLine* line, Qt::Key key, Qt::KeyboardModifiers modifiers = {})
    {
        QTest::keyClick(line->Editor(), key, modifiers);
    }
};

class PanelMenuTest : public MonitorAppTest
{};

} // namespace

TEST_F(SendLineTest, EnterSendsTheLineWithItsEndingByteExactAndEchoedAndCounted)
{
    SetValue("RecvEncoding", int(TextEncoding::Cp949));
    PtyPair pty;
    CTARVENView* view = OpenSerial(pty);
    CSendLine* line = ShowLine(view);
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(line->Mode(), SendLineMode::Text);
    EXPECT_EQ(line->Ending(), LineEnding::CrLf) << "most bench devices take CR LF";

    const struct
    {
        SendLineMode mode;
        LineEnding ending;
        QString text;
        std::string expected;
    } cases[] = {
        {SendLineMode::Text, LineEnding::None, "AT", "AT"},
        {SendLineMode::Text, LineEnding::Cr, "AT+GMR", "AT+GMR\r"},
        {SendLineMode::Text, LineEnding::Lf, "*IDN?", "*IDN?\n"},
        {SendLineMode::Text, LineEnding::CrLf, "MEAS<3A>VOLT<<1>>", "MEAS:VOLT<1>\r\n"},
        {SendLineMode::Text, LineEnding::CrLf, "", "\r\n"},
        {SendLineMode::Text, LineEnding::Cr, "가 = ok", "\xB0\xA1 = ok\r"},
        // A whole Modbus RTU request: the CRC of the bytes before the token, low byte first.
        {SendLineMode::Text, LineEnding::None, "<01><03><00><00><00><0A><CRC16>",
         std::string("\x01\x03\x00\x00\x00\x0A\xC5\xCD", 8)},
        {SendLineMode::Hex, LineEnding::None, "01 03 00 00 00 0A <CRC16>",
         std::string("\x01\x03\x00\x00\x00\x0A\xC5\xCD", 8)},
        {SendLineMode::Hex, LineEnding::CrLf, "0d0A41  42\t7e", "\r\nAB~\r\n"},
        {SendLineMode::Hex, LineEnding::None, "3A 30 31 <LRC>", ":01e"},
        {SendLineMode::Hex, LineEnding::None, "00 FF", std::string("\x00\xFF", 2)},
    };
    qint64 sent = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        line->SetMode(c.mode);
        line->SetEnding(c.ending);
        const QByteArray shownBefore = Shown(*view);
        Enter(line, c.text);
        EXPECT_EQ(pty.Receive(c.expected.size(), 10s), c.expected);
        EXPECT_EQ(line->Message(), "");
        sent += qint64(c.expected.size());
        EXPECT_EQ(view->Sent(), sent);
        EXPECT_EQ(Shown(*view).mid(shownBefore.size()), QByteArray::fromStdString(c.expected));
        // Kept and selected: Enter again sends it again, typing replaces it.
        EXPECT_EQ(line->Editor()->text(), c.text);
        EXPECT_EQ(line->Editor()->selectedText(), c.text);
    }
    Key(line, Qt::Key_Return);
    EXPECT_EQ(pty.Receive(2, 10s), std::string("\x00\xFF", 2));
    QTest::keyClicks(line->Editor(), "7E");
    Key(line, Qt::Key_Return);
    EXPECT_EQ(pty.Receive(1, 10s), "~");

    // The button sends as Enter does; the line ending and mode are kept for the next window.
    line->SetMode(SendLineMode::Text);
    line->SetEnding(LineEnding::Lf);
    line->Editor()->setText("btn");
    QTest::mouseClick(line->findChild<QPushButton*>("SendLineSend"), Qt::LeftButton);
    EXPECT_EQ(pty.Receive(4, 10s), "btn\n");
    CSendLine* next = ShowLine(NewMonitor(QStringLiteral("Tvn2")));
    EXPECT_EQ(next->Mode(), SendLineMode::Text);
    EXPECT_EQ(next->Ending(), LineEnding::Lf);
    next->SetMode(SendLineMode::Hex);
    EXPECT_EQ(next->Ending(), LineEnding::None) << "the hex ending was left at none";
}

TEST_F(SendLineTest, AFaultyLineOrALinkThatIsDownSendsNothingAndSaysWhere)
{
    SetValue("RecvEncoding", int(TextEncoding::Cp949));
    PtyPair pty;
    CTARVENView* offline = NewMonitor(QStringLiteral("Offline"));
    CSendLine* idle = ShowLine(offline);
    Enter(idle, "AT");
    EXPECT_TRUE(idle->Message().contains("연결되어 있지 않아")) << idle->Message().toStdString();
    EXPECT_EQ(idle->Editor()->text(), "AT");
    EXPECT_EQ(offline->Sent(), 0);

    CTARVENView* view = OpenSerial(pty);
    CSendLine* line = ShowLine(view);
    const struct
    {
        SendLineMode mode;
        QString text;
        int column;
        const char* says;
    } cases[] = {
        {SendLineMode::Text, "AB<0G>", 3, "3열('<')"},
        {SendLineMode::Text, "x>>>y", 4, "4열('>')"},
        {SendLineMode::Text, "<0D><0A", 5, "5열('<')"},
        {SendLineMode::Text, "<CRC16", 1, "1열('<')"},
        {SendLineMode::Text, "<crc16>", 1, "제어코드 표기"},
        {SendLineMode::Text, "ok 😀", 4, "4열의 '😀' 문자는 CP949"},
        {SendLineMode::Hex, "0D 0A 4", 7, "7열('4')"},
        {SendLineMode::Hex, "0D G1", 4, "4열('G')"},
        {SendLineMode::Hex, "0 D", 1, "1열('0')"},
        {SendLineMode::Hex, "0D <CRC9> 0A", 4, "4열('<')"},
        {SendLineMode::Hex, "0x0D", 1, "16진수는"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        line->SetMode(c.mode);
        Enter(line, c.text);
        EXPECT_TRUE(line->Message().contains(QString::fromUtf8(c.says)))
            << line->Message().toStdString();
        EXPECT_EQ(line->Editor()->text(), c.text) << "the text stays to be mended";
        // No case has a surrogate pair before its fault: columns and cursor positions agree.
        EXPECT_EQ(line->Editor()->cursorPosition(), c.column - 1) << "the cursor on the fault";
        EXPECT_TRUE(line->History().Entries().isEmpty());
    }
    EXPECT_EQ(view->Sent(), 0);
    // Nothing went before the first good line.
    line->SetMode(SendLineMode::Text);
    line->SetEnding(LineEnding::CrLf);
    Enter(line, "ok");
    EXPECT_EQ(pty.Receive(4, 10s), "ok\r\n");
    EXPECT_EQ(line->Message(), "");
    EXPECT_EQ(view->Sent(), 4);
}

TEST_F(SendLineTest, UpAndDownWalkTheLinesSentWhichTheNextWindowFindsAgain)
{
    PtyPair pty;
    CTARVENView* view = OpenSerial(pty);
    CSendLine* line = ShowLine(view);
    for (const char* text : {"one", "two", "three", "two"})
        Enter(line, text);
    EXPECT_EQ(line->History().Entries(), QStringList({"two", "three", "one"}));
    const struct
    {
        Qt::Key key;
        const char* shows;
    } walk[] = {{Qt::Key_Up, "three"},   {Qt::Key_Up, "one"},   {Qt::Key_Up, "one"},
                {Qt::Key_Down, "three"}, {Qt::Key_Down, "two"}, {Qt::Key_Down, ""},
                {Qt::Key_Down, ""}};
    for (const auto& step : walk) {
        Key(line, step.key);
        EXPECT_EQ(line->Editor()->text(), step.shows);
    }
    // What is being typed comes back below the newest line.
    QTest::keyClicks(line->Editor(), "dra");
    Key(line, Qt::Key_Up);
    EXPECT_EQ(line->Editor()->text(), "two");
    Key(line, Qt::Key_Down);
    EXPECT_EQ(line->Editor()->text(), "dra");
    // A recalled line is sent as it stands.
    Key(line, Qt::Key_Up);
    Key(line, Qt::Key_Up);
    Key(line, Qt::Key_Return);
    EXPECT_EQ(pty.Receive(29, 10s), "one\r\ntwo\r\nthree\r\ntwo\r\nthree\r\n");

    // 100 lines at most, the oldest going first; a new window walks the same lines.
    for (int i = 0; i < 105; ++i)
        Enter(line, QStringLiteral("L%1").arg(i));
    EXPECT_EQ(line->History().Entries().size(), CSendLineHistory::kMaxEntries);
    EXPECT_EQ(line->History().Entries().front(), "L104");
    EXPECT_EQ(line->History().Entries().back(), "L5");
    CSendLine* next = ShowLine(NewMonitor(QStringLiteral("Tvn2")));
    EXPECT_EQ(next->History().Entries(), line->History().Entries());
    Key(next, Qt::Key_Up);
    EXPECT_EQ(next->Editor()->text(), "L104");
    // A line the first window sends after the second was made is found there too.
    Enter(line, "late");
    Key(next, Qt::Key_Down);
    Key(next, Qt::Key_Up);
    EXPECT_EQ(next->Editor()->text(), "late");
}

TEST_F(SendLineTest, ADamagedHistoryIsReadBackBounded)
{
    QStringList stored;
    stored << "" << QString(CSendLineHistory::kMaxEntryChars + 1, u'x') << "dup"
           << "dup";
    for (int i = 0; i < 10000; ++i)
        stored << QStringLiteral("line %1").arg(i);
    const struct
    {
        QVariant value;
        QStringList first;
        int size;
    } cases[] = {
        {stored, {"dup", "line 0"}, CSendLineHistory::kMaxEntries},
        {QString(1 << 20, u'y'), {}, 0},
        {QString("alone"), {"alone"}, 1},
        {42, {"42"}, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value.typeName());
        QSettings settings(kCompanyName, kApplicationName);
        settings.setValue("TARVEN/SendLineHistory", c.value);
        settings.beginGroup("TARVEN");
        CSendLineHistory history;
        history.Load(settings);
        EXPECT_EQ(history.Entries().size(), c.size);
        EXPECT_EQ(history.Entries().mid(0, c.first.size()), c.first);
        for (const QString& entry : history.Entries())
            EXPECT_TRUE(!entry.isEmpty() && entry.size() <= CSendLineHistory::kMaxEntryChars);
    }
}

TEST_F(SendLineTest, OnUdpOneEnterIsOneDatagram)
{
    UdpPeer peer;
    CTARVENView* view = OpenUdp(peer.Port());
    ASSERT_TRUE(view->IsOnline());
    CSendLine* line = ShowLine(view);
    line->SetEnding(LineEnding::CrLf);
    Enter(line, "first");
    Enter(line, "<02>second<03><XOR8>");
    EXPECT_EQ(peer.Take(), "first\r\n");
    EXPECT_EQ(peer.Take(), QByteArray("\x02second\x03\x11\r\n"));
    EXPECT_EQ(view->Sent(), 7 + 11);
}

TEST_F(PanelMenuTest, TheViewMenuShowsThePanelsAndTheSendLineKeptForEveryMonitor)
{
    QAction* item = Frame()->Action(ID_VIEW_SEND_LINE);
    QAction* replies = Frame()->Action(ID_VIEW_AUTO_REPLY);
    const std::pair<QAction*, QString> items[] = {
        {item, "송신 입력줄"}, {replies, "자동 응답"}, {Frame()->Action(ID_VIEW_PLOT), "그래프"}};
    for (const auto& entry : items)
        EXPECT_FALSE(entry.first->isVisible()) << "no monitor, no item";
    CTARVENView* view = OpenMonitor();
    ASSERT_NE(view, nullptr);
    ASSERT_NE(ViewMenu(), nullptr);
    for (const auto& [action, text] : items) {
        SCOPED_TRACE(text.toStdString());
        EXPECT_TRUE(action->isVisible());
        EXPECT_TRUE(action->isEnabled());
        EXPECT_TRUE(action->isCheckable());
        EXPECT_FALSE(action->isChecked()) << "off by default";
        EXPECT_EQ(action->text(), text);
        EXPECT_TRUE(ViewMenu()->actions().contains(action));
    }
    CMonitorWindow* window = WindowOf(view);
    EXPECT_EQ(window->SendLine(), nullptr);

    // The auto replies closed from their button: the item follows, the rules stay, unused.
    replies->trigger();
    ASSERT_TRUE(window->IsAutoReplyShown());
    EXPECT_TRUE(replies->isChecked());
    CAutoReplyPanel* panel = window->AutoReply();
    panel->SetRulesText(QStringLiteral("when A reply B\n"));
    ASSERT_TRUE(panel->Apply());
    panel->SetEnabled(true);
    auto* close = panel->findChild<QPushButton*>("AutoReplyClose");
    ASSERT_NE(close, nullptr);
    QTest::mouseClick(close, Qt::LeftButton);
    EXPECT_FALSE(window->IsAutoReplyShown());
    EXPECT_FALSE(replies->isChecked());
    EXPECT_FALSE(panel->Replies().IsEnabled());
    replies->trigger();
    EXPECT_TRUE(window->IsAutoReplyShown());
    EXPECT_EQ(panel->RulesText(), "when A reply B\n");
    EXPECT_EQ(panel->Replies().Rules().size(), 1u);
    EXPECT_FALSE(panel->findChild<QCheckBox*>("AutoReplyEnabled")->isChecked());

    // The send line goes under the terminal and takes the keys.
    item->trigger();
    ASSERT_TRUE(window->IsSendLineShown());
    EXPECT_TRUE(item->isChecked());
    EXPECT_EQ(QSettings(kCompanyName, kApplicationName).value("TARVEN/ShowSendLine").toInt(), 1);
    CSendLine* line = window->SendLine();
    ASSERT_TRUE(WaitFor([&] { return line->Editor()->hasFocus(); }));
    EXPECT_GE(line->mapTo(window, QPoint(0, 0)).y(),
              view->TextView()->mapTo(window, QPoint(0, view->TextView()->height())).y());

    // Alt with a letter no menu takes is no text; Escape gives the keys back to the terminal.
    QTest::keyClicks(line->Editor(), "ab");
    PressKey(QKeyCombination(Qt::ALT | Qt::Key_Q), Frame());
    EXPECT_EQ(line->Editor()->text(), "ab");
    PressKey(QKeyCombination(Qt::Key_Escape), Frame());
    ASSERT_TRUE(WaitFor([&] { return view->TextView()->hasFocus(); }));
    EXPECT_EQ(line->Editor()->text(), "ab");

    // The next monitor shows the line at once; hidden, it is kept hidden.
    CTARVENView* second = OpenMonitor();
    CMonitorWindow* secondWindow = WindowOf(second);
    EXPECT_TRUE(secondWindow->IsSendLineShown());
    EXPECT_TRUE(item->isChecked());
    item->trigger();
    EXPECT_FALSE(secondWindow->IsSendLineShown());
    EXPECT_FALSE(item->isChecked());
    EXPECT_EQ(QSettings(kCompanyName, kApplicationName).value("TARVEN/ShowSendLine").toInt(), 0);
    EXPECT_TRUE(second->TextView()->hasFocus() || QApplication::focusWidget() == nullptr);
    EXPECT_FALSE(WindowOf(OpenMonitor())->IsSendLineShown());
}
