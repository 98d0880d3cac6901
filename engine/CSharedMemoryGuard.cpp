#include "CSharedMemoryGuard.h"

#include <csignal>
#include <mutex>

namespace {

// The innermost guarded access of this thread. Initial-exec, so that the handler reads it
// without calling into the dynamic linker.
__attribute__((tls_model("initial-exec"))) thread_local void* t_pFrame = nullptr;

struct sigaction g_previous = {};

} // namespace

void CSharedMemoryGuard::Enter(Frame& frame)
{
    static std::once_flag installed;
    std::call_once(installed, [] {
        struct sigaction action = {};
        action.sa_sigaction = &CSharedMemoryGuard::OnFault;
        // SA_NODEFER: leaving the handler by siglongjmp must not leave SIGBUS blocked.
        action.sa_flags = SA_SIGINFO | SA_NODEFER | SA_ONSTACK;
        sigemptyset(&action.sa_mask);
        sigaction(SIGBUS, &action, &g_previous);
    });
    frame.pOuter = static_cast<Frame*>(t_pFrame);
    t_pFrame = &frame;
}

void CSharedMemoryGuard::Leave(Frame& frame)
{
    t_pFrame = frame.pOuter;
}

void CSharedMemoryGuard::OnFault(int signal, siginfo_t* info, void* context)
{
    auto* frame = static_cast<Frame*>(t_pFrame);
    const char* address = static_cast<const char*>(info->si_addr);
    if (frame && address >= frame->pBegin && address < frame->pBegin + frame->nSize)
        siglongjmp(frame->env, 1);
    // Not ours: hand it to whoever had SIGBUS before, or let the default action end the
    // process when the faulting instruction runs again.
    if ((g_previous.sa_flags & SA_SIGINFO) && g_previous.sa_sigaction) {
        g_previous.sa_sigaction(signal, info, context);
    } else if (g_previous.sa_handler != SIG_DFL && g_previous.sa_handler != SIG_IGN) {
        g_previous.sa_handler(signal);
    } else {
        struct sigaction fallback = {};
        fallback.sa_handler = SIG_DFL;
        sigemptyset(&fallback.sa_mask);
        sigaction(SIGBUS, &fallback, nullptr);
    }
}
