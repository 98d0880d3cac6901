#pragma once

#include "CSizingControlBar.h"

class CCmdListDlg;
class CMainFrame;

// The docking bar "송신 메세지창" of the main frame; the command-list panel fills it.
class CCmdListBar : public CSizingControlBar
{
    Q_OBJECT

public:
    // Sends go to the monitor window the frame activated last.
    explicit CCmdListBar(CMainFrame& frame);

    CCmdListDlg* Panel() const { return m_pDlg; }

private:
    CCmdListDlg* m_pDlg = nullptr;
};

// Lets the main frame the program creates from now on carry the command list.
void InstallCmdList();
