#include "CScriptChildFrame.h"

#include "CScriptCommands.h"
#include "CScriptEditDoc.h"
#include "CScriptEditView.h"
#include "CTARVENApp.h"

#include <QCloseEvent>

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
    setWidget(m_pView);
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
    m_pScriptDoc->OnCloseDocument();
    CMdiChildFrame::closeEvent(event);
}

void InstallScriptEditor()
{
    CTARVENApp::SetScriptFactories([] { return new CScriptEditDoc; },
                                   [](CDocument* document) {
                                       CTARVENApp* app = CTARVENApp::Instance();
                                       // The frame exists by the time a document opens.
                                       CScriptCommands::Attach(app->MainFrame());
                                       return new CScriptChildFrame(
                                           static_cast<CScriptEditDoc*>(document), app->m_history);
                                   });
}
