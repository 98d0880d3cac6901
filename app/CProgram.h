#pragma once

#include "CTARVENApp.h"

#include <QStringList>

class CBridgeFrame;
class CCmdListBar;
class CDocument;
class CMainFrame;
class CMdiChildFrame;
class CMonitorCommands;
class CScriptCommands;
class CScriptOutputBar;

// The program, wired in one place: the shell with the monitor windows, the script editor and
// the command list, each handed the few parts of the shell it works with. Nothing below reaches
// back for the application or the main frame.
class CProgram
{
public:
    // Starts the program as the command line asks; false when this copy should end (it handed
    // its files to a copy that runs already).
    bool Start(const QStringList& arguments);
    // Saves what is kept between runs; called once when the program ends.
    void Exit() { m_app.ExitInstance(); }

    CTARVENApp& App() { return m_app; }
    CMainFrame* MainFrame() const { return m_pFrame; }
    CScriptOutputBar* OutputBar() const { return m_pOutputBar; }
    CCmdListBar* CmdListBar() const { return m_pCmdListBar; }
    CScriptCommands* ScriptCommands() const { return m_pScriptCommands; }
    // A new bridge window, which asks for its two sides once it shows.
    CBridgeFrame* OpenBridge() const;

private:
    void CreateBars();
    void CreateCommandRouters();
    CMdiChildFrame* NewMonitorFrame(CDocument* document) const;
    CDocument* NewScriptDocument() const;
    CMdiChildFrame* NewScriptFrame(CDocument* document);
    // Shows line of the script titled title, from its output page.
    void ShowErrorLine(const QString& title, int line) const;

    CTARVENApp m_app;
    // Owned by the main frame once it carries them.
    CMainFrame* m_pFrame = nullptr;
    CScriptOutputBar* m_pOutputBar = nullptr;
    CCmdListBar* m_pCmdListBar = nullptr;
    CMonitorCommands* m_pMonitorCommands = nullptr;
    CScriptCommands* m_pScriptCommands = nullptr;
};
