#pragma once

#include "CSendTarget.h"
#include "CommandRouting.h"

#include <QObject>
#include <QPointer>

#include <functional>

class CTARVENView;
class QAction;
class QMdiSubWindow;
class QMenu;

// Connects the main frame's monitor commands to the monitor window that is active, keeps their
// enabled and ticked states in step with it, and offers its link as the command list's send
// target.
class CMonitorCommands : public QObject
{
    Q_OBJECT

public:
    // Routes the commands of routing; menu is the monitor popup, which the windows share as
    // their context menu.
    CMonitorCommands(const CommandRouting& routing, QMenu* menu, QObject* parent = nullptr);

    // Sets the commands' states from view (none: every monitor command disabled).
    void UpdateActions(const CTARVENView* view);
    // Enables and ticks the line signal and time stamp commands as view says (none: all off);
    // action finds a command's action by number. Shared with the window's own buttons.
    static void UpdateLineActions(const CTARVENView* view,
                                  const std::function<QAction*(int)>& action);
    // The commands of a monitor window's own toolbar with their handlers; 0 is a separator.
    using Handler = void (*)(CTARVENView& view);
    static const QList<std::pair<int, Handler>>& WindowCommands();

signals:
    // The link of the monitor window activated last, or null once that window is gone.
    void sendTargetChanged(CSendTarget* target);

private:
    void InitActionsConnections();
    QAction* Action(int id) const;
    void Route(int id, Handler handler);
    void OnSubWindowActivated(QMdiSubWindow* window);
    void Follow(CTARVENView* view);

    CommandRouting m_routing;
    QMenu* m_pMenu = nullptr;
    QPointer<CTARVENView> m_pActive;
    // Compared only, never used: it may be going when its window closes.
    const CSendTarget* m_pTarget = nullptr;
};
