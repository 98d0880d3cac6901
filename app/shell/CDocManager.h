#pragma once

#include "CDocTemplate.h"

#include <memory>
#include <vector>

// The registered document types, in the order they were added.
class CDocManager
{
public:
    CDocTemplate* AddDocTemplate(std::unique_ptr<CDocTemplate> docTemplate);
    // The first type whose document name is docName, or null.
    CDocTemplate* FindTemplate(const QString& docName) const;
    const std::vector<std::unique_ptr<CDocTemplate>>& Templates() const { return m_templates; }

private:
    std::vector<std::unique_ptr<CDocTemplate>> m_templates;
};
