// The interpreter loop, one pass over the compiled commands dispatched through the keyword
// table, and the commands of control flow: CMP, the jumps, DELAY and SLEEP. They sit with the
// loop so that the compiler can fold CMP and the jumps, which most loops run on every round,
// into the dispatch. Their checkers are in InterpreterCheck.cpp.
#include "CTSL.h"

#include "CDebugHook.h"
#include "KeywordTable.h"

int CTSL::Begin(const unsigned char* pData, int nLength)
{
    m_pRecvData = pData;
    m_nRecvLength = nLength;
    if (m_listCommand.empty()) {
        m_pRecvData = nullptr;
        m_nRecvLength = 0;
        return -1;
    }
    // Decided once a pass: without a hook the loop is the same as if there were none.
    if (m_pDebugHook != nullptr) [[unlikely]]
        RunPass<true>();
    else
        RunPass<false>();
    m_pRecvData = nullptr;
    m_nRecvLength = 0;
    return 0;
}

template <bool kWatched> void CTSL::RunPass()
{
    const size_t count = m_listCommand.size();
    CCommandTable* commands = m_listCommand.data();
    const CRunFlag* run = m_pRun;
    size_t position = 0;
    while (position < count && run->IsSet()) {
        if constexpr (kWatched) {
            if (m_pDebugHook->IsArmed() && !m_pDebugHook->BeforeCommand(*this, position))
                break;
        }
        CCommandTable* command = &commands[position];
        switch (command->nCode) {
#define TSL_JUMP_CASE(code, text, executor, fewest, most, value, usage) case code:
            TSL_JUMPS(TSL_JUMP_CASE)
#undef TSL_JUMP_CASE
            {
                const bool conditional = command->nCode != tsl::kCodeJp;
                const int target =
                    conditional ? _Jp_condition(command, command->nCode) : _Jp(command);
                if (target >= 0)
                    position = static_cast<size_t>(target);
                else if (conditional)
                    ++position; // not taken
                else
                    position = count; // JP to a label that does not exist ends the pass
                continue;
            }
#define TSL_DISPATCH(code, text, executor, fewest, most, value, usage)                             \
    case code:                                                                                     \
        executor(command);                                                                         \
        break;
            TSL_COMMANDS(TSL_DISPATCH)
#undef TSL_DISPATCH
        default:
            break; // an unknown keyword is stepped over
        }
        ++position;
    }
}

void CTSL::_Cmp(CCommandTable* pCmd)
{
    const tsl::Operand& left = pCmd->m_operand[0];
    const tsl::Operand& right = pCmd->m_operand[1];
    const double a = left.exact ? ValueOf(left) : 0;
    const double b = right.upperFirst ? ValueOf(right) : right.number;
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
