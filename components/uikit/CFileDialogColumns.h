#pragma once

#include <QObject>

class QTreeView;

// Widens the columns of the program's file dialogs to what they hold: Qt's dialog sizes them
// for short English dates and sizes, and cuts "2024. 5. 3. 오후 2:02" or "12.3 KiB" short.
// Installed on the application, it fits each detail view whenever a folder has been read.
class CFileDialogColumns : public QObject
{
    Q_OBJECT

public:
    explicit CFileDialogColumns(QObject* parent);

    // Every column of view as wide as its header and the rows it shows.
    static void FitColumns(QTreeView* view);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};
