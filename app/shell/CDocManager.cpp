#include "CDocManager.h"

CDocTemplate* CDocManager::AddDocTemplate(std::unique_ptr<CDocTemplate> docTemplate)
{
    m_templates.push_back(std::move(docTemplate));
    return m_templates.back().get();
}

CDocTemplate* CDocManager::FindTemplate(const QString& docName) const
{
    for (const auto& docTemplate : m_templates) {
        if (docTemplate->DocName() == docName)
            return docTemplate.get();
    }
    return nullptr;
}
