#include "CCmdListGrid.h"
#include "CmdListConstants.h"
#include "EventLoopWait.h"

#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class CmdListGridTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_grid.resize(600, 400);
        m_grid.show();
        m_grid.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&m_grid));
        m_grid.setFocus();
    }

    QPoint Centre(int row, int column)
    {
        m_grid.scrollTo(m_grid.model()->index(row, column));
        return m_grid.visualRect(m_grid.model()->index(row, column)).center();
    }
    // Press, release, then the double click, as the mouse sends them.
    void DoubleClick(int row, int column)
    {
        const QPoint at = Centre(row, column);
        QTest::mouseClick(m_grid.viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(m_grid.viewport(), Qt::LeftButton, {}, at);
    }
    QPoint Current() const { return {m_grid.currentIndex().row(), m_grid.currentIndex().column()}; }
    // The open editor; a closed one lingers hidden until it is deleted.
    QLineEdit* Editor() const
    {
        for (QLineEdit* editor : m_grid.findChildren<QLineEdit*>()) {
            if (editor->isVisible())
                return editor;
        }
        return nullptr;
    }
    // Keys go where the focus is, as a person's do: into the editor once one opens.
    static void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key(key), modifiers);
    }
    static void Type(const char* text)
    {
        for (; *text != '\0'; ++text)
            QTest::keyClick(QApplication::focusWidget(), *text);
    }
    // The button labels and parameters, and whether each text cell is editable, row by row.
    void ExpectNumbered()
    {
        for (int row = 0; row < m_grid.rowCount(); ++row) {
            ASSERT_EQ(m_grid.Text(row, kButtonColumn), QStringLiteral("전송 %1").arg(row + 1));
            ASSERT_EQ(m_grid.Param(row, kButtonColumn), kParamFirstButton + row);
            ASSERT_EQ(m_grid.Param(row, kTextColumn), kParamEditable) << row;
            ASSERT_EQ(m_grid.Param(row, kDescriptionColumn), kParamEditable) << row;
            ASSERT_EQ(m_grid.Param(row, kPeriodColumn), kParamEditable) << row;
            ASSERT_TRUE(m_grid.item(row, kTextColumn)->flags() & Qt::ItemIsEditable) << row;
            ASSERT_FALSE(m_grid.item(row, kButtonColumn)->flags() & Qt::ItemIsEditable) << row;
        }
    }

    CCmdListGrid m_grid;
};

} // namespace

TEST_F(CmdListGridTest, TwoHundredRowsUnderTheFourHeadingsStayNumberedHoweverRowsChange)
{
    EXPECT_EQ(m_grid.rowCount(), 200);
    EXPECT_EQ(m_grid.columnCount(), 4);
    EXPECT_FALSE(m_grid.verticalHeader()->isVisible());
    QStringList headings;
    for (int column = 0; column < 4; ++column)
        headings.append(m_grid.horizontalHeaderItem(column)->text());
    EXPECT_EQ(headings, QStringList({"전송버튼", "전송데이터", "데이터 설명", "반복(ms)"}));
    ExpectNumbered();

    // The columns share the grid's width 8 : 36 : 42 : 12, truncated to whole pixels.
    m_grid.resize(717, 300);
    const int width = m_grid.viewport()->width();
    EXPECT_EQ(m_grid.columnWidth(0), width * 8 / 100);
    EXPECT_EQ(m_grid.columnWidth(1), width * 36 / 100);
    EXPECT_EQ(m_grid.columnWidth(2), width * 42 / 100);
    EXPECT_EQ(m_grid.columnWidth(3), width * 12 / 100);

    // Rows inserted, appended and deleted keep every button numbered.
    m_grid.item(5, kTextColumn)->setText("old sixth");
    m_grid.InsertRow(5);
    EXPECT_EQ(m_grid.rowCount(), 201);
    EXPECT_EQ(m_grid.Text(5, kButtonColumn), "전송 6");
    EXPECT_EQ(m_grid.Text(5, kTextColumn), "");
    EXPECT_EQ(m_grid.Text(6, kButtonColumn), "전송 7");
    EXPECT_EQ(m_grid.Text(6, kTextColumn), "old sixth");
    ExpectNumbered();

    m_grid.AppendRow();
    EXPECT_EQ(m_grid.Text(201, kButtonColumn), "전송 202");
    m_grid.DeleteRow(0);
    EXPECT_EQ(m_grid.Text(4, kButtonColumn), "전송 5");
    EXPECT_EQ(m_grid.Text(5, kTextColumn), "old sixth");
    ExpectNumbered();

    // Loading more rows than the grid has grows it; clearing keeps every row and button.
    m_grid.SetRows(CommandRows(250, {"AT", "x"}));
    EXPECT_EQ(m_grid.rowCount(), 250);
    ExpectNumbered();
    m_grid.ClearTexts();
    EXPECT_EQ(m_grid.rowCount(), 250);
    EXPECT_EQ(m_grid.Rows(), CommandRows(250));
    ExpectNumbered();
}

