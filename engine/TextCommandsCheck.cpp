// Checkers of the text commands on byte arrays: COPY, CAT, CONV and FIND, whose executors are
// in TextCommands.cpp.
#include "CTSLSyntax.h"

#include "SyntaxMessages.h"
#include "SyntaxOperandText.h"

#include <cstring>

using namespace tsl::syntax;

void CTSLSyntax::_CopyX(CCommandTable* pCmd)
{
    if (ReportOperandCount(pCmd))
        return;
    const tsl::Operand& destination = pCmd->m_operand[0];
    const tsl::Operand& source = pCmd->m_operand[1];
    const tsl::Operand& count = pCmd->m_operand[2];

    // The count first. Names read 0 here, so only a count written with a minus sign is known
    // to be negative.
    if (count.text[0] == '-' && BeginsWithDigit(count.text + 1))
        return Report(pCmd, tsl::msg::kCopyNegative, count.text);
    if (!BeginsWithDigit(count.text) && ReportUnknownValue(pCmd, count))
        return;
    if (ReportKind(pCmd, destination, TypeOf(destination), {KIND_DIM}, tsl::msg::kCopyNotArray))
        return;
    if (!BeginsWithQuote(source.text))
        ReportKind(pCmd, source, TypeOf(source), {KIND_DIM, KIND_EQU}, tsl::msg::kCopyNotArray);
    else if (!EndsWithQuote(source.text, 3))
        Report(pCmd, tsl::msg::kCopyBadText, source.text);
}

void CTSLSyntax::_Cat(CCommandTable* pCmd)
{
    if (ReportOperandCount(pCmd))
        return;
    const tsl::Operand& destination = pCmd->m_operand[0];
    const tsl::Operand& source = pCmd->m_operand[1];
    const tsl::Operand& length = pCmd->m_operand[2];

    if (ReportKind(pCmd, destination, KindOf(destination), {KIND_DIM}, tsl::msg::kNotArray))
        return;
    if (!BeginsWithQuote(source.text)) {
        if (ReportKind(pCmd, source, KindOf(source), {KIND_DIM}, tsl::msg::kNotArray))
            return;
    } else if (!std::strchr(source.text + 1, '"')) {
        return Report(pCmd, tsl::msg::kCatBadText, source.text);
    }
    if (!BeginsWithDigit(length.text))
        ReportKind(pCmd, length, KindOf(length), {KIND_VAR}, tsl::msg::kCatNotVar);
    else if (!IsNum(length.text))
        Report(pCmd, tsl::msg::kCatBadLength, length.text);
}

void CTSLSyntax::_Conv(CCommandTable* pCmd)
{
    if (ReportOperandCount(pCmd))
        return;
    const tsl::Operand& target = pCmd->m_operand[0];
    const tsl::Operand& source = pCmd->m_operand[1];
    const tsl::Operand& count = pCmd->m_operand[2];

    // A count below 1 reads nothing, so the target would always get 0.
    if (count.integer <= 0)
        return Report(pCmd, tsl::msg::kConvBadCount, count.text);
    if (ReportKind(pCmd, target, KindOf(target), {KIND_VAR}, tsl::msg::kConvNotScalar))
        return;
    const int sourceKind = TypeOf(source);
    if (sourceKind != KIND_DIM && sourceKind != KIND_EQU)
        Report(pCmd, tsl::msg::kConvNotArray, source.text);
}

void CTSLSyntax::_FindX(CCommandTable* pCmd)
{
    if (ReportOperandCount(pCmd))
        return;
    const tsl::Operand& array = pCmd->m_operand[0];
    const tsl::Operand& pattern = pCmd->m_operand[1];
    const tsl::Operand& position = pCmd->m_operand[2];

    if (ReportKind(pCmd, array, KindOf(array), {KIND_DIM}, tsl::msg::kNotArray))
        return;
    if (!BeginsWithQuote(pattern.text) || !EndsWithQuote(pattern.text, 2))
        return Report(pCmd, tsl::msg::kFindBadPattern);
    ReportKind(pCmd, position, KindOf(position), {KIND_VAR}, tsl::msg::kWrongTarget);
}
