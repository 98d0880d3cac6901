#pragma once

#include <QObject>
#include <QPointer>

#include <functional>

class CMainFrame;
class CTARVENView;
class QAction;
class QMdiSubWindow;

// Connects the main frame's monitor commands to the monitor window that is active, keeps their
// enabled and ticked states in step with it, and makes its link the command list's send target.
class CMonitorCommands : public QObject
{
    Q_OBJECT

public:
    // The one router of frame, made on first use.
    static CMonitorCommands* Attach(CMainFrame* frame);

    // Sets the commands' states from view (none: every monitor command disabled).
    void UpdateActions(const CTARVENView* view);
    // Enables and ticks the line signal and time stamp commands as view says (none: all off);
    // action finds a command's action by number. Shared with the window's own buttons.
    static void UpdateLineActions(const CTARVENView* view,
                                  const std::function<QAction*(int)>& action);
    // The commands of a monitor window's own toolbar with their handlers; 0 is a separator.
    using Handler = void (CTARVENView::*)();
    static const QList<std::pair<int, Handler>>& WindowCommands();

private:
    explicit CMonitorCommands(CMainFrame* frame);

    void InitActionsConnections();
    void Route(int id, Handler handler);
    void OnSubWindowActivated(QMdiSubWindow* window);
    void Follow(CTARVENView* view);

    CMainFrame* m_pFrame = nullptr;
    QPointer<CTARVENView> m_pActive;
};