TEST_F(CmdListGridTest, KeysAndClicksEditTextsButNeverAButton)
{
    // A typed character starts the edit with that character, replacing the old text.
    m_grid.item(0, kTextColumn)->setText("old");
    m_grid.setCurrentCell(0, kTextColumn);
    Type("AT");
    ASSERT_NE(Editor(), nullptr);
    EXPECT_EQ(Editor()->text(), "AT");
    // Tab ends the edit, keeps it, and moves on in the row without editing there.
    QTest::keyClick(Editor(), Qt::Key_Tab);
    EXPECT_EQ(m_grid.Text(0, kTextColumn), "AT");
    EXPECT_EQ(Current(), QPoint(0, 2));
    EXPECT_EQ(Editor(), nullptr);

    // Escape leaves the text as it was.
    DoubleClick(0, kTextColumn);
    ASSERT_NE(Editor(), nullptr);
    QTest::keyClicks(Editor(), "X");
    QTest::keyClick(Editor(), Qt::Key_Escape);
    EXPECT_EQ(m_grid.Text(0, kTextColumn), "AT");

    // Delete clears a text; a button keeps its label and is never edited.
    m_grid.setCurrentCell(0, kTextColumn);
    Key(Qt::Key_Delete);
    EXPECT_EQ(m_grid.Text(0, kTextColumn), "");
    QSignalSpy sends(&m_grid, &CCmdListGrid::sendRequested);
    m_grid.setCurrentCell(1, kButtonColumn);
    Key(Qt::Key_Delete);
    Type("Z");
    DoubleClick(1, kButtonColumn);
    EXPECT_EQ(Editor(), nullptr);
    EXPECT_EQ(m_grid.Text(1, kButtonColumn), "전송 2");
    EXPECT_EQ(sends.size(), 1); // the first click of the double click

    // Pressed on one button and let go on another is no click.
    QTest::mousePress(m_grid.viewport(), Qt::LeftButton, {}, Centre(7, kButtonColumn));
    QTest::mouseRelease(m_grid.viewport(), Qt::LeftButton, {}, Centre(8, kButtonColumn));
    EXPECT_EQ(sends.size(), 1);
}

