#include "RunSignals.h"

#include "TslRunOptions.h"

#include <QMetaObject>
#include <QObject>

#include <atomic>
#include <csignal>
#include <ctime>
#include <mutex>
#include <pthread.h>
#include <thread>
#include <unistd.h>

namespace RunSignals {
namespace {

// Made once and never destroyed: the signal thread may look at it while the program exits.
struct State
{
    std::mutex mutex;
    QObject* pContext = nullptr;
    std::function<void(int)> stop;
    std::atomic<int> status{0};
    std::atomic<int> taken{0};
    // Raised by Disarm: a deadline armed under an older value lets the program go on.
    std::atomic<unsigned> generation{0};
};

State& TheState()
{
    static State* state = new State;
    return *state;
}

sigset_t StopSignals()
{
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGTERM);
    return set;
}

void SleepMs(int ms)
{
    timespec delay{ms / 1000, static_cast<long>(ms % 1000) * 1'000'000};
    while (clock_nanosleep(CLOCK_MONOTONIC, 0, &delay, &delay) == EINTR) {
    }
}

void TakeSignals()
{
    const sigset_t set = StopSignals();
    for (;;) {
        int signal = 0;
        if (sigwait(&set, &signal) != 0)
            continue;
        const int status = signal == SIGINT ? TslRunExit::kSigint : TslRunExit::kSigterm;
        State& state = TheState();
        std::lock_guard lock(state.mutex);
        state.taken = status;
        if (!state.pContext)
            EndNow(status);
        ArmDeadline(status);
        QMetaObject::invokeMethod(
            state.pContext, [stop = state.stop, status] { stop(status); }, Qt::QueuedConnection);
    }
}

} // namespace

void Start()
{
    const sigset_t set = StopSignals();
    pthread_sigmask(SIG_BLOCK, &set, nullptr);
    // Standard output that went away is told by EPIPE, not by a signal.
    std::signal(SIGPIPE, SIG_IGN);
    std::thread(TakeSignals).detach();
}

void HandOver(QObject* context, std::function<void(int)> stop)
{
    State& state = TheState();
    std::lock_guard lock(state.mutex);
    state.pContext = context;
    state.stop = std::move(stop);
}

void TakeBack()
{
    State& state = TheState();
    std::lock_guard lock(state.mutex);
    state.pContext = nullptr;
    state.stop = nullptr;
}

void ArmDeadline(int status, int ms)
{
    SetStatus(status);
    const unsigned generation = TheState().generation;
    std::thread([ms, generation] {
        SleepMs(ms);
        const State& state = TheState();
        if (state.generation == generation || state.taken != 0)
            EndNow(state.status);
    }).detach();
}

void Disarm()
{
    ++TheState().generation;
}

int Taken()
{
    return TheState().taken;
}

void SetStatus(int status)
{
    TheState().status = status;
}

void EndNow(int status)
{
    // Standard error is unbuffered and standard output goes through the writer's own calls, so
    // there is nothing to flush: waiting on a stream's lock here could block the end itself.
    _exit(status);
}

} // namespace RunSignals
