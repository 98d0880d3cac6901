// Text handling in byte arrays: COPY, CAT, CONV and FIND. Every write stays inside the target
// array and keeps a terminating NUL inside it; every read stays inside its source. Their
// checkers are in TextCommandsCheck.cpp.
#include "CTSL.h"

#include "ControlCodes.h"
#include "NumberText.h"

#include <cstring>
#include <string>

namespace {

constexpr int kTextLimit = 255; // FIND and CONV look at no more than this many characters

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// The text of an array: its bytes up to the first NUL, never past its end.
std::string ArrayText(const CVariableTable& array, size_t limit)
{
    const char* bytes = reinterpret_cast<const char*>(array.value.pBuffer);
    if (!bytes)
        return {};
    const size_t max = std::min(static_cast<size_t>(array.nSize), limit);
    return std::string(bytes, strnlen(bytes, max));
}

// The characters between the first and the last character of an operand (its quotes).
std::string QuotedInner(const char* pszOperand)
{
    const size_t length = std::strlen(pszOperand);
    return length >= 2 ? std::string(pszOperand + 1, length - 2) : std::string();
}

} // namespace

void CTSL::_CopyX(CCommandTable* pCmd)
{
    const tsl::Operand& countOperand = pCmd->m_operand[2];
    const int32_t count = IsDigit(countOperand.text[0]) ? countOperand.integer
                                                        : tsl::ClampToInt32(ValueOf(countOperand));
    const CBytes destination = BytesOf(pCmd->m_operand[0]);
    if (!destination.p)
        return;

    // A quoted source is copied as written, from just after its quote; a count past the text
    // takes the closing quote and then zeros, up to the 79 characters an operand may have.
    const char* quoted = pCmd->szOperand(1);
    CBytes source;
    int32_t written = 0; // bytes the source really has; the rest of its room reads as zeros
    if (quoted[0] == '"') {
        source.p = reinterpret_cast<unsigned char*>(const_cast<char*>(quoted + 1));
        source.nRoom = kOperandSize - 1;
        written = static_cast<int32_t>(std::strlen(quoted + 1));
    } else {
        source = BytesOf(pCmd->m_operand[1]);
        if (!source.p)
            return;
        written = source.nRoom;
    }

    if (count < 1) {
        destination.p[0] = '\0';
        return;
    }
    const int32_t n = std::min({count, destination.nRoom - 1, source.nRoom});
    // One byte at a time in increasing order, so an overlapping copy behaves as it always has.
    for (int32_t i = 0; i < n; ++i)
        destination.p[i] = i < written ? source.p[i] : 0;
    destination.p[n] = '\0';
}

void CTSL::_Cat(CCommandTable* pCmd)
{
    CVariableTable* destination = ArrayOf(pCmd->m_operand[0]);
    if (!destination || !destination->value.pBuffer)
        return;

    std::string source;
    if (pCmd->szOperand(1)[0] == '"')
        source = QuotedInner(pCmd->szOperand(1));
    else if (const CVariableTable* array = ArrayOf(pCmd->m_operand[1]))
        source = ArrayText(*array, static_cast<size_t>(array->nSize));

    char* text = reinterpret_cast<char*>(destination->value.pBuffer);
    const size_t size = static_cast<size_t>(destination->nSize);
    size_t length = strnlen(text, size);
    if (!source.empty() && length + 1 < size) {
        const size_t n = std::min(source.size(), size - 1 - length);
        std::memcpy(text + length, source.data(), n);
        length += n;
        text[length] = '\0';
    }
    if (CVariableTable* target = ScalarTarget(pCmd->m_operand[2]))
        StoreScalar(*target, static_cast<double>(length));
}

void CTSL::_Conv(CCommandTable* pCmd)
{
    const int32_t count = pCmd->m_operand[2].integer;
    const CBytes source = BytesOf(pCmd->m_operand[1]);
    char text[kTextLimit + 1] = {};
    if (source.p && count > 0)
        std::memcpy(text, source.p,
                    static_cast<size_t>(std::min({count, kTextLimit, source.nRoom})));
    if (CVariableTable* target = ScalarTarget(pCmd->m_operand[0]))
        StoreScalar(*target, tsl::ReadDecimal(text));
}

void CTSL::_FindX(CCommandTable* pCmd)
{
    const CVariableTable* array = ArrayOf(pCmd->m_operand[0]);
    const std::string text = array ? ArrayText(*array, kTextLimit) : std::string();

    // The pattern: the quoted text, each "<xy>" group standing for the byte xy.
    const std::string written = QuotedInner(pCmd->szOperand(1)).substr(0, kTextLimit);
    std::string pattern;
    for (size_t i = 0; i < written.size(); ++i) {
        if (written[i] == '<' && i + 3 < written.size() && written[i + 3] == '>') {
            pattern += static_cast<char>(tsl::GetCode16(written.c_str() + i + 1));
            i += 3;
        } else {
            pattern += written[i];
        }
    }

    pattern.resize(strnlen(pattern.c_str(), pattern.size())); // a <00> ends the pattern text

    // Not found, or nothing to look for: -1, which no position can be.
    const size_t at = pattern.empty() ? std::string::npos : text.find(pattern);
    if (CVariableTable* target = ScalarTarget(pCmd->m_operand[2]))
        StoreScalar(*target, at == std::string::npos ? -1.0 : static_cast<double>(at));
}
