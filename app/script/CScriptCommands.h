#pragma once

#include <QObject>
#include <QPointer>

#include <functional>

class CMainFrame;
class CScriptEditView;
class QMdiSubWindow;
class QMenu;

// Connects the main frame's script commands (save, edit, find, run) to the script window that
// is active, keeps their states in step with it, and shows the "SCRIPT" menu over a view.
class CScriptCommands : public QObject
{
    Q_OBJECT

public:
    // The one router of frame, made on first use.
    static CScriptCommands* Attach(CMainFrame* frame);

    QMenu* ContextMenu() const { return m_pContextMenu; }
    // Sets the commands' states from the active view (none: every script command disabled).
    void UpdateActions();

private:
    explicit CScriptCommands(CMainFrame* frame);

    void InitActionsConnections();
    template <typename Handler> void Route(int id, Handler handler);
    void OnSubWindowActivated(QMdiSubWindow* window);
    void Follow(CScriptEditView* view);
    void ShowContextMenu(CScriptEditView* view, const QPoint& globalPos);

    CMainFrame* m_pFrame = nullptr;
    QMenu* m_pContextMenu = nullptr;
    QPointer<CScriptEditView> m_pActive;
};
