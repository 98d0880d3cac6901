#pragma once

#include "CommandRouting.h"
#include "EnvSettings.h"
#include "MenuBars.h"

#include <QHash>
#include <QMainWindow>
#include <QPointer>
#include <QTimer>

class CCommandActions;
class CCommandKeys;
class CChildFrame;
class CDocManager;
class CEnvironment;
class CHelpWindow;
class CMdiClientWnd;
class CRecentFileList;
class CSendTarget;
class CSizingControlBar;
class QAction;
class QLabel;
class QMdiSubWindow;
class QMenu;
class QSettings;
class QToolBar;

// The docking bars the program made for the main frame to carry; one left out stays empty.
struct DockingBars
{
    CSizingControlBar* pScriptOutput = nullptr;
    CSizingControlBar* pCmdList = nullptr;
};

// The main window: child windows of monitors and scripts, toolbar, status bar, docking bars.
class CMainFrame : public QMainWindow
{
    Q_OBJECT

public:
    static constexpr int kMenuMain = MenuBars::kMain;
    static constexpr int kMenuTvn = MenuBars::kTvn;
    static constexpr int kMenuScript = MenuBars::kScript;

    explicit CMainFrame(const CDocManager& docs, DockingBars bars = {}, QWidget* parent = nullptr);
    ~CMainFrame() override;

    const EnvSettings& Env() const;
    // The environment settings with word of their changes, lent to the monitor windows.
    CEnvironment* Environment() const { return m_pEnvironment; }
    QAction* Action(int id) const;
    // What the routers of the frame's commands get of it.
    CommandRouting Routing() const;
    CMdiClientWnd* MdiClient() const { return m_pMdiClient; }
    QToolBar* ToolBar() const { return m_pToolBar; }
    CSizingControlBar* ScriptOutputBar() const { return m_pScriptOutputBar; }
    CSizingControlBar* CmdListBar() const { return m_pCmdListBar; }
    CRecentFileList* RecentFiles() const { return m_pRecentFiles; }
    // The monitor commands' popup, shared with the monitor's context menu.
    QMenu* TvnMenu() const { return m_pTvnMenu; }
    int CurrentMenuId() const { return m_nCurrentMenuId; }
    // The link of the monitor window activated last, which the command list sends to; null when
    // none is open. The monitor commands' router sets it, and clears it when that window closes.
    CSendTarget* SendTarget() const { return m_pSendTarget; }
    void SetSendTarget(CSendTarget* target) { m_pSendTarget = target; }

    // Where the help command looks for the manual, first found wins.
    static QStringList ManualCandidates();

    void OnEnvSettings();
    // Reads the environment settings again and announces them to every open monitor.
    void ReloadEnvSettings();
    // Lights stay lit for at most one tick of the lamp timer, which runs only while any is lit.
    void WakeLampTimer();
    void OnLampTimer();
    bool IsLampTimerActive() const { return m_lampTimer.isActive(); }
    void OnHelp();

signals:
    // The environment settings changed, as Environment() tells the monitors.
    void envSettingsChanged(const EnvSettings& env);
    // A script document's title was reported, or is gone with the document: passed on to the
    // script output bar, which keys its pages on these titles.
    void scriptTitleAdded(const QString& title);
    void scriptTitleRemoved(const QString& title);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    // Back where the window was left, when that is on a screen there is; else the default size,
    // centred, or maximised on a screen too small for it.
    void RestoreGeometry(QSettings& settings);
    void SaveGeometry(QSettings& settings) const;
    void CreateToolBar();
    void CreateStatusBar();
    void CreateDockingBars(DockingBars bars);
    void CreateMdiClient(QSettings& settings);
    void CreateMenus();
    void InitActionsConnections();
    void ShowMenuBar(int menuId);
    void OnSubWindowActivated(QMdiSubWindow* window);
    // Frames of the open monitor documents.
    QList<CChildFrame*> MonitorFrames() const;
    QMenu* NewMenu(const QString& title, const QList<int>& ids);
    QMenu* NewFileMenu(const QList<int>& extraIds);

    const CDocManager& m_docs;
    CEnvironment* m_pEnvironment = nullptr;
    CSizingControlBar* m_pScriptOutputBar = nullptr;
    CSizingControlBar* m_pCmdListBar = nullptr;
    QToolBar* m_pToolBar = nullptr;
    CMdiClientWnd* m_pMdiClient = nullptr;
    CCommandActions* m_pActions = nullptr;
    CCommandKeys* m_pCommandKeys = nullptr;
    CRecentFileList* m_pRecentFiles = nullptr;
    QMenu* m_pTvnMenu = nullptr;
    QHash<int, QList<QMenu*>> m_menuBars;
    int m_nCurrentMenuId = 0;
    CSendTarget* m_pSendTarget = nullptr;
    QTimer m_lampTimer;
    QPointer<CHelpWindow> m_pHelpWindow;
};
