// The area behind the child windows with real monitors and script editors in it: arranging,
// opening, titles and the window menu.
#include "CCmdListBar.h"
#include "CCounterLabel.h"
#include "CMdiClientWnd.h"
#include "CMonitorWindow.h"
#include "CProgramTitles.h"
#include "CScriptChildFrame.h"
#include "CScriptEditCtrl.h"
#include "CScriptEditView.h"
#include "CSizingControlBar.h"
#include "CommandIds.h"
#include "MonitorAppTest.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>
#include <QScrollBar>
#include <QStatusBar>
#include <QTest>
#include <QWindow>

namespace {

// What keeps a window's status bar from being seen whole, empty when nothing does.
QString StatusBarFault(const QMdiSubWindow* window)
{
    const auto* bar = window->widget()->findChild<QStatusBar*>();
    if (bar == nullptr || !bar->isVisible())
        return QStringLiteral("no status bar");
    const QWidget* viewport = window->mdiArea()->viewport();
    const QRect onArea(bar->mapTo(viewport, QPoint(0, 0)), bar->size());
    if (!viewport->rect().contains(onArea))
        return QStringLiteral("status bar outside the area");
    for (const QWidget* pane : bar->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (pane->isVisible() && !bar->rect().contains(pane->geometry()))
            return QStringLiteral("pane %1 cut by the bar's edge").arg(pane->objectName());
    }
    // The counters show every digit they have.
    if (const auto* counters = bar->findChild<CCounterLabel*>()) {
        static const QRegularExpression number(QStringLiteral("\\d+"));
        QStringList held;
        QStringList shown;
        for (const auto& match : number.globalMatch(counters->text()))
            held << match.captured();
        for (const auto& match : number.globalMatch(counters->ShownText()))
            shown << match.captured();
        if (held != shown)
            return counters->text() + QStringLiteral(" shown as ") + counters->ShownText();
    }
    return {};
}

bool Overlap(const QList<QMdiSubWindow*>& windows)
{
    for (qsizetype i = 0; i < windows.size(); ++i) {
        for (qsizetype j = i + 1; j < windows.size(); ++j) {
            if (windows[i]->geometry().intersects(windows[j]->geometry()))
                return true;
        }
    }
    return false;
}

QString Describe(const QMdiSubWindow* window)
{
    const QRect g = window->geometry();
    return window->windowTitle() +
           QString::asprintf(" at %d,%d %dx%d", g.x(), g.y(), g.width(), g.height());
}

// The program with monitors and script editors, its main window shown at 1024 x 768; the port
// settings dialog a new monitor opens with is cancelled.
class WorkspaceTest : public MonitorAppTest
{
protected:
    void SetUp() override
    {
        MonitorAppTest::SetUp();
        // The main window as on a screen with room for it, whatever the test's screen is.
        Frame()->showNormal();
        Frame()->setGeometry(20, 20, 1024, 768);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(Frame()));
        RunEventsFor(50);
    }

    CMdiClientWnd* Area() const { return Frame()->MdiClient(); }
    QRect Room() const { return Area()->viewport()->rect(); }

    QMdiSubWindow* Open(const char* type)
    {
        CDocument* document = m_app->OnFileNew(QString::fromLatin1(type));
        EXPECT_NE(document, nullptr) << type;
        // The monitor's settings dialog comes and goes; the bars settle.
        RunEventsFor(50);
        return document != nullptr ? document->Frame() : nullptr;
    }

    // Every window inside the area with its status bar whole; faults name the window.
    QStringList Faults() const
    {
        QStringList faults;
        for (const QMdiSubWindow* window : Area()->subWindowList()) {
            if (!Room().contains(window->geometry()))
                faults << Describe(window) + QStringLiteral(" leaves the area");
            if (const QString fault = StatusBarFault(window); !fault.isEmpty())
                faults << Describe(window) + QStringLiteral(": ") + fault;
        }
        return faults;
    }
};

} // namespace

