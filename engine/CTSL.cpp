#include "CTSL.h"

#include "CSharedMemory.h"

#include <algorithm>
#include <cstring>

CPrintMessage::CPrintMessage(const std::string& text) : m_pszText(new char[text.size() + 1])
{
    std::memcpy(m_pszText.get(), text.c_str(), text.size() + 1);
}

CTSL::CTSL(QObject* pParent, const std::string& strTableName)
    : m_pParent(pParent), m_strTableName(strTableName)
{
    if (strTableName.empty())
        return;
    int error = 0;
    CSharedMemory::OpenWithTagLock(strTableName, CSharedMemory::OpenMode::CreateOrOpen,
                                   m_pSharedTable, m_pTagLock, error, m_strTableError);
}

CTSL::~CTSL()
{
    RemoveVariableTable();
    RemoveCommandTable();
    RemoveLabelTable();
    RemoveExportTable();
    RemovePrintMessage();
}

int CTSL::LoadScript(const char* pszPath)
{
    if (Load(pszPath, [this](int) { _CompileVariableScript(); }) != LoadResult::Loaded)
        return 0;
    return static_cast<int>(m_arrMainLines.size());
}

int CTSL::_CompileVariableScript()
{
    if (m_arrTokens.empty())
        return -1;
    const tsl::Declaration declaration = ReadDeclaration(m_arrTokens);
    switch (declaration.keyword) {
    case tsl::DeclarationKeyword::Dim:
    case tsl::DeclarationKeyword::Var:
    case tsl::DeclarationKeyword::Equ:
    case tsl::DeclarationKeyword::Assign:
        AddVariable(declaration, true);
        break;
    case tsl::DeclarationKeyword::Export:
        if (const CVariableTable* var = FindVariableTable(declaration.name.c_str())) {
            auto exported = std::make_unique<CExportTable>();
            exported->byKind = var->byKind;
            exported->byElemType = var->byElemType;
            exported->nSize = var->nSize;
            std::memcpy(&exported->nValue, &var->value, sizeof exported->nValue);
            m_listExport.push_back(std::move(exported));
        }
        break;
    default:
        break; // OPEN, TABLE_NAME and unknown words make no record
    }
    return 0;
}

int CTSL::_CompileMainScript1(int nLines)
{
    const int count = std::min(nLines, static_cast<int>(m_arrMainLines.size()));
    m_listCommand.reserve(static_cast<size_t>(std::max(count, 0)));
    for (int i = 0; i < count; ++i) {
        if (IsStopped()) {
            RemoveCommandTable();
            return 0;
        }
        CompileMainLine(m_arrMainLines[static_cast<size_t>(i)], 0, tsl::Compilation::Lenient);
    }
    ResolveJumps();
    return 0;
}

int CTSL::RemovePrintMessage()
{
    std::lock_guard lock(m_csPrint);
    m_listPrint.clear();
    m_printSizes.clear();
    m_nPrintBytes = 0;
    return 0;
}
