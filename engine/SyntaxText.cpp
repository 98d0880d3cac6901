// Checkers of the text commands on byte arrays: COPY, CAT, CONV and FIND.
#include "CTSLSyntax.h"

#include "NumberText.h"
#include "SyntaxMessages.h"
#include "SyntaxOperandText.h"

#include <cstring>

using namespace tsl::syntax;

void CTSLSyntax::_CopyX(CCommandTable* pCmd)
{
    if (pCmd->byOperandCount != 3)
        return Report(pCmd, tsl::msg::kCopyUsage);
    const char* destination = pCmd->szOperand[0];
    const char* source = pCmd->szOperand[1];
    const char* count = pCmd->szOperand[2];

    // The count first. Names read 0 here, so only a count written with a minus sign is known
    // to be negative.
    if (count[0] == '-' && BeginsWithDigit(count + 1))
        return Report(pCmd, tsl::msg::kCopyNegative, count);
    if (!BeginsWithDigit(count) && ReportUnknownValue(pCmd, count))
        return;
    if (ReportKind(pCmd, destination, GetVariableType(destination), {KIND_DIM},
                   tsl::msg::kCopyNotArray))
        return;
    if (!BeginsWithQuote(source))
        ReportKind(pCmd, source, GetVariableType(source), {KIND_DIM, KIND_EQU},
                   tsl::msg::kCopyNotArray);
    else if (!EndsWithQuote(source, 3))
        Report(pCmd, tsl::msg::kCopyBadText, source);
}

void CTSLSyntax::_Cat(CCommandTable* pCmd)
{
    if (pCmd->byOperandCount != 3)
        return Report(pCmd, tsl::msg::kCatUsage);
    const char* destination = pCmd->szOperand[0];
    const char* source = pCmd->szOperand[1];
    const char* length = pCmd->szOperand[2];

    if (ReportKind(pCmd, destination, KindOf(destination), {KIND_DIM}, tsl::msg::kNotArray))
        return;
    if (!BeginsWithQuote(source)) {
        if (ReportKind(pCmd, source, KindOf(source), {KIND_DIM}, tsl::msg::kNotArray))
            return;
    } else if (!std::strchr(source + 1, '"')) {
        return Report(pCmd, tsl::msg::kCatBadText, source);
    }
    if (!BeginsWithDigit(length))
        ReportKind(pCmd, length, KindOf(length), {KIND_VAR}, tsl::msg::kCatNotVar);
    else if (!IsNum(length))
        Report(pCmd, tsl::msg::kCatBadLength, length);
}

void CTSLSyntax::_Conv(CCommandTable* pCmd)
{
    if (pCmd->byOperandCount != 3)
        return Report(pCmd, tsl::msg::kConvUsage);
    const char* target = pCmd->szOperand[0];
    const char* source = pCmd->szOperand[1];
    const char* count = pCmd->szOperand[2];

    // A count below 1 reads nothing, so the target would always get 0.
    if (tsl::ReadInteger(count) <= 0)
        return Report(pCmd, tsl::msg::kConvBadCount, count);
    if (ReportKind(pCmd, target, KindOf(target), {KIND_VAR}, tsl::msg::kConvNotScalar))
        return;
    const int sourceKind = GetVariableType(source);
    if (sourceKind != KIND_DIM && sourceKind != KIND_EQU)
        Report(pCmd, tsl::msg::kConvNotArray, source);
}

void CTSLSyntax::_FindX(CCommandTable* pCmd)
{
    if (pCmd->byOperandCount != 3)
        return Report(pCmd, tsl::msg::kFindUsage);
    const char* array = pCmd->szOperand[0];
    const char* pattern = pCmd->szOperand[1];
    const char* position = pCmd->szOperand[2];

    if (ReportKind(pCmd, array, KindOf(array), {KIND_DIM}, tsl::msg::kNotArray))
        return;
    if (!BeginsWithQuote(pattern) || !EndsWithQuote(pattern, 2))
        return Report(pCmd, tsl::msg::kFindBadPattern);
    ReportKind(pCmd, position, KindOf(position), {KIND_VAR}, tsl::msg::kWrongTarget);
}
