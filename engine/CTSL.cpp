#include "CTSL.h"

#include "CSharedMemory.h"
#include "KeywordTable.h"
#include "NumberText.h"
#include "RecordLists.h"
#include "ScriptReader.h"
#include "TextField.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <new>

namespace {

// Copies a word into a fixed field, cut so that its NUL stays inside.
uint8_t ElementTypeOf(char suffix)
{
    switch (suffix) {
    case '%':
        return ELEM_LONG;
    case '#':
        return ELEM_DOUBLE;
    default:
        return ELEM_BYTE;
    }
}

int ElementSize(uint8_t elemType)
{
    return elemType == ELEM_LONG ? 4 : elemType == ELEM_DOUBLE ? 8 : 1;
}

std::string WithoutLast(const std::string& word)
{
    return word.empty() ? word : word.substr(0, word.size() - 1);
}

} // namespace

CVariableTable::~CVariableTable()
{
    if (byKind == KIND_DIM || byKind == KIND_EQU || byKind == KIND_ASSIGN)
        delete[] value.pBuffer;
}

CPrintMessage::CPrintMessage(const std::string& text) : m_pszText(new char[text.size() + 1])
{
    std::memcpy(m_pszText.get(), text.c_str(), text.size() + 1);
}

CTSL::CTSL(QObject* pParent, const std::string& strTableName)
    : m_pParent(pParent), m_strTableName(strTableName)
{
    if (strTableName.empty())
        return;
    // The tag lock only after the table opened, which checks the name: a refused name leaves
    // nothing behind, and a table made here goes again when its lock cannot be had.
    auto table = std::make_unique<CSharedMemory>(strTableName, SharedTable::kDefaultSizeBytes);
    if (!table->IsInitialised()) {
        m_strTableError = table->GetErrorText();
        return;
    }
    auto lock = std::make_unique<CNamedSemaphore>(strTableName + SharedTable::kTagLockSuffix, 1);
    if (!lock->IsOpen()) {
        m_strTableError = lock->GetErrorText();
        if (table->IsCreator()) {
            table.reset();
            int error = 0;
            std::string message;
            CSharedMemory::Remove(strTableName, error, message);
        }
        return;
    }
    m_pSharedTable = std::move(table);
    m_pTagLock = std::move(lock);
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
    if (!tsl::ReadScriptLines(pszPath, m_arrLines))
        return 0;
    tsl::WalkScriptLines(
        m_arrLines,
        [this](int, std::vector<std::string>& words) {
            m_arrTokens = std::move(words);
            _CompileVariableScript();
            m_arrTokens.clear();
        },
        [this](int, std::string& text) { m_arrMainLines.push_back(std::move(text)); });
    return static_cast<int>(m_arrMainLines.size());
}

int CTSL::_CompileVariableScript()
{
    if (m_arrTokens.empty())
        return -1;
    // The words as the fixed 256-character fields hold them.
    std::string word[3];
    for (size_t i = 0; i < 3 && i < m_arrTokens.size(); ++i)
        word[i] = m_arrTokens[i].substr(0, 255);
    const std::string& keyword = word[0];
    auto has = [&keyword](const char* text) { return keyword.find(text) != std::string::npos; };

    auto record = std::make_unique<CVariableTable>();
    if (has("DIM")) {
        record->byKind = KIND_DIM;
        tsl::CopyField(record->szName, WithoutLast(word[1]));
        record->byElemType = ElementTypeOf(word[1].empty() ? '\0' : word[1].back());
        const int64_t bytes =
            int64_t(tsl::ReadInteger(word[2].c_str())) * ElementSize(record->byElemType);
        // A size the record cannot hold, or memory the system refuses, leaves an empty array,
        // which every command treats as having no room.
        if (bytes > 0 && bytes <= INT32_MAX) {
            record->value.pBuffer = new (std::nothrow) unsigned char[bytes]();
            if (record->value.pBuffer)
                record->nSize = static_cast<int32_t>(bytes);
        }
    } else if (has("VAR")) {
        record->byKind = KIND_VAR;
        tsl::CopyField(record->szName, WithoutLast(word[1]));
        record->byElemType = ElementTypeOf(word[1].empty() ? '\0' : word[1].back());
        switch (record->byElemType) {
        case ELEM_BYTE:
            record->value.byValue = static_cast<int8_t>(tsl::ReadInteger(word[2].c_str()) & 0xFF);
            record->nSize = 1;
            break;
        case ELEM_LONG:
            record->value.lValue = tsl::ReadInteger(word[2].c_str());
            record->nSize = 4;
            break;
        default:
            record->value.dValue = tsl::ReadDecimal(word[2].c_str());
            record->nSize = 8;
            break;
        }
    } else if (has("EXPORT")) {
        if (const CVariableTable* var = FindVariableTable(word[1].c_str())) {
            auto exported = std::make_unique<CExportTable>();
            exported->byKind = var->byKind;
            exported->byElemType = var->byElemType;
            exported->nSize = var->nSize;
            std::memcpy(&exported->nValue, &var->value, sizeof exported->nValue);
            m_listExport.push_back(std::move(exported));
        }
        return 0;
    } else if (has("EQU") || has("ASSIGN")) {
        record->byKind = has("EQU") ? KIND_EQU : KIND_ASSIGN;
        tsl::CopyField(record->szName, word[1]);
        const std::string text = word[2].size() >= 2 ? word[2].substr(1, word[2].size() - 2) : "";
        record->nSize = static_cast<int32_t>(text.size());
        record->value.pBuffer = new unsigned char[text.size() + 1];
        std::memcpy(record->value.pBuffer, text.c_str(), text.size() + 1);
    } else {
        return 0; // OPEN, TABLE_NAME and unknown words make no record
    }
    m_listVariable.push_back(std::move(record));
    return 0;
}

CVariableTable* CTSL::FindVariableTable(const char* pszName) const
{
    return tsl::FindByName(m_listVariable, pszName);
}

CLabelTable* CTSL::FindLabelTable(const char* pszName) const
{
    return tsl::FindByName(m_listLabel, pszName);
}

int CTSL::GetKeywordMacro(const char* pszKeyword)
{
    return tsl::KeywordCode(pszKeyword);
}

int CTSL::RemoveVariableTable()
{
    m_listVariable.clear();
    return 0;
}

int CTSL::RemoveCommandTable()
{
    m_listCommand.clear();
    return 0;
}

int CTSL::RemoveLabelTable()
{
    m_listLabel.clear();
    return 0;
}

int CTSL::RemoveExportTable()
{
    m_listExport.clear();
    return 0;
}

int CTSL::RemovePrintMessage()
{
    std::lock_guard lock(m_csPrint);
    m_listPrint.clear();
    return 0;
}
