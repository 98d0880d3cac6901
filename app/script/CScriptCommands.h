#pragma once

#include "CommandRouting.h"

#include <QObject>
#include <QPointer>

#include <functional>

class CScriptEditView;
class QAction;
class QMdiSubWindow;
class QMenu;

// Connects the main frame's script commands (save, edit, find, run) to the script window that
// is active, keeps their states in step with it, and shows the "SCRIPT" menu over a view.
class CScriptCommands : public QObject
{
    Q_OBJECT

public:
    // Routes the commands of routing; the context menu is a child of parent.
    CScriptCommands(const CommandRouting& routing, QWidget* parent);

    QMenu* ContextMenu() const { return m_pContextMenu; }
    // Sets the commands' states from the active view (none: every script command disabled).
    void UpdateActions();

private:
    void InitActionsConnections();
    QAction* Action(int id) const;
    template <typename Handler> void Route(int id, Handler handler);
    void OnSubWindowActivated(QMdiSubWindow* window);
    void Follow(CScriptEditView* view);
    void ShowContextMenu(CScriptEditView* view, const QPoint& globalPos);

    CommandRouting m_routing;
    QMenu* m_pContextMenu = nullptr;
    QPointer<CScriptEditView> m_pActive;
};
