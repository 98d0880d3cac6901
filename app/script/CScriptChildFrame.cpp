#include "CScriptChildFrame.h"

#include "CMainFrame.h"
#include "CMdiClientWnd.h"
#include "CScriptCommands.h"
#include "CScriptEditDoc.h"
#include "CScriptEditView.h"
#include "CScriptOutputBar.h"
#include "CScriptStatusBar.h"
#include "CTARVENApp.h"
#include "ScriptConstants.h"

#include <QCloseEvent>
#include <QVBoxLayout>

namespace {

// Qt shows "*" in place of this mark while the window is modified.
QString MarkedTitle(const QString& title)
{
    return title + QStringLiteral("[*]");
}

} // namespace

CScriptChildFrame::CScriptChildFrame(CScriptEditDoc* document, SearchHistory& history)
    : CMdiChildFrame(document), m_pScriptDoc(document),
      m_pView(new CScriptEditView(document, history))
{
    auto* body = new QWidget;
    auto* layout = new QVBoxLayout(body);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_pView, 1);
    m_pStatusBar = new CScriptStatusBar(body);
    layout->addWidget(m_pStatusBar);
    body->setFocusProxy(m_pView);
    setWidget(body);
    // The panes follow the view at once, and blink on a steady beat while the script runs.
    connect(m_pView, &CScriptEditView::stateChanged, this,
            [this] { m_pStatusBar->Update(*m_pView, false); });
    connect(&m_statusTimer, &QTimer::timeout, this,
            [this] { m_pStatusBar->Update(*m_pView, true); });
    m_statusTimer.start(kStatusUpdateMs);
    setWindowTitle(MarkedTitle(document->Title()));
    connect(document, &CDocument::titleChanged, this,
            [this](const QString& title) { setWindowTitle(MarkedTitle(title)); });
    connect(document, &CScriptEditDoc::modifiedChanged, this, &QWidget::setWindowModified);
    document->AttachView(m_pView);
}

void CScriptChildFrame::closeEvent(QCloseEvent* event)
{
    if (!m_pScriptDoc->SaveModified()) {
        event->ignore();
        return;
    }
    m_pView->OnViewClosing();
    m_pScriptDoc->OnCloseDocument();
    CMdiChildFrame::closeEvent(event);
}

namespace {

// The script window whose document is titled title, or null.
CScriptEditView* ViewTitled(const CMainFrame& frame, const QString& title)
{
    for (QMdiSubWindow* window : frame.MdiClient()->subWindowList()) {
        if (auto* scriptFrame = qobject_cast<CScriptChildFrame*>(window);
            scriptFrame != nullptr && scriptFrame->View()->Document()->Title() == title)
            return scriptFrame->View();
    }
    return nullptr;
}

} // namespace

void InstallScriptEditor()
{
    CMainFrame::SetScriptOutputBarFactory([](CMainFrame& frame) -> CSizingControlBar* {
        auto* bar = new CScriptOutputBar(frame);
        QObject::connect(bar, &CScriptOutputBar::errorLineActivated, &frame,
                         [&frame](const QString& title, int line) {
                             CScriptEditView* view = ViewTitled(frame, title);
                             if (view == nullptr)
                                 return;
                             frame.MdiClient()->setActiveSubWindow(view->Document()->Frame());
                             view->GoToLine(line);
                         });
        return bar;
    });
    CTARVENApp::SetScriptFactories([] { return new CScriptEditDoc; },
                                   [](CDocument* document) {
                                       CTARVENApp* app = CTARVENApp::Instance();
                                       // The frame exists by the time a document opens.
                                       CScriptCommands::Attach(app->MainFrame());
                                       return new CScriptChildFrame(
                                           static_cast<CScriptEditDoc*>(document), app->m_history);
                                   });
}
