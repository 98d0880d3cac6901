#pragma once

#include "CmdListConstants.h"
#include "CommandFile.h"

#include <QTableWidget>

class CButtonDelegate;
class QMenu;

// The grid of the command list: on each row a send button, the transmit text, a free
// description and a repeat period. It edits in place, keeps the buttons numbered, and reports
// clicks on a button and the list commands of its context menu to the panel.
class CCmdListGrid : public QTableWidget
{
    Q_OBJECT

public:
    explicit CCmdListGrid(QWidget* parent = nullptr);

    // What a cell is: kParamEditable for the texts, kParamFirstButton plus the row index for a
    // send button, 0 for a cell that does not exist.
    int Param(int row, int column) const;
    QString Text(int row, int column) const;

    // The transmit texts and descriptions of every row, empty rows included.
    CommandRows Rows() const;
    // Puts rows into the first rows, growing the grid when they are more; the rest are empty.
    void SetRows(const CommandRows& rows);
    // Empties every text, description and period; the rows and their buttons stay.
    void ClearTexts();
    // The repeat period of a row in milliseconds, 0 when it has none.
    int Period(int row) const;
    QList<int> Periods() const;
    // Sets the periods of the first rows; the rest get none.
    void SetPeriods(const QList<int>& periods);
    // A repeating row's button is drawn pressed.
    void SetRepeating(int row, bool repeating);
    bool IsRepeating(int row) const;
    // The rows that have a selected cell, in row order.
    QList<int> SelectedRows() const;
    void AppendRow();
    void InsertRow(int row);
    void DeleteRow(int row);

    QMenu* ContextMenu() const { return m_pMenu; }
    // The row the context menu acts on, -1 when it opened below the last row.
    int MenuRow() const { return m_nMenuRow; }

signals:
    // A send button of a row without a period was clicked: the text of its row.
    void sendRequested(int row, const QString& text);
    // A send button of a row with a period was clicked: its repeat starts or stops.
    void repeatToggled(int row);
    // The period of a row was changed.
    void periodChanged(int row);
    // A context-menu command for the panel: load, save or clear the list.
    void commandRequested(CmdListCommand id);

protected:
    QModelIndex moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;

private:
    void OnSetup();
    void CreateMenu();
    void SetTextCells(int row);
    // Labels and parameters of the send buttons from row first on follow the row order again.
    void Renumber(int first = 0);
    void SetColumnWidths();
    void OnButtonClicked(const QModelIndex& index);
    void OnMenuCommand(CmdListCommand id);
    void OnItemChanged(QTableWidgetItem* cell);

    CButtonDelegate* m_pButtonType = nullptr;
    QMenu* m_pMenu = nullptr;
    int m_nMenuRow = -1;
};
