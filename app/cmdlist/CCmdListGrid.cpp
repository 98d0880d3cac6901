#include "CCmdListGrid.h"

#include "CButtonDelegate.h"
#include "CmdListConstants.h"
#include "RepeatFile.h"

#include <QContextMenuEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QSignalBlocker>

#include <algorithm>

namespace {

constexpr Qt::Alignment kButtonAlignment = Qt::AlignCenter;
constexpr Qt::Alignment kTextAlignment = Qt::AlignLeft | Qt::AlignVCenter;

struct MenuItem
{
    CmdListCommand id;
    const char* text;
};
// The "CmdList" popup, in its order; a separator after the list commands.
constexpr MenuItem kMenuItems[] = {
    {CmdListCommand::Load, QT_TRANSLATE_NOOP("CCmdListGrid", "리스트 불러오기")},
    {CmdListCommand::Save, QT_TRANSLATE_NOOP("CCmdListGrid", "리스트 저장하기")},
    {CmdListCommand::Clear, QT_TRANSLATE_NOOP("CCmdListGrid", "리스트 전체 삭제")},
    {CmdListCommand::AddRow, QT_TRANSLATE_NOOP("CCmdListGrid", "전송열 추가")},
    {CmdListCommand::InsertRow, QT_TRANSLATE_NOOP("CCmdListGrid", "전송열 삽입")},
    {CmdListCommand::DeleteRow, QT_TRANSLATE_NOOP("CCmdListGrid", "전송열 삭제")},
    {CmdListCommand::SendSequence, QT_TRANSLATE_NOOP("CCmdListGrid", "순서 전송")},
    {CmdListCommand::StopRepeats, QT_TRANSLATE_NOOP("CCmdListGrid", "반복 전송 모두 중지")},
};
// Separators go before these items.
constexpr CmdListCommand kSeparatorsBefore[] = {CmdListCommand::AddRow,
                                                CmdListCommand::SendSequence};

QTableWidgetItem* NewCell(Qt::ItemFlags flags, Qt::Alignment alignment, int param)
{
    auto* cell = new QTableWidgetItem;
    cell->setFlags(flags);
    cell->setTextAlignment(alignment);
    cell->setData(kParamRole, param);
    return cell;
}

} // namespace

CCmdListGrid::CCmdListGrid(QWidget* parent)
    : QTableWidget(parent), m_pButtonType(new CButtonDelegate(this))
{
    setObjectName(QString::number(kGridId));
    OnSetup();
    CreateMenu();
    connect(m_pButtonType, &CButtonDelegate::clicked, this, &CCmdListGrid::OnButtonClicked);
    connect(this, &QTableWidget::itemChanged, this, &CCmdListGrid::OnItemChanged);
}

void CCmdListGrid::OnSetup()
{
    setColumnCount(kCmdListColumns);
    setRowCount(kCmdListRows);
    verticalHeader()->hide();
    verticalHeader()->setMinimumSectionSize(kRowHeightPx);
    verticalHeader()->setDefaultSectionSize(kRowHeightPx);
    setHorizontalHeaderLabels(
        {tr("전송버튼"), tr("전송데이터"), tr("데이터 설명"), tr("반복(ms)")});
    horizontalHeader()->setDefaultAlignment(kButtonAlignment);
    // Only cells have the menu; a click on a heading does not show it, nor pass it here.
    horizontalHeader()->setContextMenuPolicy(Qt::PreventContextMenu);
    verticalHeader()->setContextMenuPolicy(Qt::PreventContextMenu);
    for (int column = 0; column < kCmdListColumns; ++column)
        setColumnWidth(column, kStartColumnWidthsPx[column]);

    QFont cellFont(QString::fromLatin1(kCellFontFamily));
    cellFont.setPixelSize(kCellFontPx);
    cellFont.setWeight(QFont::Normal);
    setFont(cellFont);

    setSelectionMode(ExtendedSelection);
    setEditTriggers(DoubleClicked | AnyKeyPressed);
    setItemDelegateForColumn(kButtonColumn, m_pButtonType);
    for (int row = 0; row < kCmdListRows; ++row)
        SetTextCells(row);
    Renumber();
}