TEST_F(CmdListGridTest, ContextMenuActsOnTheClickedRowAndOnlyOnCells)
{
    QSignalSpy commands(&m_grid, &CCmdListGrid::commandRequested);
    QMenu* menu = m_grid.ContextMenu();
    QStringList items;
    for (QAction* action : menu->actions()) {
        if (!action->isSeparator())
            items.append(action->objectName() + " " + action->text());
    }
    EXPECT_EQ(items,
              QStringList({"32797 리스트 불러오기", "32798 리스트 저장하기",
                           "32795 리스트 전체 삭제", "32811 전송열 추가", "32813 전송열 삽입",
                           "32812 전송열 삭제", "32814 순서 전송", "32815 반복 전송 모두 중지"}));

    const auto rightClick = [](QWidget* widget, QPoint pos) {
        QContextMenuEvent event(QContextMenuEvent::Mouse, pos, widget->mapToGlobal(pos));
        QApplication::sendEvent(widget, &event);
    };
    rightClick(m_grid.horizontalHeader()->viewport(), QPoint(20, 5));
    EXPECT_FALSE(menu->isVisible());

    m_grid.item(6, kTextColumn)->setText("seventh");
    rightClick(m_grid.viewport(), Centre(5, kTextColumn));
    ASSERT_TRUE(WaitFor([&] { return menu->isVisible(); }));
    EXPECT_EQ(m_grid.MenuRow(), 5);
    menu->findChild<QAction*>("32812")->trigger();
    menu->close();
    EXPECT_EQ(m_grid.rowCount(), 199);
    EXPECT_EQ(m_grid.Text(5, kTextColumn), "seventh");
    ExpectNumbered();

    // The list commands go to the panel.
    for (const char* id : {"32797", "32798", "32795"})
        menu->findChild<QAction*>(id)->trigger();
    ASSERT_EQ(commands.size(), 3);
    EXPECT_EQ(commands[0][0].value<CmdListCommand>(), CmdListCommand::Load);
    EXPECT_EQ(commands[1][0].value<CmdListCommand>(), CmdListCommand::Save);
    EXPECT_EQ(commands[2][0].value<CmdListCommand>(), CmdListCommand::Clear);

    // With every row gone the menu still offers to add one.
    while (m_grid.rowCount() > 0)
        m_grid.DeleteRow(0);
    rightClick(m_grid.viewport(), QPoint(30, 30));
    EXPECT_EQ(m_grid.MenuRow(), -1);
    EXPECT_FALSE(menu->findChild<QAction*>("32812")->isEnabled());
    menu->findChild<QAction*>("32811")->trigger();
    menu->close();
    EXPECT_EQ(m_grid.rowCount(), 1);
    EXPECT_EQ(m_grid.Text(0, kButtonColumn), "전송 1");
}

TEST_F(CmdListGridTest, APeriodIsKeptWithinItsBoundsAndTurnsTheButtonIntoAToggle)
{
    // What a person types into "반복(ms)" and what the cell keeps.
    const struct
    {
        const char* typed;
        const char* kept;
        int period;
    } cases[] = {
        {"100", "100", 100},
        {"5", "10", 10},
        {"0", "", 0},
        {"abc", "", 0},
        {"-20", "", 0},
        {"86400001", "86400000", 86400000},
        {"99999999999999999999", "", 0},
    };
    QSignalSpy changes(&m_grid, &CCmdListGrid::periodChanged);
    for (const auto& c : cases) {
        m_grid.setCurrentCell(3, kPeriodColumn);
        Type(c.typed);
        Key(Qt::Key_Return);
        QCoreApplication::processEvents(); // the edit is committed from a queued call
        EXPECT_EQ(m_grid.Text(3, kPeriodColumn), c.kept) << c.typed;
        EXPECT_EQ(m_grid.Period(3), c.period) << c.typed;
    }
    EXPECT_FALSE(changes.isEmpty());
    EXPECT_EQ(changes.last().at(0).toInt(), 3);

    // A button without a period sends; with one, it toggles the repeat.
    QSignalSpy sends(&m_grid, &CCmdListGrid::sendRequested);
    QSignalSpy toggles(&m_grid, &CCmdListGrid::repeatToggled);
    m_grid.item(3, kTextColumn)->setText("PING");
    QTest::mouseClick(m_grid.viewport(), Qt::LeftButton, {}, Centre(3, kButtonColumn));
    EXPECT_EQ(sends.size(), 1);
    m_grid.item(3, kPeriodColumn)->setText("250");
    QTest::mouseClick(m_grid.viewport(), Qt::LeftButton, {}, Centre(3, kButtonColumn));
    EXPECT_EQ(sends.size(), 1);
    ASSERT_EQ(toggles.size(), 1);
    EXPECT_EQ(toggles.at(0).at(0).toInt(), 3);

    // A repeating row still stops on a click after its period was cleared.
    m_grid.SetRepeating(3, true);
    m_grid.item(3, kPeriodColumn)->setText("");
    QTest::mouseClick(m_grid.viewport(), Qt::LeftButton, {}, Centre(3, kButtonColumn));
    EXPECT_EQ(toggles.size(), 2);
    EXPECT_EQ(sends.size(), 1);

    // Periods follow their rows, and clearing the list clears them.
    m_grid.SetPeriods({0, 0, 0, 500});
    m_grid.InsertRow(0);
    EXPECT_EQ(m_grid.Period(4), 500);
    EXPECT_TRUE(m_grid.IsRepeating(4));
    m_grid.ClearTexts();
    EXPECT_EQ(m_grid.Periods(), QList<int>(201, 0));
}
