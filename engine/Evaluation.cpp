// Operand evaluation: values of names and elements, the bytes behind them, and index
// expressions, read from the operands compiled with the script; and the operand texts' own
// entry points, which compile a text first.
#include "CTSL.h"

#include "ControlCodes.h"
#include "NumberText.h"

#include <cstring>

// --- Compiled operands -----------------------------------------------------------------------

double CTSL::IndexSum(const tsl::Operand& operand) const
{
    double sum = 0;
    for (const tsl::IndexTerm* term = operand.terms; term != operand.terms + operand.termCount;
         ++term) {
        const double value = term->name ? ValueOf(*term->name) : term->number;
        sum = term->minus ? sum - value : sum + value;
    }
    return sum;
}

int32_t CTSL::IndexOf(const tsl::Operand& operand) const
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

double CTSL::ValueOf(const tsl::Operand& operand) const
{
    const CVariableTable* var = operand.var;
    if (!var)
        return 0;
    if (var->byKind == KIND_VAR)
        return ScalarValue(*var);
    if (var->byKind != KIND_DIM)
        return 0;
    const int32_t index = operand.indexed ? IndexOf(operand) : 0;
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

double CTSL::SourceValue(const tsl::Operand& operand) const
{
    return operand.valueIsName ? ValueOf(operand) : operand.number;
}

CTSL::CBytes CTSL::BytesOf(const tsl::Operand& operand) const
{
    CVariableTable* var = operand.var;
    if (!var)
        return {};
    if (var->byKind == KIND_VAR)
        return {reinterpret_cast<unsigned char*>(&var->value), var->nSize};
    const int32_t index = operand.indexed ? IndexOf(operand) : 0;
    const int32_t bytes = var->BufferBytes();
    if (!var->value.pBuffer || index < 0 || index >= bytes)
        return {}; // outside the buffer: nothing to read or write
    return {var->value.pBuffer + index, bytes - index};
}

CVariableTable* CTSL::ScalarTarget(const tsl::Operand& operand)
{
    CVariableTable* var = operand.exact;
    return var && var->byKind == KIND_VAR ? var : nullptr;
}

CVariableTable* CTSL::ArrayOf(const tsl::Operand& operand)
{
    CVariableTable* var = operand.exact;
    return var && var->byKind == KIND_DIM ? var : nullptr;
}

// --- Operand texts ---------------------------------------------------------------------------

int CTSL::GetVariableType(const char* pszOperand) const
{
    tsl::Arena scratch(tsl::Arena::kOperandBlockBytes);
    const tsl::Operand* operand = CompileOperand(pszOperand, scratch);
    return operand->var ? operand->var->byKind : -1;
}

double CTSL::GetBufferValue(const char* pszOperand) const
{
    tsl::Arena scratch(tsl::Arena::kOperandBlockBytes);
    return ValueOf(*CompileOperand(pszOperand, scratch));
}

unsigned char* CTSL::GetBufferPointer(const char* pszOperand) const
{
    tsl::Arena scratch(tsl::Arena::kOperandBlockBytes);
    return BytesOf(*CompileOperand(pszOperand, scratch)).p;
}

void CTSL::SetBufferValue(const char* pszOperand, int, const void* pSource, int nLength) const
{
    tsl::Arena scratch(tsl::Arena::kOperandBlockBytes);
    const CBytes target = BytesOf(*CompileOperand(pszOperand, scratch));
    if (target.p && nLength > 0)
        std::memcpy(target.p, pSource, static_cast<size_t>(std::min(nLength, target.nRoom)));
}

double CTSL::CalcOperation(const char* pszOperand, const char* pBracket) const
{
    tsl::Arena scratch(tsl::Arena::kOperandBlockBytes);
    return IndexSum(CompileBracket(pszOperand, pBracket, scratch));
}

int32_t CTSL::Hex2Dec(const char* pszText)
{
    return tsl::ReadHexadecimal(pszText);
}

int32_t CTSL::Bin2Dec(const char* pszText)
{
    return tsl::ReadBinary(pszText);
}

unsigned char CTSL::GetCode16(const char* pTwo)
{
    return tsl::GetCode16(pTwo);
}

int CTSL::TranslateString(const char* pszSource, unsigned char* pDest, int nLength)
{
    return tsl::TranslateString(pszSource, pDest, nLength);
}