TEST_F(WorkspaceTest, TiledAndCascadedWindowsStayWholeInsideTheFrame)
{
    struct Case
    {
        int monitors;
        int scripts;
        bool overlapWhenTiled;
    };
    const Case cases[] = {{3, 3, false}, {6, 0, false}, {1, 1, false}, {5, 4, true}};
    const QSize frameSize = Frame()->size();
    for (const Case& c : cases) {
        SCOPED_TRACE(
            QStringLiteral("%1 monitors, %2 scripts").arg(c.monitors).arg(c.scripts).toStdString());
        for (int i = 0; i < std::max(c.monitors, c.scripts); ++i) {
            if (i < c.monitors) {
                ASSERT_NE(Open("Tvn"), nullptr);
            }
            if (i < c.scripts) {
                ASSERT_NE(Open("Script"), nullptr);
            }
        }
        EXPECT_EQ(Faults(), QStringList()) << "as opened";
        // A counter with many digits keeps every one of them.
        Area()->subWindowList().first()->widget()->findChild<CCounterLabel*>()->setText(
            QStringLiteral("I: 1234567890, O: 1234567, L: 123456 (갈무리)"));

        Frame()->Action(ID_WINDOW_TILE_HORZ)->trigger();
        RunEventsFor(20);
        const QList<QMdiSubWindow*> windows = Area()->subWindowList();
        EXPECT_EQ(Frame()->size(), frameSize);
        EXPECT_EQ(Faults(), QStringList()) << "tiled";
        EXPECT_EQ(Overlap(windows), c.overlapWhenTiled);

        Frame()->Action(ID_WINDOW_CASCADE)->trigger();
        RunEventsFor(20);
        EXPECT_EQ(Frame()->size(), frameSize);
        EXPECT_EQ(Faults(), QStringList()) << "cascaded";
        // Each title bar can be seen: no two windows start at the same corner.
        QList<QPoint> corners;
        for (const QMdiSubWindow* window : windows)
            corners << window->geometry().topLeft();
        EXPECT_EQ(QSet<QPoint>(corners.begin(), corners.end()).size(), corners.size());

        Area()->closeAllSubWindows();
        ASSERT_TRUE(WaitFor([&] { return Area()->subWindowList().isEmpty(); }));
    }
}

TEST_F(WorkspaceTest, WindowsOpenAndStayInsideTheRoomTheBarsLeave)
{
    // The command list made taller: the next windows open below it, whole.
    Frame()->resizeDocks({Frame()->CmdListBar()}, {200}, Qt::Vertical);
    RunEventsFor(20);
    const QMdiSubWindow* monitor = Open("Tvn");
    const QMdiSubWindow* script = Open("Script");
    ASSERT_TRUE(monitor != nullptr && script != nullptr);
    EXPECT_EQ(Faults(), QStringList());
    EXPECT_LE(script->height(), Room().height());

    // The output bar grows under open windows: they move up and shrink with the room.
    const int roomBefore = Room().height();
    Frame()->resizeDocks({Frame()->ScriptOutputBar()}, {200}, Qt::Vertical);
    RunEventsFor(20);
    ASSERT_LT(Room().height(), roomBefore);
    EXPECT_EQ(Faults(), QStringList()) << "after the output bar grew";

    // A window the user put half outside stays where it is, and the area scrolls to it.
    Frame()->resizeDocks({Frame()->ScriptOutputBar()}, {100}, Qt::Vertical);
    QMdiSubWindow* moved = Area()->subWindowList().last();
    const int left = Room().width() - 50;
    moved->move(left, 0);
    RunEventsFor(20);
    EXPECT_EQ(moved->x(), left);
    EXPECT_TRUE(Area()->horizontalScrollBar()->isVisible());
}

TEST_F(WorkspaceTest, TitlesNameTheProgramOnceAndTheWindowMenuReadsAsTheTitleBars)
{
    QMdiSubWindow* monitor = Open("Tvn");
    auto* script = qobject_cast<CScriptChildFrame*>(Open("Script"));
    ASSERT_TRUE(monitor != nullptr && script != nullptr);
    QMenu* windowMenu = nullptr;
    for (QAction* action : Frame()->menuBar()->actions()) {
        if (action->text() == "창(&W)")
            windowMenu = action->menu();
    }
    ASSERT_NE(windowMenu, nullptr);
    const QStringList arrangements = {"계단식 배열(&C)", "바둑판식 배열(&T)"};
    EXPECT_EQ(ShownItems(windowMenu), arrangements + QStringList({"&1 Tvn1", "&2 Script1 *"}));
    script->View()->Edit()->setFocus();
    QTest::keyClicks(script->View()->Edit(), "x");
    ASSERT_TRUE(script->isWindowModified());
    EXPECT_EQ(ShownItems(windowMenu), arrangements + QStringList({"&1 Tvn1", "&2 Script1* *"}));

    const auto barTitle = [](const QWidget* window) { return window->windowHandle()->title(); };
    EXPECT_EQ(barTitle(Frame()), "TARVEN");
    monitor->showMaximized();
    EXPECT_EQ(barTitle(Frame()), "TARVEN - [Tvn1]");
    Area()->setActiveSubWindow(script);
    EXPECT_EQ(barTitle(Frame()), "TARVEN - [Script1*]");
    script->showNormal();
    EXPECT_EQ(barTitle(Frame()), "TARVEN");

    // A dialog's own title names the program, or the bar adds it.
    QDialog settings(Frame());
    settings.setWindowTitle("TARVEN 환경설정");
    QDialog port(Frame());
    port.setWindowTitle("통신포트 설정");
    for (QDialog* dialog : {&settings, &port}) {
        dialog->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog));
    }
    EXPECT_EQ(barTitle(&settings), "TARVEN 환경설정");
    EXPECT_EQ(barTitle(&port), "통신포트 설정 — TARVEN");
    port.setWindowTitle("갈무리 저장파일 이름");
    EXPECT_EQ(barTitle(&port), "갈무리 저장파일 이름 — TARVEN");
    EXPECT_EQ(port.windowTitle(), "갈무리 저장파일 이름");
}
