#include "CCmdListBar.h"

#include "CCmdListDlg.h"
#include "CMainFrame.h"
#include "CTARVENApp.h"

CCmdListBar::CCmdListBar(CMainFrame& frame)
    : CSizingControlBar(&frame),
      m_pDlg(new CCmdListDlg([&frame] { return frame.SendTarget(); }, this))
{
    setWidget(m_pDlg);
}

namespace {

// A command file the user opened outside the list (command line, File menu): the list comes
// into view with it.
bool OpenCommandFile(CMainFrame& frame, const QString& path, QString* error)
{
    auto* bar = qobject_cast<CCmdListBar*>(frame.CmdListBar());
    if (bar == nullptr)
        return false;
    bar->show();
    bar->raise();
    QString unreadable;
    if (bar->Panel()->LoadFile(path, &unreadable) || unreadable.isEmpty())
        return true; // loaded, or damaged and told by the list
    if (error != nullptr)
        *error = unreadable;
    return false;
}

} // namespace

void InstallCmdList()
{
    CMainFrame::SetCmdListBarFactory(
        [](CMainFrame& frame) -> CSizingControlBar* { return new CCmdListBar(frame); });
    CTARVENApp::SetCommandFileOpener(&OpenCommandFile);
}
