// The find bar of a monitor window, driven with real keys on the shown program with an open
// pseudo-terminal: what is found, what beeps, and that no key of the search reaches the device.
#include "MonitorAppTest.h"

#include "CFindBar.h"
#include "CMdiClientWnd.h"
#include "CommandIds.h"
#include "KeyboardInput.h"
#include "PtyPair.h"

#include <QLineEdit>
#include <QMdiSubWindow>
#include <QSignalSpy>

using namespace std::chrono_literals;

namespace {

class FindBarTest : public MonitorAppTest
{
protected:
    void Press(QKeyCombination key) { PressKey(key, Frame()); }
    void Type(const QString& letters)
    {
        for (const QChar letter : letters)
            Press(Qt::Key(Qt::Key_A + letter.unicode() - 'a'));
    }

    // A monitor on the pty, opened and holding what the device sent in two chunks.
    CTARVENView* OnlineMonitor(PtyPair& pty, const std::string& first, const std::string& second)
    {
        SetValue("Interface", 0);
        SetValue("PortName", QString::fromStdString(pty.SlavePath()));
        EXPECT_TRUE(WaitForDialog([&] { Frame()->Action(ID_FILE_NEW_TVN)->trigger(); }));
        QMdiSubWindow* window = Frame()->MdiClient()->activeSubWindow();
        CTARVENView* view = window != nullptr ? window->findChild<CTARVENView*>() : nullptr;
        if (view == nullptr)
            return nullptr;
        // The keyboard is back with the program once the settings dialog is gone.
        Frame()->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(Frame()));
        Frame()->Action(ID_PORT_OPEN)->trigger();
        EXPECT_TRUE(view->IsOnline());
        pty.Send(first);
        EXPECT_TRUE(WaitFor([&] { return Shown(*view).size() == qsizetype(first.size()); }));
        pty.Send(second);
        EXPECT_TRUE(WaitFor(
            [&] { return Shown(*view).size() == qsizetype(first.size() + second.size()); }));
        return view;
    }

    static CFindBar* FindBarOf(const CTARVENView* view)
    {
        return qobject_cast<CMonitorWindow*>(view->parentWidget())->FindBar();
    }
};

} // namespace

TEST_F(FindBarTest, KeysFindTheTrafficAndNeverReachTheDevice)
{
    PtyPair pty;
    // "ping" spans the two chunks once; twice it is torn by a line break.
    CTARVENView* view = OnlineMonitor(pty, "pi\r\nng pi", "ng pi\r\nng\r\npong");
    ASSERT_NE(view, nullptr);
    CFindBar* bar = FindBarOf(view);
    QSignalSpy beeps(bar, &CFindBar::notFound);

    Press(QKeyCombination(Qt::ControlModifier, Qt::Key_F));
    ASSERT_TRUE(bar->isVisible());
    EXPECT_EQ(QApplication::focusWidget(), bar->Field());
    Type("ping");
    EXPECT_EQ(bar->Field()->text(), QStringLiteral("ping"));
    const struct
    {
        QKeyCombination key;
        const char* count;
    } steps[] = {
        {Qt::Key_F3, "1/1"}, {Qt::Key_F3, "1/1"}, // the only match: around to itself
    };
    for (const auto& s : steps) {
        Press(s.key);
        EXPECT_EQ(bar->CountText(), QString::fromLatin1(s.count));
    }
    EXPECT_EQ(view->TextView()->SelectedText(), QStringLiteral("ping"));

    // Across a line break (CR LF typed as bytes in hex), next and previous with wrapping, from
    // the match selected before.
    view->OnHexView();
    Press(QKeyCombination(Qt::ControlModifier, Qt::Key_F));
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
    Press(QKeyCombination(Qt::ControlModifier, Qt::Key_F));
    Press(Qt::Key_Escape);
    Type("k");
    EXPECT_EQ(pty.Receive(1, 10s), "k") << "a key of the search would come first";
    EXPECT_EQ(view->Sent(), 1);
}
