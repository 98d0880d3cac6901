// The verifier's reading, declarations and main section: the front end's records, with each
// fault it found reported, and every command handed to its checker.
#include "CTSLSyntax.h"

#include "CSharedMemoryAccess.h"
#include "CSharedMemoryConstants.h"
#include "KeywordTable.h"
#include "MessageLanguage.h"
#include "NumberText.h"
#include "ScriptEncoding.h"
#include "SyntaxMessages.h"
#include "TransportConstants.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>

namespace {

constexpr size_t kMaxIpChars = sizeof(COMM::szIP) - 1;
constexpr size_t kMaxPortChars = sizeof(COMM::szPort) - 1;

// A port value written as a number, which must then name a TCP or UDP port.
bool LooksNumeric(const std::string& value)
{
    return !value.empty() && (std::isdigit(static_cast<unsigned char>(value[0])) ||
                              value[0] == '+' || value[0] == '-');
}

// Decimal digits only, 1 to 65535: a value outside would be cut to 16 bits when connecting.
bool IsPortText(const char* value)
{
    return value[0] != '\0' && CTSLSyntax::IsNum(value) && IsPortNumber(tsl::ReadInteger(value));
}

bool IsNetworkMedia(int32_t media)
{
    return media == MEDIA_TCP || media == MEDIA_UDP;
}

const char* MessageOf(tsl::DeclarationFault fault)
{
    using tsl::DeclarationFault;
    switch (fault) {
    case DeclarationFault::TooManyWords:
        return tsl::msg::kTooManyWords;
    case DeclarationFault::WrongArguments:
        return tsl::msg::kWrongArguments;
    case DeclarationFault::BufferTooSmall:
        return tsl::msg::kBufferTooSmall;
    case DeclarationFault::BadSuffix:
        return tsl::msg::kBadSuffix;
    case DeclarationFault::BufferTooLarge:
        return tsl::msg::kBufferTooLarge;
    case DeclarationFault::NameTooLong:
        return tsl::msg::kWrongStatement;
    case DeclarationFault::ExportNotFound:
        return tsl::msg::kExportNotFound;
    case DeclarationFault::UnknownKeyword:
        return tsl::msg::kUnknownDeclaration;
    default:
        return nullptr;
    }
}

// The index of `value` in `texts`, or -1.
template <size_t N> int IndexOf(const char* const (&texts)[N], const std::string& value)
{
    for (size_t i = 0; i < N; ++i) {
        if (value == texts[i])
            return static_cast<int>(i);
    }
    return -1;
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

bool CTSLSyntax::ReportStop()
{
    if (!IsStopped())
        return false;
    if (!m_bStopReported)
        m_arrErrors.push_back(tsl::MessageText(tsl::msg::kCheckStopped));
    m_bStopReported = true;
    return true;
}

void CTSLSyntax::AddError(const char* pszFormat, int nLine, const char* pszText)
{
    // Every text a message names comes from one script line, so it is short; the size only
    // guards the format.
    const std::string format = tsl::MessageText(pszFormat);
    char message[1024];
    if (pszText)
        std::snprintf(message, sizeof message, format.c_str(), nLine,
                      tsl::ScriptTextAsUtf8(pszText).c_str());
    else
        std::snprintf(message, sizeof message, format.c_str(), nLine);
    m_arrErrors.emplace_back(message);
}

int CTSLSyntax::LoadScript(const char* pszPath)
{
    const LoadResult result = Load(pszPath, [this](int index) { _CompileVariableScript(index); });
    if (result == LoadResult::Unreadable) {
        char message[1024];
        std::snprintf(message, sizeof message, tsl::MessageText(tsl::msg::kFileUnreadable).c_str(),
                      pszPath);
        m_arrErrors.emplace_back(message);
        return -1;
    }
    if (ReportStop())
        return -1;
    return static_cast<int>(m_arrMainLines.size());
}

int CTSLSyntax::_CompileVariableScript(int nLineIndex)
{
    const int line = nLineIndex + 1;
    if (m_arrTokens.empty())
        return -1;
    const tsl::Declaration d = ReadDeclaration(m_arrTokens);
    if (d.fault == tsl::DeclarationFault::TooManyWords) {
        AddError(tsl::msg::kTooManyWords, line);
        return -1;
    }
    switch (d.keyword) {
    case tsl::DeclarationKeyword::Open: {
        const int result =
            d.wordCount == 3 ? CheckCom(d.words[0].c_str(), d.words[1].c_str(), d.words[2].c_str())
                             : -1;
        if (result == -2)
            AddError(tsl::msg::kDuplicateKeyword, line, d.words[1].c_str());
        else if (result != 0)
            AddError(tsl::msg::kOpenArguments, line);
        return result;
    }
    case tsl::DeclarationKeyword::TableName: {
        const int result = d.wordCount == 2 ? CheckTableName(d.words[0].c_str(), d.words[1].c_str(),
                                                             d.words[2].c_str())
                                            : -1;
        if (result == -2)
            AddError(tsl::msg::kDuplicateKeyword, line, d.words[1].c_str());
        else if (result != 0)
            AddError(tsl::msg::kTableNameArguments, line);
        return result;
    }
    default:
        break;
    }
    if (d.fault == tsl::DeclarationFault::Duplicate) {
        const bool isText = d.kind == KIND_EQU || d.kind == KIND_ASSIGN;
        AddError(isText ? tsl::msg::kDuplicateText : tsl::msg::kDuplicateVariable, line);
        return -1;
    }
    if (d.fault != tsl::DeclarationFault::None) {
        AddError(MessageOf(d.fault), line);
        return -1;
    }
    if (d.kind != 0)
        AddVariable(d, false);
    return 0;
}

int CTSLSyntax::CheckCom(const char*, const char* pszWord2, const char* pszWord3)
{
    static const char* const kMedia[] = {"RS232C", "TCP", "UDP"};
    static const char* const kParity[] = {"NONE", "ODD", "EVEN"};
    static const char* const kStop[] = {"1", "1.5", "2"};
    const std::string key = pszWord2;
    const std::string value = pszWord3;
    if (key == "MEDIA") {
        if (m_comm.nMedia != 0)
            return -2;
        const int index = IndexOf(kMedia, value);
        if (index < 0)
            return -1;
        m_comm.nMedia = index + 1;
        // A port given before the medium must suit it.
        if (IsNetworkMedia(m_comm.nMedia) && m_comm.szPort[0] != '\0' && !IsPortText(m_comm.szPort))
            return -1;
        return 0;
    }
    if (key == "IP" || key == "PORT") {
        const bool isPort = key == "PORT";
        char* field = isPort ? m_comm.szPort : m_comm.szIP;
        if (field[0] != '\0')
            return -2;
        if (value.size() > (isPort ? kMaxPortChars : kMaxIpChars))
            return -1;
        if (isPort && (LooksNumeric(value) || IsNetworkMedia(m_comm.nMedia)) &&
            !IsPortText(value.c_str()))
            return -1;
        std::memcpy(field, value.c_str(), value.size() + 1);
        return 0;
    }
    if (key == "LOCAL_PORT") {
        if (m_comm.nLocalPort != 0)
            return -2;
        if (value.size() > kMaxPortChars || !IsPortText(value.c_str()))
            return -1;
        m_comm.nLocalPort = tsl::ReadInteger(value.c_str());
        return 0;
    }
    if (key == "FLOW_CONTROL") {
        if (m_comm.nFlowControl != -1)
            return -2;
        const int index = IndexOf(kFlowControlTexts, value);
        if (index < 0)
            return -1;
        m_comm.nFlowControl = index;
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
    if (key == "PARITY_BIT" || key == "STOP_BIT") {
        const bool isParity = key == "PARITY_BIT";
        if ((isParity ? m_comm.nParityBit : m_comm.nStopBit) != -1)
            return -2;
        const int index = isParity ? IndexOf(kParity, value) : IndexOf(kStop, value);
        if (index < 0)
            return -1;
        if (isParity)
            m_comm.nParityBit = index;
        else
            m_comm.nStopBit = index;
        return 0;
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
    // Other programs name the table in UTF-8, whatever the script file's encoding.
    m_strTableName = first == std::string::npos
                         ? std::string()
                         : tsl::ScriptTextAsUtf8(m_strTableName.substr(
                               first, m_strTableName.find_last_not_of('"') - first + 1));
    // The name becomes the names of a shared memory object and its semaphores: an empty name,
    // one with '/', or one too long for them could never be opened.
    const size_t extraBytes =
        SharedObject::kSemaphoreFileExtraBytes + std::strlen(SharedTable::kTagLockSuffix);
    std::string reason;
    return SharedObject::CheckName(m_strTableName, "table name", extraBytes, reason) == 0 ? 0 : -1;
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

int CTSLSyntax::_CompileMainScript1(int nLines)
{
    if (ReportStop())
        return 0;
    bool hasBegin = false;
    bool hasEnd = false;
    const int count = std::min(nLines, static_cast<int>(m_arrMainLines.size()));
    m_listCommand.reserve(static_cast<size_t>(std::max(count, 0)));
    for (int i = 0; i < count; ++i) {
        if (ReportStop())
            return 0;
        const std::string_view text = m_arrMainLines[static_cast<size_t>(i)];
        const int line = m_arrMainLineNo[static_cast<size_t>(i)] + 1;
        if (text.find("BEGIN:") != std::string_view::npos)
            hasBegin = true;
        else if (text.find("END:") != std::string_view::npos)
            hasEnd = true;
        switch (CompileMainLine(text, line, tsl::Compilation::Strict)) {
        case tsl::MainLineFault::WrongStatement:
            AddError(tsl::msg::kWrongStatement, line);
            break;
        case tsl::MainLineFault::DuplicateLabel:
            AddError(tsl::msg::kDuplicateLabel, line);
            break;
        case tsl::MainLineFault::UndefinedCommand:
            AddError(tsl::msg::kUndefinedCommand, line);
            break;
        case tsl::MainLineFault::None:
            break;
        }
    }
    ResolveJumps();
    if (!hasBegin)
        AddError(tsl::msg::kNoBegin, -1);
    if (!hasEnd)
        AddError(tsl::msg::kNoEnd, -1);
    return 0;
}

int CTSLSyntax::_VerifyMainScript()
{
    for (CCommandTable& command : m_listCommand) {
        if (ReportStop())
            return 0;
        switch (command.nCode) {
#define TSL_CHECK(code, text, checker, fewest, most, value, usage)                                 \
    case code:                                                                                     \
        checker(&command);                                                                         \
        break;
            TSL_COMMANDS(TSL_CHECK)
            TSL_JUMPS(TSL_CHECK)
#undef TSL_CHECK
        default:
            break; // unknown keywords were reported while compiling and made no record
        }
    }
    return 0;
}
