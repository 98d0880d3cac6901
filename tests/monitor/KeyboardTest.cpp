#include "LinkMonitorTest.h"
#include "MonitorAppTest.h"

#include "CFindBar.h"
#include "CMdiClientWnd.h"
#include "CommandIds.h"
#include "PtyPair.h"
#include "TcpPeer.h"

#include <QAction>
#include <QClipboard>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QSignalSpy>
#include <QStatusBar>
#include <QToolBar>

using namespace std::chrono_literals;

namespace {

// The program driven by real key presses; what leaks onto a link is read at its far end.
class KeyboardTest : public MonitorAppTest
{
protected:
    void SetUp() override
    {
        MonitorAppTest::SetUp();
        if (HasFatalFailure())
            return;
        m_onDialog = [this](QDialog* dialog) {
            // A person answers once the dialog has the keyboard.
            EXPECT_TRUE(WaitFor([dialog] {
                return QGuiApplication::focusWindow() == dialog->windowHandle();
            })) << dialog->metaObject()->className();
            Press(m_dialogKey);
            // A key that did not close the dialog fails the test instead of hanging it.
            QTimer::singleShot(kEventWaitMs, dialog, [dialog] {
                if (dialog->isVisible()) {
                    ADD_FAILURE() << "the key left " << dialog->metaObject()->className();
                    dialog->reject();
                }
            });
        };
    }

    // Ctrl+M, and Enter on the port settings it opens: a monitor on the stored link.
    CTARVENView* NewMonitorByKeys()
    {
        m_dialogKey = Qt::Key_Return;
        EXPECT_TRUE(WaitForDialog([&] { Press(Qt::CTRL | Qt::Key_M); }));
        m_dialogKey = Qt::Key_Escape;
        QMdiSubWindow* window = Frame()->MdiClient()->activeSubWindow();
        return window != nullptr ? window->findChild<CTARVENView*>() : nullptr;
    }

    // A monitor on the pseudo-terminal, opened with the keys.
    CTARVENView* SerialByKeys(const PtyPair& pty)
    {
        SetValue("Interface", 0);
        SetValue("PortName", QString::fromStdString(pty.SlavePath()));
        CTARVENView* view = NewMonitorByKeys();
        if (view != nullptr)
            Press(Qt::CTRL | Qt::Key_O);
        return view;
    }

    // A server on a free port, opened with the keys, with one client that took the welcome.
    CTARVENView* ServerWithClient(TcpPeer& peer)
    {
        SetValue("Interface", 1);
        SetValue("Active", 1);
        const quint16 port = FreeDialogPort();
        SetValue("ServerPort", port);
        CTARVENView* view = NewMonitorByKeys();
        Press(Qt::CTRL | Qt::Key_O);
        EXPECT_TRUE(view->IsOnline());
        peer = TcpPeer::Connect(port);
        EXPECT_EQ(peer.Take(27), "Welcome to TARVEN server...");
        return view;
    }

    // The keyboard is where the user left it: the active main window, the monitor's terminal.
    void ExpectKeysAt(const CTARVENView* view, const char* after)
    {
        QCoreApplication::processEvents();
        EXPECT_EQ(QApplication::activeWindow(), Frame()) << after;
        EXPECT_EQ(QApplication::focusWidget(), view->TextView()) << after;
    }

    QKeyCombination m_dialogKey = Qt::Key_Escape;
};

} // namespace

