#include "CompiledScript.h"

#include "KeywordTable.h"
#include "ScriptReader.h"

#include <cstdlib>

CVariableTable::~CVariableTable()
{
    if (byKind == KIND_DIM || byKind == KIND_EQU || byKind == KIND_ASSIGN)
        std::free(value.pBuffer);
}

namespace tsl {

CompiledScript::LoadResult CompiledScript::Load(const char* pszPath,
                                                const std::function<void(int)>& onDeclaration)
{
    if (!ReadScriptLines(pszPath, m_arrLines, m_pRun))
        return IsStopped() ? LoadResult::Stopped : LoadResult::Unreadable;
    // Main lines are never longer than their lines: room for them all at once.
    m_arrMainLines.reserve(m_arrLines.bytes(), m_arrLines.size());
    m_arrMainLineNo.reserve(m_arrLines.size());
    const bool walked = WalkScriptLines(
        m_arrLines,
        [&](int index, std::vector<std::string>& words) {
            m_arrTokens.swap(words);
            onDeclaration(index);
            m_arrTokens.swap(words);
        },
        [this](int index, std::string& text) {
            m_arrMainLines.push_back(text);
            m_arrMainLineNo.push_back(index);
        },
        m_pRun);
    return walked ? LoadResult::Loaded : LoadResult::Stopped;
}

CVariableTable* CompiledScript::FindVariableTable(const char* pszName) const
{
    return FindVariable(pszName);
}

CVariableTable* CompiledScript::FindVariable(std::string_view name) const
{
    return m_variableIndex.Find(m_listVariable, name);
}

CLabelTable* CompiledScript::FindLabelTable(const char* pszName) const
{
    return m_labelIndex.Find(m_listLabel, pszName);
}

int CompiledScript::GetKeywordMacro(const char* pszKeyword)
{
    return KeywordCode(pszKeyword);
}

int CompiledScript::RemoveVariableTable()
{
    m_listVariable.clear();
    m_nArrayBytes = 0;
    m_variableIndex.Clear();
    return 0;
}

int CompiledScript::RemoveCommandTable()
{
    m_listCommand.clear();
    m_arena.Clear();
    return 0;
}

int CompiledScript::RemoveLabelTable()
{
    m_listLabel.clear();
    m_labelIndex.Clear();
    return 0;
}

int CompiledScript::RemoveExportTable()
{
    m_listExport.clear();
    return 0;
}

} // namespace tsl
