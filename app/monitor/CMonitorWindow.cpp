#include "CMonitorWindow.h"

#include "CAutoReplyPanel.h"
#include "CCaptureSession.h"
#include "CChildFrame.h"
#include "CCommandActions.h"
#include "CFindBar.h"
#include "CMonitorCommands.h"
#include "CMonitorStatusBar.h"
#include "CPlotPanel.h"
#include "CReplayFrame.h"
#include "CSendLine.h"
#include "CTARVENView.h"
#include "CTextViewCtrl.h"
#include "MessageBox.h"
#include "ShellConstants.h"

#include <QAction>
#include <QHBoxLayout>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QSettings>
#include <QToolBar>
#include <QVBoxLayout>

CMonitorWindow::CMonitorWindow(CDocument* document, CChildFrame* frame, QWidget* parent,
                               const MonitorServices& services)
    : QWidget(parent), m_pStatus(new CMonitorStatusBar(this)),
      m_pView(new CTARVENView(document, frame, m_pStatus, this, services)), m_services(services)
{
    auto* layout = new QVBoxLayout(this);
    m_pLayout = layout;
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    CreateToolBar();
    layout->addWidget(m_pToolBar);
    m_pBody = new QHBoxLayout();
    m_pBody->setSpacing(0);
    m_pBody->addWidget(m_pView, 1);
    layout->addLayout(m_pBody, 1);
    m_pFindBar = new CFindBar(m_pView->TextView(), this);
    layout->addWidget(m_pFindBar);
    layout->addWidget(m_pStatus);
    setFocusProxy(m_pView);
    connect(m_pView, &CTARVENView::findRequested, this, [this](FindStep step) {
        if (step == FindStep::Open)
            m_pFindBar->Open();
        else
            m_pFindBar->FindNext(step == FindStep::Next);
    });
    // Text or hex: the pattern reads anew.
    connect(m_pView, &CTARVENView::stateChanged, m_pFindBar, &CFindBar::Refresh);
}

void CMonitorWindow::CreateToolBar()
{
    m_pToolBar = new QToolBar(this);
    m_pToolBar->setObjectName(QStringLiteral("MonitorToolBar"));
    m_pToolBar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    for (const auto& command : CMonitorCommands::WindowCommands()) {
        if (command.first == 0) {
            m_pToolBar->addSeparator();
            continue;
        }
        QAction* action = CCommandActions::Make(command.first, m_pToolBar);
        m_pToolBar->addAction(action);
        // A click leaves the keys with the terminal.
        m_pToolBar->widgetForAction(action)->setFocusPolicy(Qt::NoFocus);
        const int id = command.first;
        connect(action, &QAction::triggered, this, [this, id] { RunCommand(id); });
    }
    m_pToolBar->addSeparator();
    m_pReplayAction = m_pToolBar->addAction(tr("재생"), this, &CMonitorWindow::OnReplay);
    m_pReplayAction->setObjectName(QStringLiteral("ReplayCapture"));
    m_pReplayAction->setToolTip(tr("보고 있는 갈무리 파일을 새 창에서 기록된 속도로 재생합니다."));
    connect(m_pView, &CTARVENView::stateChanged, this, &CMonitorWindow::UpdateToolBar);
    UpdateToolBar();
}

void CMonitorWindow::RunCommand(int id)
{
    for (const auto& [commandId, handler] : CMonitorCommands::WindowCommands()) {
        if (commandId == id)
            handler(*m_pView);
    }
    UpdateToolBar(); // a checkable button ticks itself: set it back to the view's state
}

QMdiArea* CMonitorWindow::Area() const
{
    for (QWidget* widget = parentWidget(); widget != nullptr; widget = widget->parentWidget()) {
        if (auto* frame = qobject_cast<QMdiSubWindow*>(widget))
            return frame->mdiArea();
    }
    return nullptr;
}

void CMonitorWindow::OnReplay()
{
    const QString path = m_pView->Capture()->Shown();
    QMdiArea* area = Area();
    if (path.isEmpty() || area == nullptr)
        return;
    QString error;
    if (CReplayFrame::Open(path, area, &error) == nullptr)
        ShowMessage(error, QMessageBox::Critical, QMessageBox::Ok, this, tr("재생"));
}

void CMonitorWindow::UpdateToolBar()
{
    m_pReplayAction->setEnabled(!m_pView->Capture()->Shown().isEmpty() && Area() != nullptr);
    CMonitorCommands::UpdateLineActions(m_pView, [this](int id) {
        return m_pToolBar->findChild<QAction*>(QString::number(id), Qt::FindDirectChildrenOnly);
    });
}