TEST_F(KeyboardTest, ShortcutsOnAnOpenSerialPortNeverReachTheDevice)
{
    EXPECT_FALSE(Frame()->Action(ID_PORT_OPEN)->isEnabled()) << "no monitor";
    PtyPair pty;
    SetValue("RecvEncoding", 2); // CP949, as a Korean bench's device speaks
    Frame()->ReloadEnvSettings();
    CTARVENView* view = SerialByKeys(pty);
    ASSERT_NE(view, nullptr);
    ExpectKeysAt(view, "the new monitor's settings");
    ASSERT_TRUE(view->IsOnline());
    EXPECT_EQ(Frame()->CurrentMenuId(), CMainFrame::kMenuTvn);
    EXPECT_FALSE(Frame()->Action(ID_PORT_OPEN)->isEnabled());
    EXPECT_TRUE(Frame()->Action(ID_PORT_CLOSE)->isEnabled());
    Type("a");

    // Each command key, enabled or not, does its command or nothing, and is never typed.
    Press(Qt::CTRL | Qt::Key_O); // open, disabled while open
    Press(Qt::CTRL | Qt::Key_P);
    EXPECT_TRUE(view->IsPaused());
    EXPECT_TRUE(Frame()->Action(ID_VIEW_PAUSE)->isChecked());
    Press(Qt::CTRL | Qt::Key_P);
    EXPECT_FALSE(view->IsPaused());
    Press(Qt::CTRL | Qt::Key_G);
    EXPECT_TRUE(view->IsCapturing());
    EXPECT_TRUE(Frame()->Action(ID_CAPTURE)->isChecked());
    Press(Qt::CTRL | Qt::SHIFT | Qt::Key_V); // view a capture file, disabled while capturing
    Press(Qt::CTRL | Qt::Key_G);
    EXPECT_FALSE(view->IsCapturing());
    Press(Qt::CTRL | Qt::SHIFT | Qt::Key_C);
    EXPECT_EQ(view->TextView()->GetBufferSize(), 0) << "cleared";

    // The window's own buttons send nothing and leave the keys with the terminal.
    CMonitorWindow* window = WindowOf(view);
    ASSERT_NE(window, nullptr);
    for (int id : {ID_VIEW_TIMESTAMP, ID_LINE_DTR, ID_LINE_RTS, ID_LINE_BREAK, ID_VIEW_TIMESTAMP}) {
        auto* action = window->ToolBar()->findChild<QAction*>(QString::number(id));
        ASSERT_NE(action, nullptr) << id;
        QTest::mouseClick(window->ToolBar()->widgetForAction(action), Qt::LeftButton);
        ExpectKeysAt(view, "a click on a button of the window");
    }

    // Alt and Meta combinations are mnemonics or nothing, never their letter.
    for (const Qt::Key key : {Qt::Key_X, Qt::Key_Q, Qt::Key_1})
        Press(QKeyCombination(Qt::AltModifier, key));
    Press(QKeyCombination(Qt::MetaModifier, Qt::Key_A));

    // Unbound keys are typed in the window's encoding; a character it lacks is told, not sent.
    Press(Qt::CTRL | Qt::Key_C);
    Type("b");
    const auto compose = [&](const char* text) {
        QInputMethodEvent composed;
        composed.setCommitString(QString::fromUtf8(text));
        QApplication::sendEvent(view->TextView(), &composed);
    };
    compose("😀");
    EXPECT_EQ(Frame()->statusBar()->currentMessage(),
              QString::fromUtf8("'😀' 문자는 CP949(으)로 보낼 수 없어 보내지 않았습니다."));
    compose("가");
    Press(Qt::Key_Return);
    // A leaked key would sit among these bytes: they come in the order of the keys.
    const std::string expected = std::string("a\x03") + "b\xB0\xA1\r";
    EXPECT_EQ(pty.Receive(expected.size(), 10s), expected);
    EXPECT_EQ(view->Sent(), 5);

    Press(Qt::CTRL | Qt::Key_D);
    EXPECT_FALSE(view->IsOnline());
    Type("c");
    EXPECT_EQ(view->Sent(), 5) << "nothing is counted on a closed port";

    // Without a monitor, Ctrl+O is the program's file open again.
    Frame()->MdiClient()->closeAllSubWindows();
    ASSERT_TRUE(WaitFor([&] { return Frame()->CurrentMenuId() == CMainFrame::kMenuMain; }));
    EXPECT_TRUE(WaitForDialog([&] { Press(Qt::CTRL | Qt::Key_O); }));
}

