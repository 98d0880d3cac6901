#pragma once

#include <QMenu>

class QActionGroup;
class QMdiArea;

// The "창" menu: the arranging commands, then one entry for each open child window, numbered,
// with the active one ticked; choosing an entry brings that window forward, also when windows
// are maximised and cover each other.
class CWindowMenu : public QMenu
{
    Q_OBJECT

public:
    CWindowMenu(const QString& title, QMdiArea* area, QWidget* parent);

private:
    // Lists the windows open now, after the commands added before the menu first shows.
    void ListWindows();

    QMdiArea* m_pArea = nullptr;
    // Owns the separator and the entries of the windows listed last.
    QActionGroup* m_pEntries = nullptr;
};
