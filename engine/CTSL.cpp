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
    m_commandMainLine.clear();
    // A line of the file longer than a read line continues on the next read line: the file's
    // line number counts the read lines that end with a line feed.
    size_t read = 0;
    int32_t fileLine = 1;
    for (int i = 0; i < count; ++i) {
        if (IsStopped()) {
            RemoveCommandTable();
            m_commandMainLine.clear();
            return 0;
        }
        for (const auto index = static_cast<size_t>(m_arrMainLineNo[static_cast<size_t>(i)]);
             read < index; ++read)
            fileLine += m_arrLines[read].ends_with('\n') ? 1 : 0;
        const size_t commands = m_listCommand.size();
        CompileMainLine(m_arrMainLines[static_cast<size_t>(i)], fileLine,
                        tsl::Compilation::Lenient);
        if (m_listCommand.size() > commands)
            m_commandMainLine.push_back(i);
    }
    ResolveJumps();
    return 0;
}

int CTSL::CommandLine(std::size_t position) const
{
    return position < m_listCommand.size() ? m_listCommand[position].nLine : 0;
}

std::string CTSL::CommandText(std::size_t position) const
{
    if (position >= m_commandMainLine.size())
        return {};
    const std::string_view line = m_arrMainLines[static_cast<size_t>(m_commandMainLine[position])];
    std::string text;
    text.reserve(line.size());
    bool quoted = false;
    for (const char c : line) {
        quoted = quoted != (c == '"');
        if (c == ' ' && !quoted && (text.empty() || text.back() == ' '))
            continue;
        text += c;
    }
    while (text.ends_with(' '))
        text.pop_back();
    return text;
}

std::string_view CTSL::ReceivedBytes() const
{
    if (m_pRecvData == nullptr || m_nRecvLength <= 0)
        return {};
    return {reinterpret_cast<const char*>(m_pRecvData), static_cast<size_t>(m_nRecvLength)};
}

int CTSL::RemovePrintMessage()
{
    std::lock_guard lock(m_csPrint);
    m_listPrint.clear();
    m_printSizes.clear();
    m_nPrintBytes = 0;
    return 0;
}
