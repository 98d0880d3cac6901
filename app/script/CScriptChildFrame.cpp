#include "CScriptChildFrame.h"

#include "CScriptEditDoc.h"
#include "CScriptEditView.h"
#include "CScriptStatusBar.h"
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

CScriptChildFrame::CScriptChildFrame(CScriptEditDoc* document, SearchHistory& history,
                                     CScriptOutputBar* output)
    : CMdiChildFrame(document), m_pScriptDoc(document),
      m_pView(new CScriptEditView(document, history, output))
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
