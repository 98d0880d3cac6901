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

    const int destinationKind = GetVariableType(destination);
    if (destinationKind == -1)
        return Report(pCmd, tsl::msg::kNotFound, destination);
    if (destinationKind != KIND_DIM)
        return Report(pCmd, tsl::msg::kCopyNotArray, destination);

    if (BeginsWithQuote(source)) {
        if (!EndsWithQuote(source, 3))
            Report(pCmd, tsl::msg::kCopyBadText, source);
        return;
    }
    const int sourceKind = GetVariableType(source);
    if (sourceKind == -1)
        Report(pCmd, tsl::msg::kNotFound, source);
    else if (sourceKind != KIND_DIM && sourceKind != KIND_EQU)
        Report(pCmd, tsl::msg::kCopyNotArray, source);
}

void CTSLSyntax::_Cat(CCommandTable* pCmd)
{
    if (pCmd->byOperandCount != 3)
        return Report(pCmd, tsl::msg::kCatUsage);
    const char* destination = pCmd->szOperand[0];
    const char* source = pCmd->szOperand[1];
    const char* length = pCmd->szOperand[2];

    const int destinationKind = KindOf(destination);
    if (destinationKind == -1)
        return Report(pCmd, tsl::msg::kNotFound, destination);
    if (destinationKind != KIND_DIM)
        return Report(pCmd, tsl::msg::kNotArray, destination);

    if (BeginsWithQuote(source)) {
        if (!std::strchr(source + 1, '"'))
            return Report(pCmd, tsl::msg::kCatBadText, source);
    } else {
        const int sourceKind = KindOf(source);
        if (sourceKind == -1)
            return Report(pCmd, tsl::msg::kNotFound, source);
        if (sourceKind != KIND_DIM)
            return Report(pCmd, tsl::msg::kNotArray, source);
    }

    if (BeginsWithDigit(length)) {
        if (!IsNum(length))
            Report(pCmd, tsl::msg::kCatBadLength, length);
        return;
    }
    const int lengthKind = KindOf(length);
    if (lengthKind == -1)
        Report(pCmd, tsl::msg::kNotFound, length);
    else if (lengthKind != KIND_VAR)
        Report(pCmd, tsl::msg::kCatNotVar, length);
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
    const int targetKind = KindOf(target);
    if (targetKind == -1)
        return Report(pCmd, tsl::msg::kNotFound, target);
    if (targetKind != KIND_VAR)
        return Report(pCmd, tsl::msg::kConvNotScalar, target);
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

    const int arrayKind = KindOf(array);
    if (arrayKind == -1)
        return Report(pCmd, tsl::msg::kNotFound, array);
    if (arrayKind != KIND_DIM)
        return Report(pCmd, tsl::msg::kNotArray, array);
    if (!BeginsWithQuote(pattern) || !EndsWithQuote(pattern, 2))
        return Report(pCmd, tsl::msg::kFindBadPattern);
    const int positionKind = KindOf(position);
    if (positionKind == -1)
        Report(pCmd, tsl::msg::kNotFound, position);
    else if (positionKind != KIND_VAR)
        Report(pCmd, tsl::msg::kWrongTarget, position);
}
