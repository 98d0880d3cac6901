#include "LinkObjects.h"
#include "MonitorAppTest.h"

#include "CChildFrame.h"
#include "CColorPicker.h"
#include "CFileSendDlg.h"
#include "CMdiClientWnd.h"
#include "CPaneIndicator.h"
#include "CReplayFrame.h"
#include "CReplayWindow.h"
#include "CommandIds.h"
#include "DialogControls.h"
#include "EnvSettingsDlgIds.h"
#include "FileSendDlgIds.h"
#include "TcpPeer.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSpinBox>

namespace {

class AppIntegrationTest : public MonitorAppTest
{
protected:
    // A server link on a free port, which opens without a peer.
    void UseServer()
    {
        SetValue("Interface", 1);
        SetValue("Active", 1);
        SetValue("ServerPort", FreePort());
    }

    // Runs the view's context menu and reads each item's state by position.
    QList<QAction*> ContextMenuItems(CTARVENView* view)
    {
        QList<QAction*> items;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            for (QWidget* widget : QApplication::topLevelWidgets()) {
                auto* menu = qobject_cast<QMenu*>(widget);
                if (menu != nullptr && menu->isVisible()) {
                    items = menu->actions();
                    menu->close();
                }
            }
        });
        poll.start(20);
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(10, 10),
                                view->mapToGlobal(QPoint(10, 10)));
        QApplication::sendEvent(view, &event);
        return items;
    }
};

} // namespace

TEST_F(AppIntegrationTest, ContextMenuStatesFollowTheWindow)
{
    UseServer();
    CTARVENView* view = OpenMonitor();
    QList<QAction*> items = ContextMenuItems(view);
    ASSERT_EQ(items.size(), 28);
    EXPECT_EQ(items[21]->text(), "복사");
    // Open, close and send enabled; pause, capture, text, hex, control and panel ticked.
    const auto states = [&items] {
        QList<bool> state;
        for (int i : {0, 1, 8})
            state << items[i]->isEnabled();
        for (int i : {5, 7, 10, 11, 12, 19})
            state << items[i]->isChecked();
        return state;
    };
    EXPECT_EQ(states(), QList<bool>({true, false, true, false, false, true, false, false, true}));

    view->OnPortOpen();
    view->OnPause();
    view->OnCapture();
    view->OnHexView();
    view->OnControlView();
    view->OnTogglePanel();
    items = ContextMenuItems(view);
    EXPECT_EQ(states(), QList<bool>({false, true, false, true, true, false, true, true, false}));
}

TEST_F(AppIntegrationTest, ActiveMonitorIsTheSendTargetUntilItCloses)
{
    CTARVENView* first = OpenMonitor();
    UseServer();
    CTARVENView* second = OpenMonitor();
    EXPECT_EQ(Frame()->SendTarget(), second->Link());
    EXPECT_EQ(Frame()->SendTarget()->SendTranslated("AT\r"), 0) << "the link is not open";
    EXPECT_EQ(second->Sent(), 0);
    second->OnPortOpen();
    TcpPeer peer = TcpPeer::Connect(quint16(second->Link()->Settings().nServerPort));
    ASSERT_TRUE(WaitFor([&] { return second->Link()->ConnectionCount() == 1; }));
    peer.Take(27); // the welcome text
    EXPECT_EQ(Frame()->SendTarget()->SendTranslated("AT\r"), 3);
    EXPECT_EQ(peer.Take(3), "AT\r");
    EXPECT_EQ(second->Sent(), 3);
    EXPECT_TRUE(Shown(*second).endsWith("AT\r"));

    // The send lamp lights and the main frame's timer puts it out again.
    CPaneIndicator* lamp = second->StatusBar()->SendPane();
    EXPECT_TRUE(lamp->IsLit());
    EXPECT_TRUE(WaitFor([&] { return !lamp->IsLit(); }));

    Frame()->MdiClient()->activatePreviousSubWindow();
    ASSERT_TRUE(WaitFor([&] { return Frame()->SendTarget() == first->Link(); }));
    Frame()->MdiClient()->closeActiveSubWindow();
    ASSERT_TRUE(WaitFor([&] { return Frame()->SendTarget() == second->Link(); }));
    Frame()->MdiClient()->closeAllSubWindows();
    // Closed windows are deleted when control is back in the event loop.
    ASSERT_TRUE(WaitFor([&] {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return Frame()->SendTarget() == nullptr;
    }));
}

