#include "CCmdListBar.h"

#include "CCmdListDlg.h"
#include "CMainFrame.h"

CCmdListBar::CCmdListBar(CMainFrame& frame)
    : CSizingControlBar(&frame),
      m_pDlg(new CCmdListDlg([&frame] { return frame.SendTarget(); }, this))
{
    setWidget(m_pDlg);
}

void InstallCmdList()
{
    CMainFrame::SetCmdListBarFactory(
        [](CMainFrame& frame) -> CSizingControlBar* { return new CCmdListBar(frame); });
}
