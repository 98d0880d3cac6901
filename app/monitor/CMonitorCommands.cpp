#include "CMonitorCommands.h"

#include "CCommandActions.h"
#include "CCommandKeys.h"
#include "CMonitorWindow.h"
#include "CTARVENView.h"
#include "CTextViewCtrl.h"
#include "CommandIds.h"

#include <QAction>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>

namespace {

const char* const kRouterName = "CMonitorCommands";

// The commands a monitor answers.
constexpr int kMonitorCommands[] = {
    ID_PORT_OPEN,      ID_PORT_CLOSE,     ID_PORT_SETTINGS,  ID_VIEW_CLEAR,  ID_VIEW_PAUSE,
    ID_CAPTURE,        ID_CAPTURE_SHOW,   ID_VIEW_ASCII,     ID_VIEW_HEX,    ID_VIEW_CONTROL,
    ID_TVN_PRINT,      ID_FILE_PRINT,     ID_FILE_TRANSFER,  ID_CHECKSUM,    ID_VIEW_CONTROL_PANEL,
    ID_TVN_COPY,       ID_LINE_DTR,       ID_LINE_RTS,       ID_LINE_BREAK,  ID_VIEW_TIMESTAMP,
    ID_VIEW_FIND,      ID_VIEW_FIND_NEXT, ID_VIEW_FIND_PREV, ID_VIEW_REPLAY, ID_VIEW_PLOT,
    ID_VIEW_AUTO_REPLY};

// What a replay's view does not answer: it has no link, and shows one file only.
constexpr int kLinkCommands[] = {
    ID_PORT_OPEN,    ID_PORT_CLOSE,    ID_PORT_SETTINGS,      ID_VIEW_PAUSE,  ID_CAPTURE,
    ID_CAPTURE_SHOW, ID_FILE_TRANSFER, ID_VIEW_CONTROL_PANEL, ID_VIEW_REPLAY, ID_VIEW_AUTO_REPLY};

} // namespace

CMonitorCommands::CMonitorCommands(const CommandRouting& routing, QMenu* menu, QObject* parent)
    : QObject(parent), m_routing(routing), m_pMenu(menu)
{
    setObjectName(QLatin1String(kRouterName));
    InitActionsConnections();
    UpdateActions(nullptr);
}

QAction* CMonitorCommands::Action(int id) const
{
    return m_routing.actions.Action(id);
}

void CMonitorCommands::Route(int id, Handler handler)
{
    connect(Action(id), &QAction::triggered, this, [this, handler] {
        if (CTARVENView* view = m_pActive.data())
            (view->*handler)();
        // A checkable action ticks itself on a click: set it back to what the view says.
        UpdateActions(m_pActive.data());
    });
}

void CMonitorCommands::InitActionsConnections()
{
    Route(ID_PORT_OPEN, &CTARVENView::OnPortOpen);
    Route(ID_PORT_CLOSE, &CTARVENView::OnPortClose);
    Route(ID_PORT_SETTINGS, &CTARVENView::OnPortSettings);
    Route(ID_VIEW_CLEAR, &CTARVENView::OnClear);
    Route(ID_VIEW_PAUSE, &CTARVENView::OnPause);
    Route(ID_CAPTURE, &CTARVENView::OnCapture);
    Route(ID_CAPTURE_SHOW, &CTARVENView::OnCaptureShow);
    Route(ID_VIEW_ASCII, &CTARVENView::OnAsciiView);
    Route(ID_VIEW_HEX, &CTARVENView::OnHexView);
    Route(ID_VIEW_CONTROL, &CTARVENView::OnControlView);
    Route(ID_TVN_PRINT, &CTARVENView::OnPrint);
    Route(ID_FILE_PRINT, &CTARVENView::OnPrint);
    Route(ID_FILE_TRANSFER, &CTARVENView::OnFileTransfer);
    Route(ID_CHECKSUM, &CTARVENView::OnCheckSum);
    Route(ID_VIEW_CONTROL_PANEL, &CTARVENView::OnTogglePanel);
    Route(ID_VIEW_FIND, &CTARVENView::OnFind);
    Route(ID_VIEW_FIND_NEXT, &CTARVENView::OnFindNext);
    Route(ID_VIEW_FIND_PREV, &CTARVENView::OnFindPrevious);
    for (const auto& [id, handler] : WindowCommands()) {
        if (id != 0)
            Route(id, handler);
    }
    connect(Action(ID_TVN_COPY), &QAction::triggered, this, [this] {
        if (CTARVENView* view = m_pActive.data())
            view->TextView()->Copy();
    });
    // The same as the window's own replay button.
    connect(Action(ID_VIEW_REPLAY), &QAction::triggered, this, [this] {
        if (CTARVENView* view = m_pActive.data()) {
            if (auto* window = qobject_cast<CMonitorWindow*>(view->parentWidget()))
                window->OnReplay();
        }
    });
    connect(Action(ID_VIEW_PLOT), &QAction::triggered, this, [this] {
        if (CTARVENView* view = m_pActive.data()) {
            if (auto* window = qobject_cast<CMonitorWindow*>(view->parentWidget()))
                window->OnTogglePlot();
        }
        UpdateActions(m_pActive.data());
    });
    connect(Action(ID_VIEW_AUTO_REPLY), &QAction::triggered, this, [this] {
        if (CTARVENView* view = m_pActive.data()) {
            if (auto* window = qobject_cast<CMonitorWindow*>(view->parentWidget()))
                window->OnToggleAutoReply();
        }
        UpdateActions(m_pActive.data());
    });
    connect(&m_routing.area, &QMdiArea::subWindowActivated, this,
            &CMonitorCommands::OnSubWindowActivated);
    // The context menu shares these actions; right before it shows, they follow the view.
    if (m_pMenu != nullptr)
        connect(m_pMenu, &QMenu::aboutToShow, this, [this] { UpdateActions(m_pActive.data()); });
    OnSubWindowActivated(m_routing.area.activeSubWindow());
}

