// The comparison, jump and timing commands: CMP, JP, JPE to JPGE, DELAY and SLEEP. Their
// checkers are in FlowCheck.cpp.
#include "CTSL.h"

#include "KeywordTable.h"

void CTSL::_Cmp(CCommandTable* pCmd)
{
    const tsl::Operand& left = pCmd->m_operand[0];
    const tsl::Operand& right = pCmd->m_operand[1];
    const double a = left.exact ? ValueOf(left) : 0;
    const double b = right.upperFirst ? ValueOf(right) : right.Decimal();
    uint16_t flags = a == b ? CMP_EQ : CMP_NE;
    if (a < b)
        flags |= CMP_LT;
    if (a <= b)
        flags |= CMP_LE;
    else
        flags |= CMP_GT;
    if (a >= b)
        flags |= CMP_GE;
    m_wCmpFlags = flags;
}

int CTSL::_Jp(CCommandTable* pCmd)
{
    return pCmd->m_nJumpTarget;
}

int CTSL::_Jp_condition(CCommandTable* pCmd, int nCode)
{
    const uint16_t flag = static_cast<uint16_t>(1u << (nCode - tsl::kCodeFirstConditionalJump));
    return (m_wCmpFlags & flag) != 0 ? pCmd->m_nJumpTarget : -1;
}

void CTSL::_Delay(CCommandTable* pCmd)
{
    m_nOutInterval = pCmd->m_operand[0].integer;
}

void CTSL::_Sleep(CCommandTable* pCmd)
{
    // Ends at once when the host stops the script, so a stop never waits out a long sleep.
    m_pRun->SleepFor(pCmd->m_operand[0].integer);
}
