#include "CMainFrame.h"
#include "CChildFrame.h"
#include "CColorPicker.h"
#include "CDocument.h"
#include "CMdiClientWnd.h"
#include "CSizingControlBar.h"
#include "CTARVENApp.h"
#include "CommandIds.h"
#include "DialogControls.h"
#include "EnvSettingsDlgIds.h"
#include "ShellConstants.h"
#include "ShellTestEnv.h"
#include "WindowArrangement.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QSpinBox>
#include <QStatusBar>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <QToolBar>
#include <QUrl>
#include <memory>

namespace {

// Receives the URLs that the help command asks the desktop to open.
class UrlCatcher : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void openUrl(const QUrl& url) { urls.append(url); }
};

} // namespace

using MainFrameTest = ShellTest;

TEST_F(MainFrameTest, FrameStartsWithItsBarsAndCommandsItsMenuFollowsTheChildAndHelpOpens)
{
    auto app = StartApp();
    CMainFrame* frame = app->MainFrame();
    const QList<int> expected = {32788, 0,     32800, 32801, 0,     57635, 57634, 57637, 0,
                                 32789, 32790, 32805, 32803, 0,     32775, 0,     32771, 32772,
                                 0,     32804, 0,     32778, 32782, 0,     32787, 0,     32783,
                                 32779, 32784, 0,     32776, 32780, 32781};
    QList<int> ids;
    for (QAction* action : frame->ToolBar()->actions()) {
        ids << (action->isSeparator() ? 0 : action->objectName().toInt());
        if (action->isSeparator())
            continue;
        SCOPED_TRACE(action->objectName().toStdString());
        EXPECT_FALSE(action->icon().pixmap(20, 20).isNull());
        EXPECT_FALSE(action->toolTip().isEmpty());
        EXPECT_FALSE(action->statusTip().isEmpty());
    }
    EXPECT_EQ(ids, expected);
    EXPECT_EQ(frame->ToolBar()->iconSize(), QSize(20, 20));
    EXPECT_EQ(frame->Action(ID_CHECKSUM)->statusTip(), "CHECKSUM 연산을 합니다.");

    EXPECT_EQ(frame->ScriptOutputBar()->windowTitle(), "스크립트 출력창");
    EXPECT_EQ(frame->CmdListBar()->windowTitle(), "송신 메세지창");
    EXPECT_EQ(frame->dockWidgetArea(frame->ScriptOutputBar()), Qt::BottomDockWidgetArea);
    EXPECT_EQ(frame->dockWidgetArea(frame->CmdListBar()), Qt::TopDockWidgetArea);
    EXPECT_NE(frame->statusBar()->findChild<QWidget*>("32856"), nullptr);

    // Commands that work now, and commands that wait for their windows.
    for (int id :
         {ID_FILE_NEW_TVN, ID_FILE_NEW_SCRIPT, ID_FILE_OPEN, ID_ENV_SETTINGS, ID_HELP_MANUAL})
        EXPECT_TRUE(frame->Action(id)->isEnabled()) << id;
    for (int id : {ID_PORT_OPEN, ID_SCRIPT_RUN, ID_CHECKSUM, ID_FILE_TRANSFER, ID_PORT_SETTINGS})
        EXPECT_FALSE(frame->Action(id)->isEnabled()) << id;
    EXPECT_EQ(frame->Action(ID_FILE_NEW_TVN)->shortcut(), QKeySequence("Ctrl+M"));
    EXPECT_EQ(frame->Action(ID_FILE_NEW_SCRIPT)->shortcut(), QKeySequence("Ctrl+N"));
    EXPECT_EQ(frame->Action(ID_HELP_MANUAL)->shortcut(), QKeySequence(Qt::Key_F1));

    // The menu bar follows the active child.
    auto titles = [frame] {
        QStringList list;
        for (QAction* action : frame->menuBar()->actions())
            list << action->text();
        return list;
    };
    EXPECT_EQ(frame->CurrentMenuId(), CMainFrame::kMenuMain);
    EXPECT_EQ(titles(), QStringList({"파일(&F)", "보기(&V)", "도움말(&H)"}));

    CDocument* script = app->OnFileNew("Script");
    EXPECT_EQ(frame->CurrentMenuId(), CMainFrame::kMenuScript);
    EXPECT_TRUE(titles().contains("SCRIPT"));
    EXPECT_TRUE(titles().contains("편집(&E)"));
    EXPECT_EQ(frame->Action(ID_FILE_OPEN)->shortcut(), QKeySequence("Ctrl+O"));

    CDocument* monitor = app->OnFileNew("Tvn");
    EXPECT_EQ(frame->CurrentMenuId(), CMainFrame::kMenuTvn);
    EXPECT_TRUE(titles().contains("TVN(&T)"));
    EXPECT_FALSE(titles().contains("SCRIPT"));
    // The monitor's Ctrl+O opens its port, so the frame's open gives the key up.
    EXPECT_TRUE(frame->Action(ID_FILE_OPEN)->shortcut().isEmpty());
    EXPECT_EQ(frame->Action(ID_PORT_OPEN)->shortcut(), QKeySequence("Ctrl+O"));

    monitor->Frame()->close();
    script->Frame()->close();
    QTRY_COMPARE_WITH_TIMEOUT(frame->CurrentMenuId(), CMainFrame::kMenuMain, 10000);
    EXPECT_EQ(frame->Action(ID_FILE_OPEN)->shortcut(), QKeySequence("Ctrl+O"));

    // Help: the test platform opens no web pages, as a desktop without a browser, so the
    // manual shows in a window of its own.
    frame->Action(ID_HELP_MANUAL)->trigger();
    auto* help = frame->findChild<QTextBrowser*>("CHelpWindow");
    ASSERT_NE(help, nullptr);
    EXPECT_TRUE(help->isVisible());
    EXPECT_TRUE(help->isWindow());
    EXPECT_TRUE(help->source().toLocalFile().endsWith("manual/index.html"));
    EXPECT_FALSE(help->toPlainText().trimmed().isEmpty());
    // F1 again brings the same window forward.
    help->close();
    frame->Action(ID_HELP_MANUAL)->trigger();
    EXPECT_TRUE(help->isVisible());
    EXPECT_EQ(frame->findChildren<QTextBrowser*>("CHelpWindow").size(), 1);

    // A desktop that opens files gets the manual beside the program.
    help->close();
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler("file", &catcher, "openUrl");
    frame->Action(ID_HELP_MANUAL)->trigger();
    QDesktopServices::unsetUrlHandler("file");
    ASSERT_EQ(catcher.urls.size(), 1);
    EXPECT_TRUE(catcher.urls[0].toLocalFile().endsWith("manual/index.html"));
    EXPECT_TRUE(QFileInfo(catcher.urls[0].toLocalFile()).isFile());
    EXPECT_FALSE(help->isVisible());
}