void CMonitorCommands::OnSubWindowActivated(QMdiSubWindow* window)
{
    // The area reports no window while another top-level window (a dialog) is active; the
    // monitor that was active stays the one the commands act on.
    if (window == nullptr)
        window = m_routing.area.currentSubWindow();
    CTARVENView* view = window != nullptr ? window->findChild<CTARVENView*>() : nullptr;
    m_pActive = view;
    if (view != nullptr) {
        Follow(view);
        // The command list keeps sending to the monitor it had: a replay sends nothing.
        if (!view->IsReplay()) {
            m_pTarget = view->Link();
            emit sendTargetChanged(view->Link());
        }
        view->Activate();
    }
    UpdateActions(view);
}

void CMonitorCommands::Follow(CTARVENView* view)
{
    if (view->property(kRouterName).toBool())
        return;
    view->setProperty(kRouterName, true);
    m_routing.keys.Guard(view->TextView());
    connect(view, &CTARVENView::stateChanged, this, [this, view] {
        if (view == m_pActive)
            UpdateActions(view);
    });
    CSendTarget* target = view->Link();
    // The link of a closed window must never be sent to.
    connect(view->Link(), &QObject::destroyed, this, [this, target] {
        if (m_pTarget != target)
            return;
        m_pTarget = nullptr;
        emit sendTargetChanged(nullptr);
    });
}

void CMonitorCommands::UpdateActions(const CTARVENView* view)
{
    for (int id : kMonitorCommands)
        Action(id)->setEnabled(view != nullptr);
    const auto set = [this](int id, bool checked) { Action(id)->setChecked(checked); };
    UpdateLineActions(view, [this](int id) { return Action(id); });
    if (view == nullptr) {
        for (int id : {ID_VIEW_PAUSE, ID_CAPTURE, ID_VIEW_ASCII, ID_VIEW_HEX, ID_VIEW_CONTROL,
                       ID_VIEW_CONTROL_PANEL, ID_VIEW_PLOT, ID_VIEW_AUTO_REPLY})
            set(id, false);
        return;
    }
    const bool waiting = view->Link()->IsReconnecting();
    const bool busy = view->IsOnline() || view->IsConnecting() || waiting;
    Action(ID_PORT_OPEN)->setEnabled(!busy);
    Action(ID_PORT_CLOSE)->setEnabled(view->IsOnline() || waiting);
    Action(ID_FILE_TRANSFER)->setEnabled(view->IsOnline());
    Action(ID_CAPTURE_SHOW)->setEnabled(!view->IsCapturing());
    Action(ID_VIEW_REPLAY)->setEnabled(!view->ShownCapture().isEmpty());
    set(ID_VIEW_PAUSE, view->IsPaused());
    set(ID_CAPTURE, view->IsCapturing());
    set(ID_VIEW_ASCII, !view->IsHexMode());
    set(ID_VIEW_HEX, view->IsHexMode());
    set(ID_VIEW_CONTROL, view->ShowsControlCodes());
    set(ID_VIEW_CONTROL_PANEL, view->IsPanelShown());
    const auto* window = qobject_cast<const CMonitorWindow*>(view->parentWidget());
    set(ID_VIEW_PLOT, window != nullptr && window->IsPlotShown());
    set(ID_VIEW_AUTO_REPLY, window != nullptr && window->IsAutoReplyShown());
    // A replay has no link, and plots nothing: its bytes never come from one.
    if (view->IsReplay()) {
        for (int id : kLinkCommands)
            Action(id)->setEnabled(false);
        Action(ID_VIEW_PLOT)->setEnabled(false);
    }
}

void CMonitorCommands::UpdateLineActions(const CTARVENView* view,
                                         const std::function<QAction*(int)>& action)
{
    // A device without modem lines (a pseudo-terminal) leaves the line commands disabled.
    const bool lines = view != nullptr && view->HasLineSignals();
    for (int id : {ID_LINE_DTR, ID_LINE_RTS, ID_LINE_BREAK})
        action(id)->setEnabled(lines);
    action(ID_LINE_DTR)->setChecked(lines && view->IsDtrOn());
    action(ID_LINE_RTS)->setChecked(lines && view->IsRtsOn());
    action(ID_VIEW_TIMESTAMP)->setEnabled(view != nullptr);
    action(ID_VIEW_TIMESTAMP)->setChecked(view != nullptr && view->ShowsTimeStamps());
}

const QList<std::pair<int, CMonitorCommands::Handler>>& CMonitorCommands::WindowCommands()
{
    static const QList<std::pair<int, Handler>> commands = {
        {ID_VIEW_TIMESTAMP, &CTARVENView::OnTimeStamps},
        {0, nullptr},
        {ID_LINE_DTR, &CTARVENView::OnDtr},
        {ID_LINE_RTS, &CTARVENView::OnRts},
        {ID_LINE_BREAK, &CTARVENView::OnBreak}};
    return commands;
}