namespace {

// The plot of every monitor window is kept here; a replay window has none.
const char* const kPlotGroup = "MonitorPlot";

} // namespace

bool CMonitorWindow::IsPlotShown() const
{
    return m_pPlot != nullptr && !m_pPlot->isHidden();
}

void CMonitorWindow::OnTogglePlot()
{
    ShowPlot(!IsPlotShown());
    if (IsPlotShown())
        m_pPlot->setFocus();
}

void CMonitorWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (m_bShownOnce)
        return;
    m_bShownOnce = true;
    QSettings settings(kCompanyName, kApplicationName);
    settings.beginGroup(QLatin1String(kPlotGroup));
    if (!m_pView->IsReplay() && PlotSettings::Load(settings).bShown)
        ShowPlot(true);
    settings.endGroup();
    // A replay never sends.
    if (!m_pView->IsReplay() &&
        settings.value(QStringLiteral("%1/ShowSendLine").arg(kGroupTarven), 0).toInt() != 0)
        ShowSendLine(true);
}

void CMonitorWindow::ShowPlot(bool show)
{
    QSettings settings(kCompanyName, kApplicationName);
    settings.beginGroup(QLatin1String(kPlotGroup));
    if (show && m_pPlot == nullptr) {
        m_pPlot = new CPlotPanel(PlotSettings::Load(settings), this);
        m_pPlot->SetExportFolder(CCaptureSession::Folder());
        m_pBody->addWidget(m_pPlot);
        connect(m_pView->Link(), &CMonitorLink::received, m_pPlot, [this](const QByteArray& bytes) {
            if (!m_pPlot->isHidden())
                m_pPlot->Feed(bytes, m_pView->TextView()->GetTextEncoding());
        });
        connect(m_pPlot, &CPlotPanel::settingsChanged, this, [this] {
            QSettings changed(kCompanyName, kApplicationName);
            changed.beginGroup(QLatin1String(kPlotGroup));
            PlotSettings kept = m_pPlot->Settings();
            kept.bShown = IsPlotShown();
            kept.Save(changed);
        });
        connect(m_pPlot, &CPlotPanel::closeRequested, this, [this] {
            ShowPlot(false);
            m_pView->Activate();
        });
        connect(m_pPlot, &CPlotPanel::leaveRequested, m_pView, &CTARVENView::Activate);
    }
    if (m_pPlot == nullptr)
        return;
    m_pPlot->setVisible(show);
    PlotSettings kept = m_pPlot->Settings();
    kept.bShown = show;
    kept.Save(settings);
    emit m_pView->stateChanged(); // the menu item ticks
}

bool CMonitorWindow::IsAutoReplyShown() const
{
    return m_pAutoReply != nullptr && !m_pAutoReply->isHidden();
}

void CMonitorWindow::OnToggleAutoReply()
{
    if (m_pAutoReply == nullptr) {
        m_pAutoReply = new CAutoReplyPanel(m_pView->Link(), this);
        m_pBody->addWidget(m_pAutoReply);
        connect(m_pAutoReply, &CAutoReplyPanel::closeRequested, this, [this] {
            OnToggleAutoReply();
            m_pView->Activate();
        });
        connect(m_pAutoReply, &CAutoReplyPanel::leaveRequested, m_pView, &CTARVENView::Activate);
    } else if (IsAutoReplyShown()) {
        m_pAutoReply->Dismiss();
        emit m_pView->stateChanged(); // the menu item ticks
        return;
    }
    m_pAutoReply->show();
    m_pAutoReply->setFocus();
    emit m_pView->stateChanged();
}

bool CMonitorWindow::IsSendLineShown() const
{
    return m_pSendLine != nullptr && !m_pSendLine->isHidden();
}

void CMonitorWindow::OnToggleSendLine()
{
    const bool show = !IsSendLineShown();
    ShowSendLine(show);
    QSettings settings(kCompanyName, kApplicationName);
    settings.setValue(QStringLiteral("%1/ShowSendLine").arg(kGroupTarven), int(show));
    if (show)
        m_pSendLine->setFocus();
    else
        m_pView->Activate();
}

void CMonitorWindow::ShowSendLine(bool show)
{
    if (show && m_pSendLine == nullptr) {
        m_pSendLine = new CSendLine(m_pView->Link(), m_services.pStatusMessages, this);
        // Under the terminal, above the find bar.
        m_pLayout->insertWidget(m_pLayout->indexOf(m_pFindBar), m_pSendLine);
        connect(m_pSendLine, &CSendLine::leaveRequested, m_pView, &CTARVENView::Activate);
    }
    if (m_pSendLine == nullptr)
        return;
    m_pSendLine->setVisible(show);
    emit m_pView->stateChanged(); // the menu item ticks
}
