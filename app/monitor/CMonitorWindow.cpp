#include "CMonitorWindow.h"

#include "CChildFrame.h"
#include "CMonitorCommands.h"
#include "CMonitorStatusBar.h"
#include "CTARVENApp.h"
#include "CTARVENView.h"

#include <QVBoxLayout>

CMonitorWindow::CMonitorWindow(CDocument* document, CChildFrame* frame, QWidget* parent)
    : QWidget(parent), m_pStatus(new CMonitorStatusBar(this)),
      m_pView(new CTARVENView(document, frame, m_pStatus, this))
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_pView, 1);
    layout->addWidget(m_pStatus);
    setFocusProxy(m_pView);
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
