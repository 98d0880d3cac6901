#pragma once

#include <QList>
#include <QString>
#include <functional>

class CDocument;
class CMdiChildFrame;
class QMdiArea;

// One document type: how to make its documents and frames, and the documents open of it.
class CDocTemplate
{
public:
    using DocumentFactory = std::function<CDocument*()>;
    using FrameFactory = std::function<CMdiChildFrame*(CDocument*)>;

    // docName titles new documents (docName1, docName2, ...); menuId selects the menu bar
    // shown while one of its documents is active.
    CDocTemplate(const QString& docName, int menuId, DocumentFactory makeDocument,
                 FrameFactory makeFrame);
    ~CDocTemplate();
    CDocTemplate(const CDocTemplate&) = delete;
    CDocTemplate& operator=(const CDocTemplate&) = delete;

    QString DocName() const { return m_docName; }
    int MenuId() const { return m_nMenuId; }
    const QList<CDocument*>& Documents() const { return m_documents; }

    // Opens path in a new child window of area, or an untitled document when path is empty.
    // An already open file is brought forward instead. Null when the file cannot be opened;
    // error then says why, when the document knows.
    CDocument* OpenDocumentFile(const QString& path, QMdiArea* area, QString* error = nullptr);

private:
    friend class CDocument;
    void RemoveDocument(CDocument* document) { m_documents.removeOne(document); }
    CDocument* FindOpenDocument(const QString& path) const;

    QString m_docName;
    int m_nMenuId = 0;
    DocumentFactory m_makeDocument;
    FrameFactory m_makeFrame;
    QList<CDocument*> m_documents;
    int m_nUntitledCount = 0;
};
