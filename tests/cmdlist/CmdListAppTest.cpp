#include "CCmdListBar.h"
#include "CCmdListDlg.h"
#include "CCmdListGrid.h"
#include "CMdiClientWnd.h"
#include "CMonitorLink.h"
#include "CmdListConstants.h"
#include "CommandFile.h"
#include "CommandIds.h"
#include "MonitorAppTest.h"
#include "PtyPair.h"
#include "TcpPeer.h"

#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QWindow>

namespace {

// The whole program, driven the way a person does: events go to the main window and reach
// whatever widget has the focus or lies under the pointer.
class CmdListAppTest : public MonitorAppTest
{
protected:
    void SetUp() override
    {
        MonitorAppTest::SetUp();
        m_pGrid = qobject_cast<CCmdListBar*>(Frame()->CmdListBar())->Panel()->Grid();
    }

    QWindow* Window() const { return Frame()->windowHandle(); }

    CTARVENView* OpenSerialMonitor(const PtyPair& pty)
    {
        SetValue("Interface", 0);
        SetValue("PortName", QString::fromStdString(pty.SlavePath()));
        CTARVENView* view = OpenMonitor();
        Frame()->Action(ID_PORT_OPEN)->trigger();
        EXPECT_TRUE(view->IsOnline());
        return view;
    }

    // Where a cell of the grid lies in the main window, scrolled into view first.
    QPoint CellInWindow(int row, int column) const
    {
        const QModelIndex index = m_pGrid->model()->index(row, column);
        m_pGrid->scrollTo(index);
        const QRect cell = m_pGrid->visualRect(index);
        return m_pGrid->viewport()->mapTo(Frame(), cell.center());
    }
    void Click(int row, int column, Qt::MouseButton button = Qt::LeftButton)
    {
        QTest::mouseClick(Window(), button, {}, CellInWindow(row, column));
    }
    void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(Window(), key, modifiers);
    }
    void TypeText(const QString& text)
    {
        for (QChar c : text)
            QTest::keyClick(Window(), c.toLatin1());
    }
    QPoint Current() const
    {
        return {m_pGrid->currentIndex().row(), m_pGrid->currentIndex().column()};
    }

    CCmdListGrid* m_pGrid = nullptr;
};

} // namespace