TEST_F(MainFrameTest, FrameReopensWhereItWasLeftWhenThatIsOnAScreenAndItsBarsAsTheyWere)
{
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    const WindowArrangement::Placement placement =
        WindowArrangement::DefaultPlacement({1024, 768}, screen);
    const auto byDefault = [&placement](const QWidget* frame) {
        return frame->normalGeometry() == placement.geometry &&
               frame->isMaximized() == placement.maximized;
    };
    struct Case
    {
        const char* what;
        QRect left;     // where the user left it
        bool maximized; // and whether maximised
        QRect reopened; // null: the default
    };
    const Case cases[] = {
        {"where it was", {40, 30, 700, 500}, false, {40, 30, 700, 500}},
        {"maximised, with its normal place kept", {60, 50, 640, 480}, true, {60, 50, 640, 480}},
        {"partly off the screen: moved onto it",
         {screen.right() - 300, 100, 640, 480},
         false,
         {screen.right() + 1 - 640, 100, 640, 480}},
        {"off every screen: the default", {5000, 5000, 640, 480}, false, {}},
    };
    {
        // Nothing saved yet: 1024 x 768, centred, where the screen has room for it.
        auto app = StartApp();
        CMainFrame* frame = app->MainFrame();
        EXPECT_TRUE(byDefault(frame));
        frame->addDockWidget(Qt::LeftDockWidgetArea, frame->CmdListBar());
        frame->Action(ID_VIEW_SCRIPT_OUTPUT)->trigger();
        EXPECT_FALSE(frame->ScriptOutputBar()->isVisible());
        EXPECT_FALSE(frame->Action(ID_VIEW_SCRIPT_OUTPUT)->isChecked());
        ASSERT_TRUE(frame->close());
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        {
            auto app = StartApp();
            CMainFrame* frame = app->MainFrame();
            frame->showNormal();
            frame->setGeometry(c.left);
            if (c.maximized)
                frame->showMaximized();
            ASSERT_TRUE(frame->close());
        }
        auto app = StartApp();
        CMainFrame* frame = app->MainFrame();
        if (c.reopened.isNull()) {
            EXPECT_TRUE(byDefault(frame));
        } else {
            EXPECT_EQ(frame->isMaximized(), c.maximized);
            EXPECT_EQ(frame->normalGeometry(), c.reopened);
        }
        ASSERT_TRUE(frame->close());
        QSettings(kCompanyName, kApplicationName).remove("TARVEN/MainWindowGeometry");
    }
    // The bars' layout saved on close is restored at the start.
    auto app = StartApp();
    CMainFrame* frame = app->MainFrame();
    EXPECT_EQ(frame->dockWidgetArea(frame->CmdListBar()), Qt::LeftDockWidgetArea);
    EXPECT_TRUE(frame->CmdListBar()->isVisible());
    EXPECT_FALSE(frame->ScriptOutputBar()->isVisible());
    EXPECT_FALSE(frame->Action(ID_VIEW_SCRIPT_OUTPUT)->isChecked());
    EXPECT_TRUE(frame->Action(ID_VIEW_CMDLIST)->isChecked());
    // The view menu item brings the bar back and is checked again.
    frame->Action(ID_VIEW_SCRIPT_OUTPUT)->trigger();
    EXPECT_TRUE(frame->ScriptOutputBar()->isVisible());
    EXPECT_TRUE(frame->Action(ID_VIEW_SCRIPT_OUTPUT)->isChecked());
    frame->Action(ID_VIEW_CMDLIST)->trigger();
    EXPECT_FALSE(frame->CmdListBar()->isVisible());
    EXPECT_FALSE(frame->Action(ID_VIEW_CMDLIST)->isChecked());
}

