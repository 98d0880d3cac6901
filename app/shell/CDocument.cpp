#include "CDocument.h"

#include "CDocTemplate.h"

#include <QFile>
#include <QFileInfo>

CDocument::~CDocument()
{
    if (m_pTemplate != nullptr)
        m_pTemplate->RemoveDocument(this);
}

void CDocument::SetTitle(const QString& title)
{
    if (title == m_title)
        return;
    m_title = title;
    emit titleChanged(m_title);
}

void CDocument::SetPathName(const QString& path)
{
    m_pathName = QFileInfo(path).absoluteFilePath();
    SetTitle(QFileInfo(path).fileName());
}

bool CDocument::OnOpenDocument(const QString& path)
{
    QFile file(path);
    return QFileInfo(path).isFile() && file.open(QIODevice::ReadOnly);
}
