#include "CProgram.h"

#include "CBridgeFrame.h"
#include "CBridgeWindow.h"
#include "CChildFrame.h"
#include "CCmdListBar.h"
#include "CCommandActions.h"
#include "CMainFrame.h"
#include "CMdiClientWnd.h"
#include "CMonitorCommands.h"
#include "CMonitorWindow.h"
#include "CScriptChildFrame.h"
#include "CScriptCommands.h"
#include "CScriptEditDoc.h"
#include "CScriptEditView.h"
#include "CScriptOutputBar.h"
#include "CommandIds.h"

#include <QAction>
#include <QMdiSubWindow>
#include <QStatusBar>
#include <QTimer>

bool CProgram::Start(const QStringList& arguments)
{
    const CTARVENApp::CommandLineInfo info = CTARVENApp::ParseCommandLine(arguments);
    if (!m_app.ClaimInstance(info))
        return false;
    CreateBars();
    m_pFrame = &m_app.CreateMainFrame({m_pOutputBar, m_pCmdListBar});
    CreateCommandRouters();
    m_app.RegisterDocTemplates({[this](CDocument* document) { return NewMonitorFrame(document); },
                                [this] { return NewScriptDocument(); },
                                [this](CDocument* document) { return NewScriptFrame(document); }});
    m_app.SetCommandFileOpener([this](const QString& path, QString* error) {
        return m_pCmdListBar->OpenCommandFile(path, error);
    });
    m_app.Start(info);
    return true;
}

void CProgram::CreateBars()
{
    m_pOutputBar = new CScriptOutputBar;
    // Asked at every send, so a window that has closed is never reached.
    m_pCmdListBar = new CCmdListBar([this] { return m_pFrame->SendTarget(); });
}

void CProgram::CreateCommandRouters()
{
    const CommandRouting routing = m_pFrame->Routing();
    m_pMonitorCommands = new CMonitorCommands(routing, m_pFrame->TvnMenu(), m_pFrame);
    QObject::connect(m_pMonitorCommands, &CMonitorCommands::sendTargetChanged, m_pFrame,
                     &CMainFrame::SetSendTarget);
    m_pScriptCommands = new CScriptCommands(routing, m_pFrame);
    // The script documents report their titles to the frame, which passes them on to the
    // output bar's pages.
    QObject::connect(m_pFrame, &CMainFrame::scriptTitleAdded, m_pOutputBar,
                     &CScriptOutputBar::AddPage);
    QObject::connect(m_pFrame, &CMainFrame::scriptTitleRemoved, m_pOutputBar,
                     &CScriptOutputBar::RemovePage);
    QObject::connect(m_pOutputBar, &CScriptOutputBar::errorLineActivated, m_pFrame,
                     [this](const QString& title, int line) { ShowErrorLine(title, line); });
    QAction* bridge = routing.actions.Action(ID_BRIDGE_OPEN);
    bridge->setEnabled(true);
    QObject::connect(bridge, &QAction::triggered, m_pFrame, [this] { OpenBridge(); });
}

CBridgeFrame* CProgram::OpenBridge() const
{
    CBridgeFrame* frame = CBridgeFrame::Open(m_pFrame->MdiClient());
    if (frame == nullptr)
        return nullptr;
    frame->Window()->SetEnvironment(m_pFrame->Environment());
    // As a new monitor asks for its port first: once the window shows.
    QTimer::singleShot(0, frame->Window(), &CBridgeWindow::ChooseAndStart);
    return frame;
}

CMdiChildFrame* CProgram::NewMonitorFrame(CDocument* document) const
{
    auto* frame = new CChildFrame(document);
    const MonitorServices services{m_pFrame->Environment(), m_pFrame->TvnMenu(),
                                   m_pFrame->statusBar()};
    frame->setWidget(new CMonitorWindow(document, frame, nullptr, services));
    return frame;
}

CDocument* CProgram::NewScriptDocument() const
{
    auto* document = new CScriptEditDoc(m_pFrame->RecentFiles());
    QObject::connect(document, &CScriptEditDoc::titleAdded, m_pFrame,
                     &CMainFrame::scriptTitleAdded);
    QObject::connect(document, &CScriptEditDoc::titleRemoved, m_pFrame,
                     &CMainFrame::scriptTitleRemoved);
    return document;
}

CMdiChildFrame* CProgram::NewScriptFrame(CDocument* document)
{
    return new CScriptChildFrame(static_cast<CScriptEditDoc*>(document), m_app.m_history,
                                 m_pOutputBar);
}

void CProgram::ShowErrorLine(const QString& title, int line) const
{
    for (QMdiSubWindow* window : m_pFrame->MdiClient()->subWindowList()) {
        auto* scriptFrame = qobject_cast<CScriptChildFrame*>(window);
        if (scriptFrame == nullptr || scriptFrame->View()->Document()->Title() != title)
            continue;
        m_pFrame->MdiClient()->setActiveSubWindow(window);
        scriptFrame->View()->GoToLine(line);
        return;
    }
}
