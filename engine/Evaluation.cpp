// Operand evaluation: values of names and elements, the bytes behind them, index expressions,
// hexadecimal and binary numbers, and the control-code notation of quoted texts.
#include "CTSL.h"

#include "NumberText.h"

#include <cstring>

namespace {

bool IsHexDigit(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

int ElementBytes(uint8_t elemType)
{
    return elemType == ELEM_LONG ? 4 : elemType == ELEM_DOUBLE ? 8 : 1;
}

// Digits of a suffixed number, read from the last but one character back to the first.
int32_t SuffixedValue(const char* pszText, uint32_t base)
{
    const size_t length = std::strlen(pszText);
    if (length < 2)
        return 0;
    uint32_t value = 0;
    uint32_t weight = 1;
    for (size_t i = length - 1; i-- > 0;) {
        const char c = pszText[i];
        const uint32_t digit =
            base == 16 && c >= 'A' && c <= 'F' ? uint32_t(c - 'A' + 10) : uint32_t(c - '0');
        value += digit * weight;
        weight *= base;
    }
    return static_cast<int32_t>(value);
}

} // namespace

// --- Compiled operands -----------------------------------------------------------------------

double CTSL::IndexSum(const COperand& operand) const
{
    double sum = 0;
    for (const COperand::Term& term : operand.index) {
        const double value = term.pName ? ValueOf(*term.pName) : term.dNumber;
        sum = term.bMinus ? sum - value : sum + value;
    }
    return sum;
}

int32_t CTSL::IndexOf(const COperand& operand) const
{
    return tsl::ToIndex(IndexSum(operand));
}

double CTSL::ScalarValue(const CVariableTable& var)
{
    switch (var.byElemType) {
    case ELEM_BYTE:
        return var.value.byValue;
    case ELEM_LONG:
        return var.value.lValue;
    default:
        return var.value.dValue;
    }
}

void CTSL::StoreScalar(CVariableTable& var, double value)
{
    switch (var.byElemType) {
    case ELEM_BYTE:
        var.value.byValue = static_cast<int8_t>(tsl::WrapToInt32(value) & 0xFF);
        break;
    case ELEM_LONG:
        var.value.lValue = tsl::WrapToInt32(value);
        break;
    default:
        var.value.dValue = value;
        break;
    }
}

double CTSL::ValueOf(const COperand& operand) const
{
    const CVariableTable* var = operand.pVar;
    if (!var)
        return 0;
    if (var->byKind == KIND_VAR)
        return ScalarValue(*var);
    if (var->byKind != KIND_DIM)
        return 0;
    const int32_t index = operand.bIndexed ? IndexOf(operand) : 0;
    const int bytes = ElementBytes(var->byElemType);
    if (index < 0 || (int64_t(index) + 1) * bytes > var->nSize)
        return 0; // outside the array: reads 0
    const unsigned char* at = var->value.pBuffer + int64_t(index) * bytes;
    switch (var->byElemType) {
    case ELEM_BYTE:
        return static_cast<int8_t>(*at);
    case ELEM_LONG: {
        int32_t v;
        std::memcpy(&v, at, sizeof v);
        return v;
    }
    default: {
        double v;
        std::memcpy(&v, at, sizeof v);
        return v;
    }
    }
}

double CTSL::SourceValue(const COperand& operand) const
{
    return operand.bValueIsName ? ValueOf(operand) : operand.dValueNumber;
}

CTSL::CBytes CTSL::BytesOf(const COperand& operand) const
{
    CVariableTable* var = operand.pVar;
    if (!var)
        return {};
    if (var->byKind == KIND_VAR)
        return {reinterpret_cast<unsigned char*>(&var->value), var->nSize};
    const int32_t index = operand.bIndexed ? IndexOf(operand) : 0;
    const int32_t bytes = var->BufferBytes();
    if (!var->value.pBuffer || index < 0 || index >= bytes)
        return {}; // outside the buffer: nothing to read or write
    return {var->value.pBuffer + index, bytes - index};
}

CVariableTable* CTSL::ScalarTarget(const COperand& operand)
{
    CVariableTable* var = operand.pExact;
    return var && var->byKind == KIND_VAR ? var : nullptr;
}

CVariableTable* CTSL::ArrayOf(const COperand& operand)
{
    CVariableTable* var = operand.pExact;
    return var && var->byKind == KIND_DIM ? var : nullptr;
}

// --- Operand texts ---------------------------------------------------------------------------

int CTSL::GetVariableType(const char* pszOperand)
{
    COperand operand;
    CompileOperand(pszOperand, operand);
    return operand.pVar ? operand.pVar->byKind : -1;
}

double CTSL::GetBufferValue(const char* pszOperand)
{
    COperand operand;
    CompileOperand(pszOperand, operand);
    return ValueOf(operand);
}

unsigned char* CTSL::GetBufferPointer(const char* pszOperand)
{
    COperand operand;
    CompileOperand(pszOperand, operand);
    return BytesOf(operand).p;
}

void CTSL::SetBufferValue(const char* pszOperand, int, const void* pSource, int nLength)
{
    COperand operand;
    CompileOperand(pszOperand, operand);
    const CBytes target = BytesOf(operand);
    if (target.p && nLength > 0)
        std::memcpy(target.p, pSource, std::min(nLength, target.nRoom));
}

double CTSL::CalcOperation(const char* pszOperand, const char* pBracket)
{
    COperand operand;
    const size_t length = std::strlen(pszOperand);
    const size_t first = static_cast<size_t>(pBracket - pszOperand) + 1;
    if (length > first)
        CompileIndex(pszOperand + first, length - 1 - first, operand);
    return IndexSum(operand);
}

int32_t CTSL::Hex2Dec(const char* pszText)
{
    return SuffixedValue(pszText, 16);
}

int32_t CTSL::Bin2Dec(const char* pszText)
{
    return SuffixedValue(pszText, 2);
}

unsigned char CTSL::GetCode16(const char* pTwo)
{
    auto digit = [](char c) -> int {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
        if (c >= '0' && c <= '9')
            return c - '0';
        if (c >= 'A' && c <= 'Z')
            return c - 'A' + 10;
        return 0;
    };
    return static_cast<unsigned char>(digit(pTwo[0]) * 16 + digit(pTwo[1]));
}

int CTSL::TranslateString(const char* pszSource, unsigned char* pDest, int nLength)
{
    int written = 0;
    bool inCode = false;
    char digits[2] = {};
    int digitCount = 0;
    for (int i = 0; i < nLength; ++i) {
        const char c = pszSource[i];
        const char next = i + 1 < nLength ? pszSource[i + 1] : '\0';
        if (c == '<' && next == '<') {
            pDest[written++] = '<';
            ++i;
        } else if (!inCode) {
            if (c == '<') {
                inCode = true;
                digitCount = 0;
            } else if (c == '>') {
                if (next != '>')
                    return -1; // a lone '>' outside a code
                pDest[written++] = '>';
                ++i;
            } else {
                pDest[written++] = static_cast<unsigned char>(c);
            }
        } else if (IsHexDigit(c)) {
            if (digitCount == 2)
                return -1; // a third digit
            digits[digitCount++] = c;
        } else if (c == '>' && digitCount == 2) {
            pDest[written++] = GetCode16(digits);
            inCode = false;
        } else {
            return -1;
        }
    }
    return inCode ? -1 : written;
}