void CCmdListGrid::CreateMenu()
{
    m_pMenu = new QMenu(QStringLiteral("CmdList"), this);
    m_pMenu->setObjectName(QStringLiteral("CmdList"));
    for (const MenuItem& item : kMenuItems) {
        if (std::ranges::find(kSeparatorsBefore, item.id) != std::end(kSeparatorsBefore))
            m_pMenu->addSeparator();
        QAction* action = m_pMenu->addAction(tr(item.text));
        action->setObjectName(QString::number(int(item.id)));
        connect(action, &QAction::triggered, this, [this, id = item.id] { OnMenuCommand(id); });
    }
}

int CCmdListGrid::Param(int row, int column) const
{
    const QTableWidgetItem* cell = item(row, column);
    return cell != nullptr ? cell->data(kParamRole).toInt() : 0;
}

QString CCmdListGrid::Text(int row, int column) const
{
    const QTableWidgetItem* cell = item(row, column);
    return cell != nullptr ? cell->text() : QString();
}

CommandRows CCmdListGrid::Rows() const
{
    CommandRows rows;
    rows.reserve(rowCount());
    for (int row = 0; row < rowCount(); ++row)
        rows.append({Text(row, kTextColumn), Text(row, kDescriptionColumn)});
    return rows;
}

void CCmdListGrid::SetRows(const CommandRows& rows)
{
    if (rows.size() > rowCount()) {
        const int old = rowCount();
        setRowCount(int(rows.size()));
        for (int row = old; row < rowCount(); ++row)
            SetTextCells(row);
        Renumber(old);
    }
    for (int row = 0; row < rowCount(); ++row) {
        const CommandRow entry = row < rows.size() ? rows[row] : CommandRow();
        item(row, kTextColumn)->setText(entry.text);
        item(row, kDescriptionColumn)->setText(entry.description);
        item(row, kPeriodColumn)->setText(QString());
    }
}

void CCmdListGrid::ClearTexts()
{
    SetRows({});
}

int CCmdListGrid::Period(int row) const
{
    return BoundedPeriod(Text(row, kPeriodColumn).toLongLong());
}

QList<int> CCmdListGrid::Periods() const
{
    QList<int> periods;
    periods.reserve(rowCount());
    for (int row = 0; row < rowCount(); ++row)
        periods.append(Period(row));
    return periods;
}

void CCmdListGrid::SetPeriods(const QList<int>& periods)
{
    for (int row = 0; row < rowCount(); ++row) {
        const int period = row < periods.size() ? BoundedPeriod(periods[row]) : 0;
        item(row, kPeriodColumn)->setText(period > 0 ? QString::number(period) : QString());
    }
}

void CCmdListGrid::SetRepeating(int row, bool repeating)
{
    if (QTableWidgetItem* cell = item(row, kPeriodColumn)) {
        // Not a change of the period: nobody is told.
        const QSignalBlocker quiet(this);
        cell->setData(kRepeatingRole, repeating);
        viewport()->update(visualRect(model()->index(row, kButtonColumn)));
    }
}

bool CCmdListGrid::IsRepeating(int row) const
{
    const QTableWidgetItem* cell = item(row, kPeriodColumn);
    return cell != nullptr && cell->data(kRepeatingRole).toBool();
}

QList<int> CCmdListGrid::SelectedRows() const
{
    QList<int> rows;
    for (const QModelIndex& index : selectedIndexes())
        rows.append(index.row());
    std::ranges::sort(rows);
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

void CCmdListGrid::AppendRow()
{
    InsertRow(rowCount());
}

void CCmdListGrid::InsertRow(int row)
{
    insertRow(row);
    SetTextCells(row);
    Renumber(row);
}

void CCmdListGrid::DeleteRow(int row)
{
    removeRow(row);
    Renumber(row);
}

void CCmdListGrid::SetTextCells(int row)
{
    const Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable;
    for (int column : {kTextColumn, kDescriptionColumn, kPeriodColumn})
        setItem(row, column, NewCell(flags, kTextAlignment, kParamEditable));
}

void CCmdListGrid::Renumber(int first)
{
    // Fresh cells rather than changed ones: the table finds a moved cell by searching all of
    // them, which over a long list turns renumbering quadratic.
    const Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    for (int row = first; row < rowCount(); ++row) {
        QTableWidgetItem* button = NewCell(flags, kButtonAlignment, kParamFirstButton + row);
        button->setText(tr("전송 %1").arg(row + 1));
        setItem(row, kButtonColumn, button);
    }
}

void CCmdListGrid::SetColumnWidths()
{
    const int width = viewport()->width();
    for (int column = 0; column < kCmdListColumns; ++column)
        setColumnWidth(column, width * kColumnWidthPercent[column] / 100);
}

void CCmdListGrid::resizeEvent(QResizeEvent* event)
{
    QTableWidget::resizeEvent(event);
    SetColumnWidths();
}

QModelIndex CCmdListGrid::moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers)
{
    // Tab and Shift+Tab stay in the row, wrapping from its last cell to its first and back.
    const QModelIndex current = currentIndex();
    if (!current.isValid() || (cursorAction != MoveNext && cursorAction != MovePrevious))
        return QTableWidget::moveCursor(cursorAction, modifiers);
    const int step = cursorAction == MoveNext ? 1 : columnCount() - 1;
    return model()->index(current.row(), (current.column() + step) % columnCount());
}