TEST_F(KeyboardTest, AfterEveryDialogAndMenuTheKeysGoBackToTheMonitor)
{
    TcpPeer peer;
    CTARVENView* view = ServerWithClient(peer);
    ASSERT_NE(view, nullptr);
    // Capture names are asked for.
    SetValue("GalmuriFileCreate", 0);
    Frame()->ReloadEnvSettings();

    const struct
    {
        int command;
        const char* dialog;
    } dialogs[] = {
        {ID_PORT_SETTINGS, "port settings"},    {ID_CHECKSUM, "checksum"},
        {ID_FILE_TRANSFER, "file transfer"},    {ID_CAPTURE, "capture name"},
        {ID_CAPTURE_SHOW, "capture file open"}, {ID_ENV_SETTINGS, "environment settings"},
    };
    QByteArray typed;
    for (const auto& d : dialogs) {
        ASSERT_TRUE(Frame()->Action(d.command)->isEnabled()) << d.dialog;
        EXPECT_TRUE(WaitForDialog([&] { Frame()->Action(d.command)->trigger(); })) << d.dialog;
        ExpectKeysAt(view, d.dialog);
        Press(Qt::CTRL | Qt::Key_P);
        EXPECT_TRUE(view->IsPaused()) << d.dialog;
        Press(Qt::CTRL | Qt::Key_P);
        Type("x");
        typed += 'x';
    }
    EXPECT_TRUE(view->IsOnline());
    EXPECT_EQ(peer.Take(typed.size()), typed);

    // And after a menu closes.
    QMenuBar* bar = Frame()->menuBar();
    const QPoint tvn = bar->actionGeometry(Frame()->TvnMenu()->menuAction()).center();
    QTest::mouseClick(bar, Qt::LeftButton, {}, tvn);
    // Once the menu has the activation, Escape closes it and a second one leaves the bar.
    ASSERT_TRUE(WaitFor([] {
        const QWidget* popup = QApplication::activePopupWidget();
        return popup != nullptr && QGuiApplication::focusWindow() == popup->windowHandle();
    }));
    Press(Qt::Key_Escape);
    ASSERT_TRUE(WaitFor([] { return QApplication::activePopupWidget() == nullptr; }));
    Press(Qt::Key_Escape);
    ExpectKeysAt(view, "the menu");
    Press(Qt::CTRL | Qt::Key_P);
    EXPECT_TRUE(view->IsPaused());
    Type("menu");
    EXPECT_EQ(peer.Take(4), "menu");
}

TEST_F(KeyboardTest, TextSelectedWithTheMouseIsCopiedInTextAndHexModes)
{
    TcpPeer peer;
    CTARVENView* view = ServerWithClient(peer);
    ASSERT_NE(view, nullptr);
    // Arrival times shown before the text, and before the hex rows, are no part of the copy.
    for (const bool stamps : {false, true}) {
        SCOPED_TRACE(stamps ? "with time stamps" : "without");
        if (view->ShowsTimeStamps() != stamps)
            Frame()->Action(ID_VIEW_TIMESTAMP)->trigger();
        Frame()->Action(ID_VIEW_ASCII)->trigger();
        // Two lines from the peer; the first is selected with the mouse and copied.
        view->OnClear();
        peer.Send("hello world\r\nnext\r\n");
        ASSERT_TRUE(WaitFor([&] { return view->Received() == 19; }));
        QWidget* screen = view->TextView()->viewport();
        ASSERT_TRUE(WaitFor([&] { return view->TextView()->GetLineSize() >= 2; }));
        // Drags over the first row, from its left edge to past its end.
        const auto selectFirstRow = [screen] {
            QTest::mousePress(screen, Qt::LeftButton, {}, QPoint(1, 3));
            QTest::mouseMove(screen, QPoint(screen->width() - 2, 3));
            QTest::mouseRelease(screen, Qt::LeftButton, {}, QPoint(screen->width() - 2, 3));
        };
        QClipboard* clipboard = QApplication::clipboard();

        selectFirstRow();
        Press(Qt::CTRL | Qt::Key_Insert);
        EXPECT_TRUE(clipboard->text().startsWith("hello world")) << clipboard->text().toStdString();

        clipboard->clear();
        Frame()->Action(ID_VIEW_HEX)->trigger();
        selectFirstRow();
        Frame()->Action(ID_TVN_COPY)->trigger(); // "복사" of the context menu
        // A server's rows lead with the client's mark too: the row shows fewer bytes.
        EXPECT_TRUE(clipboard->text().startsWith("68 65 6C 6C 6F 20"))
            << clipboard->text().toStdString();
        // A letter typed after it is the first byte to arrive: copying sent nothing.
        Type("z");
        EXPECT_EQ(peer.Take(1), "z");
    }
}

