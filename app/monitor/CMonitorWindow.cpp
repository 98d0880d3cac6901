#include "CMonitorWindow.h"

#include "CChildFrame.h"
#include "CCommandActions.h"
#include "CFindBar.h"
#include "CMonitorCommands.h"
#include "CMonitorStatusBar.h"
#include "CReplayFrame.h"
#include "CTARVENApp.h"
#include "CTARVENView.h"
#include "MessageBox.h"

#include <QAction>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QToolBar>
#include <QVBoxLayout>

CMonitorWindow::CMonitorWindow(CDocument* document, CChildFrame* frame, QWidget* parent)
    : QWidget(parent), m_pStatus(new CMonitorStatusBar(this)),
      m_pView(new CTARVENView(document, frame, m_pStatus, this))
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
    connect(m_pView, &CTARVENView::findRequested, this, [this](int step) {
        if (step == 0)
            m_pFindBar->Open();
        else
            m_pFindBar->FindNext(step > 0);
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
    const QString path = m_pView->ShownCapture();
    QMdiArea* area = Area();
    if (path.isEmpty() || area == nullptr)
        return;
    QString error;
    if (CReplayFrame::Open(path, area, &error) == nullptr)
        ShowMessage(error, QMessageBox::Critical, QMessageBox::Ok, this, tr("재생"));
}

void CMonitorWindow::UpdateToolBar()
{
    m_pReplayAction->setEnabled(!m_pView->ShownCapture().isEmpty() && Area() != nullptr);
    CMonitorCommands::UpdateLineActions(m_pView, [this](int id) {
        return m_pToolBar->findChild<QAction*>(QString::number(id), Qt::FindDirectChildrenOnly);
    });
}

namespace {

QWidget* MakeMonitorContent(CChildFrame& frame)
{
    // The first monitor connects the frame's monitor commands; the frame exists by now.
    if (const CTARVENApp* app = CTARVENApp::Instance(); app != nullptr && app->MainFrame())
        CMonitorCommands::Attach(app->MainFrame());
    return new CMonitorWindow(frame.Document(), &frame);
}

} // namespace

void InstallMonitor()
{
    CChildFrame::SetContentFactory(&MakeMonitorContent);
}