void CCmdListGrid::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Delete && event->modifiers() == Qt::NoModifier) {
        // A button keeps its label: only texts are cleared.
        QTableWidgetItem* cell = currentItem();
        if (cell != nullptr && cell->flags().testFlag(Qt::ItemIsEditable))
            cell->setText(QString());
        event->accept();
        return;
    }
    QTableWidget::keyPressEvent(event);
}

void CCmdListGrid::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint)
{
    // Editing never carries on into another cell: Tab ends the edit and moves on in the row.
    const bool next = hint == QAbstractItemDelegate::EditNextItem;
    const bool previous = hint == QAbstractItemDelegate::EditPreviousItem;
    QTableWidget::closeEditor(editor, next || previous ? QAbstractItemDelegate::NoHint : hint);
    if (next || previous)
        setCurrentIndex(moveCursor(next ? MoveNext : MovePrevious, Qt::NoModifier));
}

void CCmdListGrid::contextMenuEvent(QContextMenuEvent* event)
{
    QPoint pos = event->pos();
    if (event->reason() != QContextMenuEvent::Mouse && currentIndex().isValid())
        pos = visualRect(currentIndex()).center();
    // Below the last row only the commands that need no row are offered, so a list whose
    // rows were all deleted can still grow again.
    m_nMenuRow = rowAt(pos.y());
    for (QAction* action : m_pMenu->actions()) {
        const auto id = CmdListCommand(action->objectName().toInt());
        if (id == CmdListCommand::InsertRow || id == CmdListCommand::DeleteRow)
            action->setEnabled(m_nMenuRow >= 0);
    }
    m_pMenu->popup(viewport()->mapToGlobal(pos));
    event->accept();
}

void CCmdListGrid::OnMenuCommand(CmdListCommand id)
{
    const bool onRow = m_nMenuRow >= 0 && m_nMenuRow < rowCount();
    switch (id) {
    case CmdListCommand::AddRow:
        AppendRow();
        break;
    case CmdListCommand::InsertRow:
        if (onRow)
            InsertRow(m_nMenuRow);
        break;
    case CmdListCommand::DeleteRow:
        if (onRow)
            DeleteRow(m_nMenuRow);
        break;
    default:
        emit commandRequested(id);
    }
}

void CCmdListGrid::OnButtonClicked(const QModelIndex& index)
{
    const int row = index.row();
    if (Param(row, index.column()) < kParamFirstButton)
        return;
    // A repeating row stops on a click even when its period was cleared meanwhile.
    if (Period(row) > 0 || IsRepeating(row))
        emit repeatToggled(row);
    else
        emit sendRequested(row, Text(row, kTextColumn));
}

void CCmdListGrid::OnItemChanged(QTableWidgetItem* cell)
{
    if (cell->column() != kPeriodColumn)
        return;
    // Whatever was typed, the cell shows the period that is used: a number out of bounds is
    // brought within them, anything else clears it.
    const int period = Period(cell->row());
    const QString shown = period > 0 ? QString::number(period) : QString();
    if (cell->text() != shown) {
        cell->setText(shown); // comes back here once, with the text already right
        return;
    }
    // The button's look follows whether the row has a period.
    viewport()->update(visualRect(model()->index(cell->row(), kButtonColumn)));
    emit periodChanged(cell->row());
}
