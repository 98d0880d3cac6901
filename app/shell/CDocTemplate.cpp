#include "CDocTemplate.h"

#include "CDocument.h"
#include "CMdiChildFrame.h"

#include <QFileInfo>
#include <QMdiArea>
#include <memory>

CDocTemplate::CDocTemplate(const QString& docName, int menuId, DocumentFactory makeDocument,
                           FrameFactory makeFrame)
    : m_docName(docName), m_nMenuId(menuId), m_makeDocument(std::move(makeDocument)),
      m_makeFrame(std::move(makeFrame))
{}

CDocTemplate::~CDocTemplate()
{
    // Frames that outlive the template must not report back to it.
    for (CDocument* document : m_documents)
        document->m_pTemplate = nullptr;
}

CDocument* CDocTemplate::FindOpenDocument(const QString& path) const
{
    const QString absolute = QFileInfo(path).absoluteFilePath();
    for (CDocument* document : m_documents) {
        if (document->PathName() == absolute)
            return document;
    }
    return nullptr;
}

CDocument* CDocTemplate::OpenDocumentFile(const QString& path, QMdiArea* area, QString* error)
{
    if (!path.isEmpty()) {
        if (CDocument* open = FindOpenDocument(path)) {
            area->setActiveSubWindow(open->Frame());
            return open;
        }
    }

    std::unique_ptr<CDocument> document(m_makeDocument());
    document->m_pTemplate = this;
    if (path.isEmpty()) {
        if (!document->OnNewDocument())
            return nullptr;
        document->SetTitle(m_docName + QString::number(++m_nUntitledCount));
    } else {
        if (!document->OnOpenDocument(path)) {
            if (error != nullptr)
                *error = document->OpenError();
            return nullptr;
        }
        document->SetPathName(path);
    }

    CDocument* opened = document.release();
    CMdiChildFrame* frame = m_makeFrame(opened);
    opened->m_pFrame = frame;
    m_documents.append(opened);
    area->addSubWindow(frame);
    frame->show();
    area->setActiveSubWindow(frame);
    return opened;
}
