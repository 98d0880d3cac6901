#pragma once

#include <atomic>
#include <cstddef>

class CTSL;

// Watches a running script command by command: a debugger, or a tracer. A script with a hook
// runs its passes through a loop of their own that asks the hook before each command while it
// is armed; a script without one runs the plain loop, which never looks for a hook.
class CDebugHook
{
public:
    virtual ~CDebugHook() = default;

    // Called on the script thread before the command at `position` of the command list runs,
    // while the hook is armed. False ends the pass there, as a cleared run flag does.
    virtual bool BeforeCommand(CTSL& tsl, std::size_t position) = 0;

    // Read before every command: a hook that has nothing to stop at costs a load and a branch.
    bool IsArmed() const { return m_bArmed.load(std::memory_order_relaxed); }

protected:
    void SetArmed(bool bArmed) { m_bArmed.store(bArmed, std::memory_order_relaxed); }

private:
    std::atomic<bool> m_bArmed{true};
};
