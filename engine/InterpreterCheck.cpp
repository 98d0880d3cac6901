// Checkers of the comparison, jump and timing commands: CMP, JP, JPE to JPGE, DELAY, SLEEP,
// whose executors are in Interpreter.cpp.
#include "CTSLSyntax.h"

#include "SyntaxMessages.h"
#include "SyntaxOperandText.h"

using namespace tsl::syntax;

void CTSLSyntax::_Cmp(CCommandTable* pCmd)
{
    if (ReportOperandCount(pCmd))
        return;
    if (!pCmd->m_operand[0].exact)
        return Report(pCmd, tsl::msg::kNotFound, pCmd->szOperand(0));
    if (BeginsWithUpper(pCmd->szOperand(1)))
        ReportUnknownValue(pCmd, pCmd->m_operand[1]);
}

void CTSLSyntax::CheckJump(CCommandTable* pCmd)
{
    if (ReportOperandCount(pCmd))
        return;
    // Every label was known when the jump was given its position, so a jump may go forward.
    if (pCmd->m_nJumpTarget < 0)
        Report(pCmd, tsl::msg::kLabelNotFound, pCmd->szOperand(0));
}

void CTSLSyntax::_Jp(CCommandTable* pCmd)
{
    CheckJump(pCmd);
}

void CTSLSyntax::_Jp_condition(CCommandTable* pCmd)
{
    CheckJump(pCmd);
}

void CTSLSyntax::CheckMilliseconds(CCommandTable* pCmd, const char* pszArgument)
{
    if (ReportOperandCount(pCmd))
        return;
    if (!IsNum(pCmd->szOperand(0)))
        Report(pCmd, pszArgument);
}

void CTSLSyntax::_Delay(CCommandTable* pCmd)
{
    CheckMilliseconds(pCmd, tsl::msg::kDelayArgument);
}

void CTSLSyntax::_Sleep(CCommandTable* pCmd)
{
    CheckMilliseconds(pCmd, tsl::msg::kSleepArgument);
}
