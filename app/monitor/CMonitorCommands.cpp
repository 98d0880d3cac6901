#include "CMonitorCommands.h"

#include "CCaptureSession.h"
#include "CCommandActions.h"
#include "CCommandKeys.h"
#include "CLineSignals.h"
#include "CMonitorWindow.h"
#include "CTARVENView.h"
#include "CTextViewCtrl.h"
#include "CommandIds.h"
#include "MonitorTools.h"

#include <QAction>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>

namespace {

const char* const kRouterName = "CMonitorCommands";

// The commands a monitor answers.
constexpr int kMonitorCommands[] = {
    ID_PORT_OPEN,       ID_PORT_CLOSE,     ID_PORT_SETTINGS,  ID_VIEW_CLEAR,  ID_VIEW_PAUSE,
    ID_CAPTURE,         ID_CAPTURE_SHOW,   ID_VIEW_ASCII,     ID_VIEW_HEX,    ID_VIEW_CONTROL,
    ID_TVN_PRINT,       ID_FILE_PRINT,     ID_FILE_TRANSFER,  ID_CHECKSUM,    ID_VIEW_CONTROL_PANEL,
    ID_TVN_COPY,        ID_LINE_DTR,       ID_LINE_RTS,       ID_LINE_BREAK,  ID_VIEW_TIMESTAMP,
    ID_VIEW_FIND,       ID_VIEW_FIND_NEXT, ID_VIEW_FIND_PREV, ID_VIEW_REPLAY, ID_VIEW_PLOT,
    ID_VIEW_AUTO_REPLY, ID_VIEW_SEND_LINE, ID_FILE_EXPORT};

// What a replay's view does not answer: it has no link, and shows one file only.
constexpr int kLinkCommands[] = {
    ID_PORT_OPEN,   ID_PORT_CLOSE,      ID_PORT_SETTINGS, ID_VIEW_PAUSE,
    ID_CAPTURE,     ID_CAPTURE_SHOW,    ID_FILE_TRANSFER, ID_VIEW_CONTROL_PANEL,
    ID_VIEW_REPLAY, ID_VIEW_AUTO_REPLY, ID_VIEW_SEND_LINE};

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
            handler(*view);
        // A checkable action ticks itself on a click: set it back to what the view says.
        UpdateActions(m_pActive.data());
    });
}

