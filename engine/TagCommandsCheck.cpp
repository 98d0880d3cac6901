// Checkers of GET and PUT, whose executors are in TagCommands.cpp.
#include "CTSLSyntax.h"

#include "SyntaxMessages.h"
#include "SyntaxOperandText.h"

using namespace tsl::syntax;

namespace {

bool BeginsWithNumber(const char* text)
{
    return text[0] == '+' || text[0] == '-' || BeginsWithDigit(text);
}

} // namespace

void CTSLSyntax::_Get(CCommandTable* pCmd)
{
    if (ReportOperandCount(pCmd))
        return;
    const tsl::Operand& target = pCmd->m_operand[0];
    const tsl::Operand& tag = pCmd->m_operand[1];

    if (BeginsWithNumber(target.text))
        return Report(pCmd, tsl::msg::kBadMode, target.text);
    const int kind = TypeOf(target);
    if (kind == -1)
        return Report(pCmd, tsl::msg::kNotFound, target.text);
    if (target.indexed && kind != KIND_DIM)
        return Report(pCmd, tsl::msg::kBadMode, target.text);

    if (!BeginsWithUpper(tag.text))
        return Report(pCmd, tsl::msg::kBadTagName, tag.text);
    if (!NamesATag(tag))
        return Report(pCmd, tsl::msg::kTagNotFound, tag.text);

    // A count below 1 would copy nothing from a text tag.
    if (pCmd->byOperandCount == 3 && pCmd->m_operand[2].integer <= 0)
        Report(pCmd, tsl::msg::kBadMode, pCmd->szOperand(2));
}

void CTSLSyntax::_Put(CCommandTable* pCmd)
{
    if (ReportOperandCount(pCmd))
        return;
    const tsl::Operand& tag = pCmd->m_operand[0];
    const tsl::Operand& value = pCmd->m_operand[1];

    if (!NamesATag(tag))
        return Report(pCmd, tsl::msg::kTagNotFound, tag.text);

    if (BeginsWithQuote(value.text)) {
        if (!EndsWithQuote(value.text, 2))
            return Report(pCmd, tsl::msg::kBadMode, value.text);
    } else if (!BeginsWithNumber(value.text)) {
        const int kind = TypeOf(value);
        if (kind == -1)
            return Report(pCmd, tsl::msg::kNotFound, value.text);
        if (value.indexed && kind != KIND_DIM)
            return Report(pCmd, tsl::msg::kBadMode, value.text);
    }

    if (pCmd->byOperandCount == 3) {
        const tsl::Operand& count = pCmd->m_operand[2];
        if (IsNum(count.text)) {
            if (count.integer == 0)
                Report(pCmd, tsl::msg::kBadMode, count.text);
        } else {
            ReportUnknownValue(pCmd, count);
        }
    }
}