TEST_F(KeyboardTest, FindBarKeysFindTheTrafficAndNeverReachTheDevice)
{
    PtyPair pty;
    CTARVENView* view = SerialByKeys(pty);
    ASSERT_NE(view, nullptr);
    ASSERT_TRUE(view->IsOnline());
    // "ping" spans the two chunks once; twice it is torn by a line break.
    for (const std::string chunk : {"pi\r\nng pi", "ng pi\r\nng\r\npong"}) {
        const qint64 received = view->Received();
        pty.Send(chunk);
        ASSERT_TRUE(WaitFor([&] { return view->Received() == received + qint64(chunk.size()); }));
    }
    CFindBar* bar = WindowOf(view)->FindBar();
    QSignalSpy beeps(bar, &CFindBar::notFound);

    Press(Qt::CTRL | Qt::Key_F);
    ASSERT_TRUE(bar->isVisible());
    EXPECT_EQ(QApplication::focusWidget(), bar->Field());
    Type("ping");
    EXPECT_EQ(bar->Field()->text(), QStringLiteral("ping"));
    for (int round = 0; round < 2; ++round) { // the only match: around to itself
        Press(Qt::Key_F3);
        EXPECT_EQ(bar->CountText(), "1/1");
    }
    EXPECT_EQ(view->TextView()->SelectedText(), QStringLiteral("ping"));

    // Across a CR LF typed as hex, next and previous wrap around from the selected match.
    view->OnHexView();
    Press(Qt::CTRL | Qt::Key_F);
    QTest::keyClicks(bar->Field(), QStringLiteral("69 0d0a 6E"));
    const struct
    {
        QKeyCombination key;
        const char* count;
    } hexSteps[] = {
        {Qt::Key_Return, "2/2"},
        {Qt::Key_F3, "1/2"},
        {Qt::Key_F3, "2/2"},
        {QKeyCombination(Qt::ShiftModifier, Qt::Key_F3), "1/2"},
        {QKeyCombination(Qt::ShiftModifier, Qt::Key_Return), "2/2"},
    };
    for (const auto& s : hexSteps) {
        Press(s.key);
        EXPECT_EQ(bar->CountText(), QString::fromLatin1(s.count));
    }
    EXPECT_EQ(beeps.count(), 0);

    // Nothing found: a beep, and the match stays where it was.
    const QString selected = view->TextView()->SelectedText();
    bar->Field()->clear();
    QTest::keyClicks(bar->Field(), QStringLiteral("7A 7A"));
    Press(Qt::Key_F3);
    EXPECT_EQ(beeps.count(), 1);
    EXPECT_EQ(view->TextView()->SelectedText(), selected);
    // A malformed pattern is shown as such and searches nothing.
    QTest::keyClicks(bar->Field(), QStringLiteral("7"));
    EXPECT_EQ(bar->CountText(), QStringLiteral("잘못된 패턴"));
    Press(Qt::Key_F3);
    EXPECT_EQ(beeps.count(), 1);

    // Escape hands the keys back to the terminal; only what is typed there reaches the device.
    Press(Qt::Key_Escape);
    EXPECT_FALSE(bar->isVisible());
    EXPECT_EQ(QApplication::focusWidget(), view->TextView());
    Press(Qt::Key_F3); // with the bar closed
    Press(QKeyCombination(Qt::ShiftModifier, Qt::Key_F3));
    Press(Qt::Key_Escape);
    Press(Qt::CTRL | Qt::Key_F);
    Press(Qt::Key_Escape);
    Type("k");
    EXPECT_EQ(pty.Receive(1, 10s), "k") << "a key of the search would come first";
    EXPECT_EQ(view->Sent(), 1);
}
