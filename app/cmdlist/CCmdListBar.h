#pragma once

#include "CCmdListDlg.h"
#include "CSizingControlBar.h"

// The docking bar "송신 메세지창" of the main frame; the command-list panel fills it.
class CCmdListBar : public CSizingControlBar
{
    Q_OBJECT

public:
    // Sends go to the target that targetSource gives at the time (the monitor window activated
    // last). Docking it in the main frame makes it the frame's.
    explicit CCmdListBar(CCmdListDlg::TargetSource targetSource, QWidget* parent = nullptr);

    CCmdListDlg* Panel() const { return m_pDlg; }
    // A command file the user opened outside the list (command line, File menu): the list comes
    // into view with it. False only when the file cannot be read, error then saying why; a
    // damaged file is told by the list itself.
    bool OpenCommandFile(const QString& path, QString* error);

private:
    CCmdListDlg* m_pDlg = nullptr;
};
