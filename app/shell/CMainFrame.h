#pragma once

#include "EnvSettings.h"

#include <QHash>
#include <QMainWindow>
#include <QPointer>
#include <QTimer>

class CCommandActions;
class CCommandKeys;
class CChildFrame;
class CDocManager;
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

// The main window: child windows of monitors and scripts, toolbar, status bar, docking bars.
class CMainFrame : public QMainWindow
{
    Q_OBJECT

public:
    // Menu bars: none active, a monitor active, a script active.
    static constexpr int kMenuMain = 128;
    static constexpr int kMenuTvn = 129;
    static constexpr int kMenuScript = 131;

    // Makes the command-list bar; installed once by the program before the frame is created.
    // Without one the bar stays empty.
    using BarFactory = CSizingControlBar* (*)(CMainFrame& frame);
    static void SetCmdListBarFactory(BarFactory factory);
    // Makes the script output bar in the same way; without one that bar stays empty.
    static void SetScriptOutputBarFactory(BarFactory factory);

    explicit CMainFrame(const CDocManager& docs, QWidget* parent = nullptr);
    ~CMainFrame() override;

    const EnvSettings& Env() const { return m_env; }
    QAction* Action(int id) const;
    // Guards the widgets that type keys against the keys of the commands.
    CCommandKeys* CommandKeys() const { return m_pCommandKeys; }
    CMdiClientWnd* MdiClient() const { return m_pMdiClient; }
    QToolBar* ToolBar() const { return m_pToolBar; }
    CSizingControlBar* ScriptOutputBar() const { return m_pScriptOutputBar; }
    CSizingControlBar* CmdListBar() const { return m_pCmdListBar; }
    CRecentFileList* RecentFiles() const { return m_pRecentFiles; }
    // The monitor commands' popup, shared with the monitor's context menu.
    QMenu* TvnMenu() const { return m_pTvnMenu; }
    int CurrentMenuId() const { return m_nCurrentMenuId; }
    // The monitor window activated last, which the command list sends to; null when none is
    // open. A monitor clears it when it closes.
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
    // The environment settings changed; monitors take their line limit and colours from them.
    void envSettingsChanged(const EnvSettings& env);
    // A script document's title was reported, or is gone with the document: the script output
    // bar keys its pages on these titles.
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
    void CreateDockingBars();
    void CreateMdiClient(QSettings& settings);
    void CreateMenus();
    void InitActionsConnections();
    void ShowMenuBar(int menuId);
    void OnSubWindowActivated(QMdiSubWindow* window);
    // Frames of the open monitor documents.
    QList<CChildFrame*> MonitorFrames() const;
    QMenu* NewMenu(const QString& title, const QList<int>& ids);
    QMenu* NewFileMenu(const QList<int>& extraIds);

    static inline BarFactory s_cmdListBarFactory = nullptr;
    static inline BarFactory s_scriptOutputBarFactory = nullptr;
    const CDocManager& m_docs;
    EnvSettings m_env;
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