void CMonitorCommands::InitActionsConnections()
{
    const std::pair<int, Handler> routes[] = {
        {ID_PORT_OPEN, [](CTARVENView& view) { view.OnPortOpen(); }},
        {ID_PORT_CLOSE, [](CTARVENView& view) { view.OnPortClose(); }},
        {ID_PORT_SETTINGS, [](CTARVENView& view) { view.OnPortSettings(); }},
        {ID_VIEW_CLEAR, [](CTARVENView& view) { view.OnClear(); }},
        {ID_VIEW_PAUSE, [](CTARVENView& view) { view.OnPause(); }},
        {ID_CAPTURE, [](CTARVENView& view) { view.OnCapture(); }},
        {ID_CAPTURE_SHOW, [](CTARVENView& view) { view.Capture()->Choose(); }},
        {ID_VIEW_ASCII, [](CTARVENView& view) { view.OnAsciiView(); }},
        {ID_VIEW_HEX, [](CTARVENView& view) { view.OnHexView(); }},
        {ID_VIEW_CONTROL, [](CTARVENView& view) { view.OnControlView(); }},
        {ID_TVN_PRINT, [](CTARVENView& view) { view.OnPrint(); }},
        {ID_FILE_PRINT, [](CTARVENView& view) { view.OnPrint(); }},
        {ID_FILE_EXPORT, [](CTARVENView& view) { view.OnExport(); }},
        {ID_FILE_TRANSFER, [](CTARVENView& view) { RunFileTransfer(view); }},
        {ID_CHECKSUM, [](CTARVENView& view) { RunCheckSum(&view); }},
        {ID_VIEW_CONTROL_PANEL, [](CTARVENView& view) { view.OnTogglePanel(); }},
        {ID_VIEW_FIND, [](CTARVENView& view) { view.Find(FindStep::Open); }},
        {ID_VIEW_FIND_NEXT, [](CTARVENView& view) { view.Find(FindStep::Next); }},
        {ID_VIEW_FIND_PREV, [](CTARVENView& view) { view.Find(FindStep::Previous); }},
        {ID_TVN_COPY, [](CTARVENView& view) { view.TextView()->Copy(); }},
    };
    for (const auto& [id, handler] : routes)
        Route(id, handler);
    for (const auto& [id, handler] : WindowCommands()) {
        if (id != 0)
            Route(id, handler);
    }
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
    connect(Action(ID_VIEW_SEND_LINE), &QAction::triggered, this, [this] {
        if (CTARVENView* view = m_pActive.data()) {
            if (auto* window = qobject_cast<CMonitorWindow*>(view->parentWidget()))
                window->OnToggleSendLine();
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
                       ID_VIEW_CONTROL_PANEL, ID_VIEW_PLOT, ID_VIEW_AUTO_REPLY, ID_VIEW_SEND_LINE})
            set(id, false);
        return;
    }
    const bool waiting = view->Link()->IsReconnecting();
    const bool busy = view->IsOnline() || view->IsConnecting() || waiting;
    Action(ID_PORT_OPEN)->setEnabled(!busy);
    Action(ID_PORT_CLOSE)->setEnabled(view->IsOnline() || waiting);
    Action(ID_FILE_TRANSFER)->setEnabled(view->IsOnline());
    Action(ID_FILE_EXPORT)->setEnabled(!view->IsExporting());
    Action(ID_CAPTURE_SHOW)->setEnabled(!view->IsCapturing());
    Action(ID_VIEW_REPLAY)->setEnabled(!view->Capture()->Shown().isEmpty());
    set(ID_VIEW_PAUSE, view->IsPaused());
    set(ID_CAPTURE, view->IsCapturing());
    set(ID_VIEW_ASCII, !view->IsHexMode());
    set(ID_VIEW_HEX, view->IsHexMode());
    set(ID_VIEW_CONTROL, view->ShowsControlCodes());
    set(ID_VIEW_CONTROL_PANEL, view->IsPanelShown());
    const auto* window = qobject_cast<const CMonitorWindow*>(view->parentWidget());
    set(ID_VIEW_PLOT, window != nullptr && window->IsPlotShown());
    set(ID_VIEW_AUTO_REPLY, window != nullptr && window->IsAutoReplyShown());
    set(ID_VIEW_SEND_LINE, window != nullptr && window->IsSendLineShown());
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
    const CLineSignals* lineSignals = view != nullptr ? view->LineSignals() : nullptr;
    const bool lines = lineSignals != nullptr && lineSignals->HasLineSignals();
    for (int id : {ID_LINE_DTR, ID_LINE_RTS, ID_LINE_BREAK})
        action(id)->setEnabled(lines);
    action(ID_LINE_DTR)->setChecked(lines && lineSignals->IsDtrOn());
    action(ID_LINE_RTS)->setChecked(lines && lineSignals->IsRtsOn());
    action(ID_VIEW_TIMESTAMP)->setEnabled(view != nullptr);
    action(ID_VIEW_TIMESTAMP)->setChecked(view != nullptr && view->ShowsTimeStamps());
}

const QList<std::pair<int, CMonitorCommands::Handler>>& CMonitorCommands::WindowCommands()
{
    static const QList<std::pair<int, Handler>> commands = {
        {ID_VIEW_TIMESTAMP, [](CTARVENView& view) { view.OnTimeStamps(); }},
        {0, nullptr},
        {ID_LINE_DTR, [](CTARVENView& view) { view.LineSignals()->OnDtr(); }},
        {ID_LINE_RTS, [](CTARVENView& view) { view.LineSignals()->OnRts(); }},
        {ID_LINE_BREAK, [](CTARVENView& view) { view.LineSignals()->OnBreak(); }}};
    return commands;
}
