// The interpreter loop: one pass over the compiled commands, dispatched through the keyword
// table.
#include "CTSL.h"

#include "KeywordTable.h"

int CTSL::Begin(const unsigned char* pData, int nLength)
{
    m_pRecvData = pData;
    m_nRecvLength = nLength;
    const size_t count = m_listCommand.size();
    if (count == 0) {
        m_pRecvData = nullptr;
        m_nRecvLength = 0;
        return -1;
    }

    CCommandTable* commands = m_listCommand.data();
    const CRunFlag* run = m_pRun;
    size_t position = 0;
    while (position < count && run->IsSet()) {
        CCommandTable* command = &commands[position];
        switch (command->nCode) {
#define TSL_JUMP_CASE(code, text, executor, fewest, most, usage) case code:
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
#define TSL_DISPATCH(code, text, executor, fewest, most, usage)                                    \
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
    m_pRecvData = nullptr;
    m_nRecvLength = 0;
    return 0;
}
