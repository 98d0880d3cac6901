#include "CTSLSyntax.h"

#include "KeywordTable.h"
#include "NumberText.h"
#include "RecordLists.h"
#include "ScriptReader.h"
#include "SyntaxMessages.h"
#include "TextField.h"

#include <cstdio>
#include <cstring>

namespace {

constexpr size_t kMaxIpChars = sizeof(COMM::szIP) - 1;
constexpr size_t kMaxPortChars = sizeof(COMM::szPort) - 1;

bool IsSuffix(char c)
{
    return c == '$' || c == '%' || c == '#';
}

} // namespace

CTSLSyntax::CTSLSyntax(QObject* pParent) : m_pParent(pParent) {}

CTSLSyntax::~CTSLSyntax()
{
    m_arrLines.clear();
    m_arrErrors.clear();
    RemoveVariableTable();
    RemoveCommandTable();
    RemoveLabelTable();
    RemoveExportTable();
}

void CTSLSyntax::AddError(const char* pszFormat, int nLine, const char* pszText)
{
    // Every text a message names comes from one script line, so it is short; the size only
    // guards the format.
    char message[1024];
    if (pszText)
        std::snprintf(message, sizeof message, pszFormat, nLine, pszText);
    else
        std::snprintf(message, sizeof message, pszFormat, nLine);
    m_arrErrors.emplace_back(message);
}

int CTSLSyntax::LoadScript(const char* pszPath)
{
    if (!tsl::ReadScriptLines(pszPath, m_arrLines)) {
        char message[1024];
        std::snprintf(message, sizeof message, tsl::msg::kFileUnreadable, pszPath);
        m_arrErrors.emplace_back(message);
        return -1;
    }
    tsl::WalkScriptLines(
        m_arrLines,
        [this](int index, std::vector<std::string>& words) {
            m_arrTokens = std::move(words);
            _CompileVariableScript(index);
            m_arrTokens.clear();
        },
        [this](int index, std::string& text) {
            m_arrMainLines.push_back(std::move(text));
            m_arrMainLineNo.push_back(static_cast<uint16_t>(index));
        });
    return static_cast<int>(m_arrMainLines.size());
}

bool CTSLSyntax::Declare(const std::string& name, uint8_t byKind)
{
    auto record = std::make_unique<CVariableTable>();
    record->byKind = byKind;
    tsl::CopyField(record->szName, name);
    m_listVariable.push_back(std::move(record));
    return true;
}

int CTSLSyntax::_CompileVariableScript(int nLineIndex)
{
    const int line = nLineIndex + 1;
    const size_t count = m_arrTokens.size();
    if (count == 0)
        return -1;
    if (count > 3) {
        AddError(tsl::msg::kTooManyWords, line);
        return -1;
    }
    std::string word[3];
    for (size_t i = 0; i < count; ++i)
        word[i] = m_arrTokens[i].substr(0, 255);
    const std::string& keyword = word[0];
    auto has = [&keyword](const char* text) { return keyword.find(text) != std::string::npos; };
    auto nameTooLong = [](const std::string& name) {
        return name.size() > static_cast<size_t>(kNameSize - 1);
    };

    if (has("DIM") || has("VAR")) {
        const bool isArray = has("DIM");
        if (count != 3) {
            AddError(tsl::msg::kWrongArguments, line);
            return -1;
        }
        if (isArray && tsl::ReadInteger(word[2].c_str()) <= 0) {
            AddError(tsl::msg::kBufferTooSmall, line);
            return -1;
        }
        if (!IsSuffix(word[1].back())) {
            AddError(tsl::msg::kBadSuffix, line);
            return -1;
        }
        const std::string name = word[1].substr(0, word[1].size() - 1);
        if (nameTooLong(name)) {
            AddError(tsl::msg::kWrongStatement, line);
            return -1;
        }
        if (FindVariableTable(name.c_str())) {
            AddError(tsl::msg::kDuplicateVariable, line);
            return -1;
        }
        Declare(name, isArray ? KIND_DIM : KIND_VAR);
        return 0;
    }
    if (has("EXPORT")) {
        if (count != 2) {
            AddError(tsl::msg::kWrongArguments, line);
            return -1;
        }
        if (!FindVariableTable(word[1].c_str())) {
            AddError(tsl::msg::kExportNotFound, line);
            return -1;
        }
        return 0;
    }
    if (has("EQU") || has("ASSIGN")) {
        if (count != 3) {
            AddError(tsl::msg::kWrongArguments, line);
            return -1;
        }
        if (nameTooLong(word[1])) {
            AddError(tsl::msg::kWrongStatement, line);
            return -1;
        }
        if (FindVariableTable(word[1].c_str())) {
            AddError(tsl::msg::kDuplicateText, line);
            return -1;
        }
        Declare(word[1], has("EQU") ? KIND_EQU : KIND_ASSIGN);
        return 0;
    }
    if (has("OPEN")) {
        const int result =
            count == 3 ? CheckCom(word[0].c_str(), word[1].c_str(), word[2].c_str()) : -1;
        if (result == -2)
            AddError(tsl::msg::kDuplicateKeyword, line, word[1].c_str());
        else if (result != 0)
            AddError(tsl::msg::kOpenArguments, line);
        return result;
    }
    if (has("TABLE_NAME")) {
        const int result =
            count == 2 ? CheckTableName(word[0].c_str(), word[1].c_str(), word[2].c_str()) : -1;
        if (result == -2)
            AddError(tsl::msg::kDuplicateKeyword, line, word[1].c_str());
        else if (result != 0)
            AddError(tsl::msg::kTableNameArguments, line);
        return result;
    }
    AddError(tsl::msg::kUnknownDeclaration, line);
    return -1;
}

