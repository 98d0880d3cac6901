#pragma once

#include <csignal>
#include <cstddef>
#include <setjmp.h>

// Touches a shared mapping that another program may shrink at any moment (truncate(1) on the
// object): a fault (SIGBUS) inside the guarded range ends the access and reports false instead
// of killing the process. Faults anywhere else go on to the handler that was there before.
//
// `access` must only read and write the mapping and memory that outlives it: no object with a
// destructor may be alive inside it when the mapping is touched, since a fault leaves it at once.
class CSharedMemoryGuard
{
public:
    template <class Access> static bool Run(const void* begin, std::size_t size, Access&& access)
    {
        Frame frame{};
        frame.pBegin = static_cast<const char*>(begin);
        frame.nSize = size;
        if (sigsetjmp(frame.env, 0) != 0) {
            Leave(frame);
            return false;
        }
        Enter(frame);
        access();
        Leave(frame);
        return true;
    }

private:
    struct Frame
    {
        sigjmp_buf env;
        const char* pBegin;
        std::size_t nSize;
        Frame* pOuter;
    };

    static void Enter(Frame& frame);
    static void Leave(Frame& frame);
    static void OnFault(int signal, siginfo_t* info, void* context);
};
