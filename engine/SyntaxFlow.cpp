// Checkers of the comparison, jump and timing commands: CMP, JP, JPE to JPGE, DELAY, SLEEP.
#include "CTSLSyntax.h"

#include "SyntaxMessages.h"
#include "SyntaxOperandText.h"

using namespace tsl::syntax;

void CTSLSyntax::_Cmp(CCommandTable* pCmd)
{
    if (pCmd->byOperandCount != 2)
        return Report(pCmd, tsl::msg::kCmpUsage);
    if (!FindVariableTable(pCmd->szOperand[0]))
        return Report(pCmd, tsl::msg::kNotFound, pCmd->szOperand[0]);
    if (BeginsWithUpper(pCmd->szOperand[1]))
        ReportUnknownValue(pCmd, pCmd->szOperand[1]);
}

void CTSLSyntax::CheckJump(CCommandTable* pCmd, const char* pszUsage)
{
    if (pCmd->byOperandCount != 1)
        return Report(pCmd, pszUsage);
    // Every label is known by now, so a jump may go forward.
    if (!FindLabelTable(pCmd->szOperand[0]))
        Report(pCmd, tsl::msg::kLabelNotFound, pCmd->szOperand[0]);
}

void CTSLSyntax::_Jp(CCommandTable* pCmd)
{
    CheckJump(pCmd, tsl::msg::kJpUsage);
}

void CTSLSyntax::_Jp_condition(CCommandTable* pCmd)
{
    CheckJump(pCmd, tsl::msg::kJpxxUsage);
}

void CTSLSyntax::CheckMilliseconds(CCommandTable* pCmd, const char* pszUsage,
                                   const char* pszArgument)
{
    if (pCmd->byOperandCount != 1)
        return Report(pCmd, pszUsage);
    if (!IsNum(pCmd->szOperand[0]))
        Report(pCmd, pszArgument);
}

void CTSLSyntax::_Delay(CCommandTable* pCmd)
{
    CheckMilliseconds(pCmd, tsl::msg::kDelayUsage, tsl::msg::kDelayArgument);
}

void CTSLSyntax::_Sleep(CCommandTable* pCmd)
{
    CheckMilliseconds(pCmd, tsl::msg::kSleepUsage, tsl::msg::kSleepArgument);
}