int CTSLSyntax::CheckCom(const char*, const char* pszWord2, const char* pszWord3)
{
    const std::string key = pszWord2;
    const std::string value = pszWord3;
    if (key == "MEDIA") {
        if (m_comm.nMedia != 0)
            return -2;
        static const char* const kMedia[] = {"RS232C", "TCP", "UDP"};
        for (int i = 0; i < 3; ++i) {
            if (value == kMedia[i]) {
                m_comm.nMedia = i + 1;
                return 0;
            }
        }
        return -1;
    }
    if (key == "IP") {
        if (m_comm.szIP[0] != '\0')
            return -2;
        if (value.size() > kMaxIpChars)
            return -1;
        tsl::CopyField(m_comm.szIP, value);
        return 0;
    }
    if (key == "PORT") {
        if (m_comm.szPort[0] != '\0')
            return -2;
        if (value.size() > kMaxPortChars)
            return -1;
        tsl::CopyField(m_comm.szPort, value);
        return 0;
    }
    if (key == "BAUD_RATE") {
        if (m_comm.nBaudRate != -1)
            return -2;
        for (int i = 0; i < kBaudRateCount; ++i) {
            if (value == kBaudRateTexts[i]) {
                m_comm.nBaudRate = i;
                return 0;
            }
        }
        return -1;
    }
    if (key == "DATA_BIT") {
        if (m_comm.nDataBit != -1)
            return -2;
        const int bits = tsl::ReadInteger(value.c_str());
        if (bits != 7 && bits != 8)
            return -1;
        m_comm.nDataBit = bits == 7 ? 0 : 1;
        return 0;
    }
    if (key == "PARITY_BIT") {
        if (m_comm.nParityBit != -1)
            return -2;
        static const char* const kParity[] = {"NONE", "ODD", "EVEN"};
        for (int i = 0; i < 3; ++i) {
            if (value == kParity[i]) {
                m_comm.nParityBit = i;
                return 0;
            }
        }
        return -1;
    }
    if (key == "STOP_BIT") {
        if (m_comm.nStopBit != -1)
            return -2;
        static const char* const kStop[] = {"1", "1.5", "2"};
        for (int i = 0; i < 3; ++i) {
            if (value == kStop[i]) {
                m_comm.nStopBit = i;
                return 0;
            }
        }
        return -1;
    }
    return -1;
}

int CTSLSyntax::CheckTableName(const char*, const char* pszWord2, const char*)
{
    if (!m_strTableName.empty())
        return -2;
    m_strTableName = pszWord2;
    if (m_strTableName.size() < 1 || m_strTableName.front() != '"' || m_strTableName.back() != '"')
        return -1;
    const size_t first = m_strTableName.find_first_not_of('"');
    m_strTableName =
        first == std::string::npos
            ? std::string()
            : m_strTableName.substr(first, m_strTableName.find_last_not_of('"') - first + 1);
    return 0;
}

void CTSLSyntax::GetCom(COMM* pComm) const
{
    *pComm = m_comm;
}

int CTSLSyntax::GetTableName(std::string& strName) const
{
    strName = m_strTableName;
    return static_cast<int>(strName.size());
}

CVariableTable* CTSLSyntax::FindVariableTable(const char* pszName) const
{
    return tsl::FindByName(m_listVariable, pszName);
}

CLabelTable* CTSLSyntax::FindLabelTable(const char* pszName) const
{
    return tsl::FindByName(m_listLabel, pszName);
}

int CTSLSyntax::GetKeywordMacro(const char* pszKeyword)
{
    return tsl::KeywordCode(pszKeyword);
}

int CTSLSyntax::RemoveVariableTable()
{
    m_listVariable.clear();
    return 0;
}

int CTSLSyntax::RemoveCommandTable()
{
    m_listCommand.clear();
    return 0;
}

int CTSLSyntax::RemoveLabelTable()
{
    m_listLabel.clear();
    return 0;
}

int CTSLSyntax::RemoveExportTable()
{
    m_listExport.clear();
    return 0;
}
