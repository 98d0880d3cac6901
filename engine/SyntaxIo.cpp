// Checkers of the commands that reach outside the variables: IN, OUT, PRINT, PRINTEX, SYNC,
// GET and PUT.
#include "CTSLSyntax.h"

#include "CTSL.h"
#include "NumberText.h"
#include "SyntaxMessages.h"
#include "SyntaxOperandText.h"

#include <cstring>

using namespace tsl::syntax;

namespace {

bool BeginsWithNumber(const char* text)
{
    return text[0] == '+' || text[0] == '-' || BeginsWithDigit(text);
}

bool HasIndex(const char* text)
{
    return std::strchr(text, '[') != nullptr;
}

// The control-code notation between the quotes translates; otherwise OUT would send nothing.
bool TranslatesCleanly(const char* quoted)
{
    const size_t length = std::strlen(quoted);
    unsigned char bytes[kOperandSize];
    return length >= 2 && length - 2 <= sizeof bytes &&
           CTSL::TranslateString(quoted + 1, bytes, static_cast<int>(length - 2)) >= 0;
}

} // namespace

void CTSLSyntax::_In(CCommandTable* pCmd)
{
    if (pCmd->byOperandCount != 2)
        return Report(pCmd, tsl::msg::kInUsage);
    const char* array = pCmd->szOperand[0];
    const char* count = pCmd->szOperand[1];
    if (!ReportKind(pCmd, array, KindOf(array), {KIND_DIM}, tsl::msg::kNotArray))
        ReportKind(pCmd, count, KindOf(count), {KIND_VAR}, tsl::msg::kWrongTarget);
}

void CTSLSyntax::_Out(CCommandTable* pCmd)
{
    if (pCmd->byOperandCount != 1)
        return Report(pCmd, tsl::msg::kOutUsage);
    const char* operand = pCmd->szOperand[0];
    if (!BeginsWithQuote(operand))
        ReportKind(pCmd, operand, KindOf(operand), {KIND_DIM, KIND_EQU}, tsl::msg::kOutArgument);
    else if (!EndsWithQuote(operand, 2) || !TranslatesCleanly(operand))
        Report(pCmd, tsl::msg::kOutArgument);
}

void CTSLSyntax::CheckPrint(CCommandTable* pCmd, const char* pszUsage, const char* pszArgument)
{
    if (pCmd->byOperandCount != 1 && pCmd->byOperandCount != 2)
        return Report(pCmd, pszUsage);
    const char* operand = pCmd->szOperand[0];
    if (BeginsWithQuote(operand)) {
        if (!EndsWithQuote(operand, 2))
            return Report(pCmd, pszArgument);
    } else if (!FindVariableTable(operand)) {
        return Report(pCmd, tsl::msg::kNotFound, operand);
    }
    if (pCmd->byOperandCount == 2) {
        const char* mode = pCmd->szOperand[1];
        if (std::strcmp(mode, "T") != 0 && std::strcmp(mode, "H") != 0)
            Report(pCmd, tsl::msg::kBadMode, mode);
    }
}

void CTSLSyntax::_Print(CCommandTable* pCmd)
{
    CheckPrint(pCmd, tsl::msg::kPrintUsage, tsl::msg::kPrintArgument);
}

void CTSLSyntax::_PrintEx(CCommandTable* pCmd)
{
    CheckPrint(pCmd, tsl::msg::kPrintExUsage, tsl::msg::kPrintExArgument);
}

void CTSLSyntax::_Sync(CCommandTable* pCmd)
{
    if (pCmd->byOperandCount != 1)
        return Report(pCmd, tsl::msg::kSyncUsage);
    if (!IsNum(pCmd->szOperand[0]))
        Report(pCmd, tsl::msg::kBadValue, pCmd->szOperand[0]);
}

bool CTSLSyntax::NamesATag(const char* pszOperand) const
{
    // A tag's name is the text of the named variable; a scalar has none, and the command
    // would silently do nothing.
    const int kind = KindOf(pszOperand);
    return kind != -1 && kind != KIND_VAR;
}

void CTSLSyntax::_Get(CCommandTable* pCmd)
{
    if (pCmd->byOperandCount != 2 && pCmd->byOperandCount != 3)
        return Report(pCmd, tsl::msg::kGetUsage);
    const char* target = pCmd->szOperand[0];
    const char* tag = pCmd->szOperand[1];

    if (BeginsWithNumber(target))
        return Report(pCmd, tsl::msg::kBadMode, target);
    const int kind = GetVariableType(target);
    if (kind == -1)
        return Report(pCmd, tsl::msg::kNotFound, target);
    if (HasIndex(target) && kind != KIND_DIM)
        return Report(pCmd, tsl::msg::kBadMode, target);

    if (!BeginsWithUpper(tag))
        return Report(pCmd, tsl::msg::kBadTagName, tag);
    if (!NamesATag(tag))
        return Report(pCmd, tsl::msg::kTagNotFound, tag);

    // A count below 1 would copy nothing from a text tag.
    if (pCmd->byOperandCount == 3 && tsl::ReadInteger(pCmd->szOperand[2]) <= 0)
        Report(pCmd, tsl::msg::kBadMode, pCmd->szOperand[2]);
}

void CTSLSyntax::_Put(CCommandTable* pCmd)
{
    if (pCmd->byOperandCount != 2 && pCmd->byOperandCount != 3)
        return Report(pCmd, tsl::msg::kPutUsage);
    const char* tag = pCmd->szOperand[0];
    const char* value = pCmd->szOperand[1];

    if (!NamesATag(tag))
        return Report(pCmd, tsl::msg::kTagNotFound, tag);

    if (BeginsWithQuote(value)) {
        if (!EndsWithQuote(value, 2))
            return Report(pCmd, tsl::msg::kBadMode, value);
    } else if (!BeginsWithNumber(value)) {
        const int kind = GetVariableType(value);
        if (kind == -1)
            return Report(pCmd, tsl::msg::kNotFound, value);
        if (HasIndex(value) && kind != KIND_DIM)
            return Report(pCmd, tsl::msg::kBadMode, value);
    }

    if (pCmd->byOperandCount == 3) {
        const char* count = pCmd->szOperand[2];
        if (IsNum(count)) {
            if (tsl::ReadInteger(count) == 0)
                Report(pCmd, tsl::msg::kBadMode, count);
        } else {
            ReportUnknownValue(pCmd, count);
        }
    }
}
