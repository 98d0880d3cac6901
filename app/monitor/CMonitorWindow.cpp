#include "CMonitorWindow.h"

#include "CCaptureReplay.h"
#include "CChildFrame.h"
#include "CCommandActions.h"
#include "CFindBar.h"
#include "CMonitorCommands.h"
#include "CMonitorStatusBar.h"
#include "CReplayWindow.h"
#include "CTARVENView.h"
#include "MessageBox.h"

#include <QAction>
#include <QToolBar>
#include <QVBoxLayout>

CMonitorWindow::CMonitorWindow(CDocument* document, CChildFrame* frame, QWidget* parent,
                               const MonitorServices& services)
    : QWidget(parent), m_pStatus(new CMonitorStatusBar(this)),
      m_pView(new CTARVENView(document, frame, m_pStatus, this, services))
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    CreateToolBar();
    layout->addWidget(m_pToolBar);
    layout->addWidget(m_pView, 1);
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
            (m_pView->*handler)();
    }
    UpdateToolBar(); // a checkable button ticks itself: set it back to the view's state
}

void CMonitorWindow::OnReplay()
{
    const QString path = m_pView->ShownCapture();
    if (path.isEmpty())
        return;
    auto* window = new CReplayWindow(this);
    window->setAttribute(Qt::WA_DeleteOnClose);
    if (window->Open(path) != CaptureStatus::Ok) {
        delete window;
        ShowMessage(tr("갈무리 파일을 읽을 수 없습니다.\n%1").arg(path), QMessageBox::Critical,
                    QMessageBox::Ok, this, tr("재생"));
        return;
    }
    window->show();
    window->Replay()->Play();
}

void CMonitorWindow::UpdateToolBar()
{
    m_pReplayAction->setEnabled(!m_pView->ShownCapture().isEmpty());
    CMonitorCommands::UpdateLineActions(m_pView, [this](int id) {
        return m_pToolBar->findChild<QAction*>(QString::number(id), Qt::FindDirectChildrenOnly);
    });
}