TEST_F(CmdListAppTest, APersonFillsARowAndSendsItToTheMonitorActivatedLastWithAClick)
{
    PtyPair pty;
    CTARVENView* view = OpenSerialMonitor(pty);
    ASSERT_TRUE(m_pGrid->isVisible());
    m_pGrid->item(4, kTextColumn)->setText("fifth");

    // A click puts the keys in the grid; typing starts an edit with the typed character.
    Click(0, kTextColumn);
    EXPECT_EQ(QApplication::focusWidget(), m_pGrid);
    TypeText("AT<0D><0A>");
    EXPECT_NE(qobject_cast<QLineEdit*>(QApplication::focusWidget()), nullptr);
    Key(Qt::Key_Return);
    EXPECT_EQ(m_pGrid->Text(0, kTextColumn), "AT<0D><0A>");

    // Tab and Shift+Tab go round the row.
    Key(Qt::Key_Tab);
    EXPECT_EQ(Current(), QPoint(0, 2));
    TypeText("hello");
    Key(Qt::Key_Tab);
    EXPECT_EQ(m_pGrid->Text(0, kDescriptionColumn), "hello");
    EXPECT_EQ(Current(), QPoint(0, kPeriodColumn));
    Key(Qt::Key_Tab);
    EXPECT_EQ(Current(), QPoint(0, 0));
    Key(Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(Current(), QPoint(0, kPeriodColumn));

    // A right click on a cell opens the list's menu there; its insert makes a new fifth row.
    Click(4, kDescriptionColumn, Qt::RightButton);
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->objectName(), "CmdList");
    QAction* insert = menu->findChild<QAction*>(QString::number(int(CmdListCommand::InsertRow)));
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(insert).center());
    EXPECT_EQ(m_pGrid->rowCount(), 201);
    EXPECT_EQ(m_pGrid->Text(4, kTextColumn), "");
    EXPECT_EQ(m_pGrid->Text(4, kButtonColumn), "전송 5");
    EXPECT_EQ(m_pGrid->Text(5, kTextColumn), "fifth");
    EXPECT_EQ(m_pGrid->Text(5, kButtonColumn), "전송 6");

    // A click on "전송 1" sends the row on the monitor's link.
    Click(0, kButtonColumn);
    EXPECT_EQ(pty.Receive(4, std::chrono::seconds(10)), "AT\r\n");
    ASSERT_TRUE(WaitFor([&] { return view->Sent() == 4; }));
    EXPECT_TRUE(Shown(*view).endsWith("AT\r\n"));

    // The monitor activated last gets the bytes.
    PtyPair second;
    OpenSerialMonitor(second);
    m_pGrid->item(1, kTextColumn)->setText("2<0D>");
    Click(0, kButtonColumn);
    EXPECT_EQ(second.Receive(4, std::chrono::seconds(10)), "AT\r\n");
    Frame()->MdiClient()->activatePreviousSubWindow();
    ASSERT_TRUE(WaitFor([&] { return Frame()->SendTarget() == view->Link(); }));
    Click(1, kButtonColumn);
    EXPECT_EQ(pty.Receive(2, std::chrono::seconds(10)), "2\r");

    // Closing both windows: a click while they go says nothing, and once they are gone one
    // reaches neither.
    Frame()->MdiClient()->closeAllSubWindows();
    Click(0, kButtonColumn);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_TRUE(WaitFor([&] { return Frame()->SendTarget() == nullptr; }));
    Click(1, kButtonColumn);
    RunEventsFor(50);
    EXPECT_TRUE(m_messages.texts.isEmpty());
    EXPECT_EQ(pty.Receive(64, std::chrono::milliseconds(50)), "");
    EXPECT_EQ(second.Receive(64, std::chrono::milliseconds(50)).find("2\r"), std::string::npos);
}

TEST_F(CmdListAppTest, CommandFilesOpenIntoTheListWhereverTheyComeFrom)
{
    const CommandRows rows = {{"AT<0D>", QStringLiteral("모뎀 확인")}, {"ATI<0D>", "id"}};
    const QString bench = MakeFile("bench.tcf", *SerializeCommandFile(rows, nullptr));
    const QString shouting = MakeFile("SHOUT.TCF", *SerializeCommandFile({{"X", ""}}, nullptr));
    const QString damaged = MakeFile("damaged.Tcf", "junk");

    // From the File menu's open (or the recent files), into a list the user had hidden.
    Frame()->CmdListBar()->hide();
    ASSERT_TRUE(m_app->OpenFile(shouting));
    EXPECT_TRUE(Frame()->CmdListBar()->isVisible());
    EXPECT_EQ(m_pGrid->Text(0, kTextColumn), "X");
    EXPECT_TRUE(Frame()->MdiClient()->subWindowList().isEmpty()) << "no monitor for it";

    // From the command line: loaded once the window is up, over the list's last file; the
    // damaged file is told by the list, the missing one by the program, each once.
    m_program.reset();
    m_program = StartProgram({bench, damaged, Path("missing.tcf")});
    m_app = &m_program->App();
    auto* panel = qobject_cast<CCmdListBar*>(Frame()->CmdListBar())->Panel();
    QTRY_COMPARE_WITH_TIMEOUT(m_messages.texts.size(), 2, 10000);
    EXPECT_TRUE(m_messages.texts[0].startsWith(
        QStringLiteral("명령 파일이 손상되었습니다: %1\n").arg(damaged)));
    EXPECT_TRUE(m_messages.texts[1].startsWith(QStringLiteral("파일을 열 수 없습니다.\n")));
    EXPECT_TRUE(m_messages.texts[1].contains("missing.tcf: "));
    EXPECT_FALSE(m_messages.texts[1].contains("damaged"));
    EXPECT_EQ(panel->Grid()->Rows().mid(0, 2), rows);
    EXPECT_EQ(panel->FileNameBox()->text(), bench);
    EXPECT_TRUE(Frame()->MdiClient()->subWindowList().isEmpty());
}
