#pragma once

#include <QObject>
#include <QPointer>

class CMainFrame;
class CTARVENView;
class QMdiSubWindow;

// Connects the main frame's monitor commands to the monitor window that is active, keeps their
// enabled and ticked states in step with it, and makes its link the command list's send target.
class CMonitorCommands : public QObject
{
    Q_OBJECT

public:
    // The one router of frame, made on first use.
    static CMonitorCommands* Attach(CMainFrame* frame);

    CTARVENView* ActiveView() const { return m_pActive; }
    // Sets the commands' states from view (none: every monitor command disabled).
    void UpdateActions(const CTARVENView* view);

private:
    explicit CMonitorCommands(CMainFrame* frame);

    void InitActionsConnections();
    void Route(int id, void (CTARVENView::*handler)());
    void OnSubWindowActivated(QMdiSubWindow* window);
    void Follow(CTARVENView* view);

    CMainFrame* m_pFrame = nullptr;
    QPointer<CTARVENView> m_pActive;
};