TEST_F(MainFrameTest, SettingsAreStoredAndAnnouncedOnlyWhenConfirmed)
{
    auto app = StartApp();
    CMainFrame* frame = app->MainFrame();
    QSignalSpy announced(frame, &CMainFrame::envSettingsChanged);
    // Changes the open dialog as a person would, then leaves it with the button named.
    const auto change = [](const QString& button) {
        QTimer::singleShot(0, [button] {
            QWidget* dialog = QApplication::activeModalWidget();
            ASSERT_NE(dialog, nullptr);
            dialog->findChild<QCheckBox*>(ControlName(EnvSettingsDlgIds::IDC_ECHO))
                ->setChecked(false);
            auto* spin = dialog->findChild<QSpinBox*>(ControlName(EnvSettingsDlgIds::IDC_MAX_LINE));
            spin->selectAll();
            QTest::keyClicks(spin, "1000");
            dialog->findChild<CColorPicker*>(ControlName(EnvSettingsDlgIds::IDC_BK))
                ->SetColour(0x00112233);
            dialog->findChild<CColorPicker*>(ControlName(EnvSettingsDlgIds::IDC_TEXT_IN))
                ->SetColour(0x00445566);
            QTest::mouseClick(dialog->findChild<QPushButton*>(button), Qt::LeftButton);
        });
    };
    QSettings settings(kCompanyName, kApplicationName);
    settings.beginGroup("TARVEN");

    change(kIdCancel);
    frame->OnEnvSettings();
    settings.sync();
    EXPECT_FALSE(settings.contains("Echo"));
    EXPECT_TRUE(frame->Env().bEcho);
    EXPECT_TRUE(announced.isEmpty());

    change(kIdOk);
    frame->OnEnvSettings();
    settings.sync();
    EXPECT_EQ(settings.value("Echo").toInt(), 0);
    EXPECT_EQ(settings.value("MaxLine").toInt(), 1000);
    EXPECT_EQ(settings.value("clrBk").toUInt(), 0x112233u);
    EXPECT_EQ(settings.value("clrTextIn").toUInt(), 0x445566u);
    EXPECT_EQ(settings.value("clrBkTextIn").toUInt(), 0xFFFFFFu);
    EXPECT_EQ(settings.value("RecvEncoding").toInt(), 0);
    EXPECT_EQ(settings.allKeys().size(), 14);
    EXPECT_FALSE(frame->Env().bEcho);
    EXPECT_EQ(frame->Env().nMaxLine, 1000);
    // The monitors hear of the new settings once.
    ASSERT_EQ(announced.size(), 1);
    const auto env = announced[0][0].value<EnvSettings>();
    EXPECT_EQ(env, frame->Env());
    EXPECT_EQ(env.colours[EnvSettings::Bk], 0x112233u);
}