TEST_F(AppIntegrationTest, FileTransferNeedsAnOpenLinkAndOutlivesAPeerThatLeaves)
{
    TcpListener listener;
    SetValue("Interface", 1);
    SetValue("Active", 0);
    SetValue("ServerPort", listener.Port());
    SetValue("ServerIP", qint32(0x7F000001));
    QDir().mkpath(Path("images/old"));
    SetValue("FileSendFolder", Path("images"));
    CTARVENView* view = OpenMonitor();
    EXPECT_FALSE(Frame()->Action(ID_FILE_TRANSFER)->isEnabled());
    EXPECT_TRUE(Frame()->Action(ID_CHECKSUM)->isEnabled());

    view->OnPortOpen();
    ASSERT_TRUE(WaitFor([&] { return view->IsOnline(); }));
    EXPECT_TRUE(Frame()->Action(ID_FILE_TRANSFER)->isEnabled());
    TcpPeer peer = listener.Accept();

    // The peer leaves while the transfer dialog is open: the window goes offline, and the
    // link the dialog writes to stays valid until the dialog closes. The dialog opens in the
    // folder used last, and the folder it closes in is the next one's.
    bool sawTransfer = false;
    m_onDialog = [&](QDialog* dialog) {
        auto* transfer = qobject_cast<CFileSendDlg*>(dialog);
        sawTransfer = transfer != nullptr;
        ASSERT_TRUE(sawTransfer);
        EXPECT_EQ(transfer->Settings().strFolder, Path("images") + "/");
        auto* path = dialog->findChild<QLineEdit*>(ControlName(FileSendDlgIds::IDC_PATH));
        path->setText(Path("images/old"));
        QTest::keyClick(path, Qt::Key_Return);
        peer.Close();
        EXPECT_TRUE(WaitFor([&] { return !view->IsOnline(); }));
        dialog->reject();
    };
    Frame()->Action(ID_FILE_TRANSFER)->trigger();
    EXPECT_TRUE(sawTransfer);
    EXPECT_EQ(QSettings(kCompanyName, kApplicationName).value("TARVEN/FileSendFolder"),
              Path("images/old") + "/");
    EXPECT_FALSE(view->IsOnline());
    EXPECT_EQ(ClientSocketOf(view->Link()), nullptr);
    EXPECT_FALSE(Frame()->Action(ID_FILE_TRANSFER)->isEnabled());

    m_onDialog = nullptr;
    EXPECT_TRUE(WaitForDialog([&] { Frame()->Action(ID_CHECKSUM)->trigger(); }));
}

TEST_F(AppIntegrationTest, ConfirmedEnvironmentSettingsReachEveryOpenMonitor)
{
    const QList<CTARVENView*> views = {OpenMonitor(), OpenMonitor()};
    m_onDialog = [](QDialog* dialog) {
        auto* spin = dialog->findChild<QSpinBox*>(ControlName(EnvSettingsDlgIds::IDC_MAX_LINE));
        spin->selectAll();
        QTest::keyClicks(spin, "1000");
        dialog->findChild<CColorPicker*>(ControlName(EnvSettingsDlgIds::IDC_BK))
            ->SetColour(0x00112233);
        QTest::mouseClick(dialog->findChild<QPushButton*>(kIdOk), Qt::LeftButton);
    };
    Frame()->OnEnvSettings();

    // Every monitor draws on the new background at once and keeps the new number of lines.
    for (CTARVENView* view : views) {
        CTextViewCtrl* terminal = view->TextView();
        const QImage shot = terminal->viewport()->grab().toImage();
        ASSERT_FALSE(shot.isNull());
        EXPECT_EQ(QColor(shot.pixel(shot.width() - 2, shot.height() - 2)),
                  QColor(0x33, 0x22, 0x11));
        for (int line = 0; line < 1500; ++line)
            terminal->TextWrite(reinterpret_cast<const unsigned char*>("line\n"), 5, 0x32);
        QTRY_VERIFY_WITH_TIMEOUT(terminal->GetLineSize() <= 1001, 10000);
        EXPECT_GE(terminal->GetLineSize(), 999);
    }
}

TEST_F(AppIntegrationTest, ViewMenuReplaysTheCaptureOfTheActiveMonitorOnly)
{
    QAction* replay = Frame()->Action(ID_VIEW_REPLAY);
    EXPECT_FALSE(replay->isVisible()) << "no monitor, no item";
    UseServer();
    CTARVENView* live = OpenMonitor();
    EXPECT_TRUE(replay->isVisible());
    EXPECT_FALSE(replay->isEnabled()) << "a live monitor shows no capture";
    const QList<QAction*> menus = Frame()->menuBar()->actions();
    const auto viewMenu = std::ranges::find_if(menus, [](const QAction* item) {
        return item->menu() != nullptr && item->menu()->title() == "보기(&V)";
    });
    ASSERT_NE(viewMenu, menus.end());
    const QList<QAction*> items = (*viewMenu)->menu()->actions();
    EXPECT_EQ(items.indexOf(replay), items.indexOf(Frame()->Action(ID_VIEW_FIND_PREV)) + 1);

    const QByteArray chunk = "OK\r\n";
    const QString path = MakeFile("bench.tvn", CaptureFormat::EncodeHeader(0) +
                                                   EncodedRecord(0, chunk, kAttrReceived));
    CDocument* document = m_app->OpenDocumentFile(path);
    ASSERT_NE(document, nullptr);
    // A window opened from a capture file shows it.
    ASSERT_TRUE(WaitFor([&] { return replay->isEnabled(); }));
    EXPECT_EQ(Shown(*document->Frame()->findChild<CTARVENView*>()), chunk);
    replay->trigger();
    auto* frame = qobject_cast<CReplayFrame*>(Frame()->MdiClient()->activeSubWindow());
    ASSERT_NE(frame, nullptr);
    CReplayWindow* window = frame->Window();
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(frame->windowTitle(), "재생 - bench.tvn");
    ASSERT_TRUE(WaitFor([&] { return Shown(*window->Monitor()->View()) == chunk; }));

    for (QMdiSubWindow* child : Frame()->MdiClient()->subWindowList()) {
        if (child->isAncestorOf(live))
            Frame()->MdiClient()->setActiveSubWindow(child);
    }
    ASSERT_TRUE(WaitFor([&] { return !replay->isEnabled(); }));
    replay->trigger();
    EXPECT_EQ(Frame()->MdiClient()->subWindowList().size(), 3) << "a live monitor has no replay";
    EXPECT_TRUE(m_messages.texts.isEmpty());
}
