#pragma once

#include "CDebugHook.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

class CRunFlag;

// One declared name as a stopped script held it.
struct CDebugVariable
{
    std::string strName;
    uint8_t byKind = 0;     // KIND_DIM, KIND_VAR, KIND_EQU, KIND_ASSIGN
    uint8_t byElemType = 0; // ELEM_BYTE, ELEM_LONG, ELEM_DOUBLE
    int32_t nBytes = 0;     // what the name holds: a DIM's buffer, a text's characters
    double value = 0;       // a VAR's value
    // The first kMaxShownBytes of a DIM (without its trailing zero bytes) or of a text.
    std::string bytes;
};

// Where a script stopped and what it held then, taken on the script thread while it waits.
struct CDebugStop
{
    uint64_t nStop = 0; // counts the stops of a debugger, and the news after a change
    std::size_t nPosition = 0;
    int nLine = 0; // the line of the file of the command that runs next, from 1
    std::string strText;
    uint16_t wCmpFlags = 0;
    std::string received; // the first kMaxShownBytes of the bytes of the pass
    int32_t nReceived = 0;
    std::vector<CDebugVariable> variables; // at most kMaxShownVariables, in declaration order
    std::size_t nVariables = 0;            // all of them
};

// Stops a running script at breakpoints and steps it one command at a time. While stopped the
// script thread waits in BeforeCommand until Continue, Step or the run flag cleared; what it
// held is told to the listener then (on the script thread) and again after a SetVariable. The
// other operations may be called from any thread.
class CScriptDebugger : public CDebugHook
{
public:
    static constexpr std::size_t kMaxShownBytes = 1024;
    static constexpr std::size_t kMaxShownVariables = 10000;
    // Breakpoints one script keeps at most.
    static constexpr std::size_t kMaxBreakpoints = 10000;

    using StopListener = std::function<void(const CDebugStop&)>;
    explicit CScriptDebugger(StopListener listener = {});

    // The lines of the file to stop at, from 1. A line without a command stops at the next
    // command below it.
    void SetBreakpoints(std::vector<int> lines);
    // The script stops before the next command it runs (the first one, before a run starts).
    void BreakNext();
    // While stopped: run on, or run one command and stop again. False when not stopped.
    bool Continue();
    bool Step();
    // While stopped, sets a VAR to value; the script thread makes the store and tells the stop
    // again. False when not stopped or when the script has no VAR of that name.
    bool SetVariable(const std::string& strName, double value);

    bool IsStopped() const;
    // The last stop told, if the script stopped at all.
    std::optional<CDebugStop> LastStop() const;

    bool BeforeCommand(CTSL& tsl, std::size_t position) override;

private:
    enum Request : unsigned
    {
        kGo = 1,
        kStep = 2,
        kChange = 4,
    };
    struct Change
    {
        std::string strName;
        double value = 0;
    };

    // Script thread: the positions of the commands the breakpoints stop at.
    void Resolve(const CTSL& tsl);
    bool Pause(CTSL& tsl, std::size_t position);
    CDebugStop Snapshot(const CTSL& tsl, std::size_t position);
    void Tell(const CDebugStop& stop);
    bool Ask(unsigned request);
    // Under m_mutex: armed while anything may stop the script.
    void Rearm();

    const StopListener m_listener;
    mutable std::mutex m_mutex;
    std::vector<int> m_lines;
    std::atomic<uint64_t> m_nGeneration{0};
    std::atomic<bool> m_bStopNext{false};
    std::atomic<unsigned> m_requests{0};
    std::vector<Change> m_changes;
    CRunFlag* m_pWaiting = nullptr; // the run flag the stopped script waits on
    const CTSL* m_pStopped = nullptr;
    std::optional<CDebugStop> m_lastStop;
    uint64_t m_nStops = 0;

    // Script thread only.
    uint64_t m_nSeenGeneration = UINT64_MAX;
    std::vector<int> m_commandLines;
    std::vector<char> m_stopAt;
};