TEST_F(MainFrameTest, MonitorsFillTheAreaLightTheirLampsAndAreListedInTheWindowMenu)
{
    auto app = StartApp();
    CMainFrame* frame = app->MainFrame();
    auto* first = qobject_cast<CChildFrame*>(app->OnFileNew("Tvn")->Frame());
    ASSERT_NE(first, nullptr);
    const QRect area = frame->MdiClient()->viewport()->rect();
    const QRect placed = first->geometry();
    EXPECT_EQ(placed.center(), area.center()) << "centred";
    EXPECT_GT(placed.width(), area.width() * 9 / 10);
    EXPECT_GT(placed.height(), area.height() * 9 / 10);
    EXPECT_TRUE(area.contains(placed));

    first->showMaximized();
    app->OnFileNew("Script");
    auto* second = qobject_cast<CChildFrame*>(app->OnFileNew("Tvn")->Frame());
    ASSERT_NE(second, nullptr);

    // The lamp timer switches off the lamps of every monitor and then rests.
    EXPECT_FALSE(frame->IsLampTimerActive()) << "no lamp is lit: nothing to wake for";
    first->SetSendLamp(100);
    second->SetReceiveLamp(100);
    EXPECT_TRUE(frame->IsLampTimerActive());
    QTRY_COMPARE_WITH_TIMEOUT(first->SendLamp(), 0, 10000);
    QTRY_COMPARE_WITH_TIMEOUT(second->ReceiveLamp(), 0, 10000);
    EXPECT_FALSE(frame->IsLampTimerActive());

    QMenu* windows = nullptr;
    for (QAction* entry : frame->menuBar()->actions()) {
        if (entry->text() == "창(&W)")
            windows = entry->menu<QMenu*>();
    }
    ASSERT_NE(windows, nullptr);
    // What the menu shows when it opens, the current window ticked.
    EXPECT_EQ(ShownItems(windows), QStringList({"계단식 배열(&C)", "바둑판식 배열(&T)", "&1 Tvn1",
                                                "&2 Script1", "&3 Tvn2 *"}));
    // Choosing an entry brings its window forward; the list follows.
    for (QAction* item : windows->actions()) {
        if (item->text() == "&1 Tvn1")
            item->trigger();
    }
    EXPECT_EQ(frame->MdiClient()->activeSubWindow(), first);
    EXPECT_EQ(ShownItems(windows).last(), "&3 Tvn2");
    EXPECT_TRUE(ShownItems(windows).contains("&1 Tvn1 *"));
}

#include "CMainFrameTest.moc"
