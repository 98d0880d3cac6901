#include "CScriptDebugger.h"

#include "CRunFlag.h"
#include "CTSL.h"

#include <algorithm>

CScriptDebugger::CScriptDebugger(StopListener listener) : m_listener(std::move(listener))
{
    SetArmed(false);
}

void CScriptDebugger::SetBreakpoints(std::vector<int> lines)
{
    std::sort(lines.begin(), lines.end());
    lines.erase(std::unique(lines.begin(), lines.end()), lines.end());
    lines.erase(lines.begin(), std::upper_bound(lines.begin(), lines.end(), 0));
    if (lines.size() > kMaxBreakpoints)
        lines.resize(kMaxBreakpoints);
    std::lock_guard lock(m_mutex);
    m_lines = std::move(lines);
    m_nGeneration.fetch_add(1, std::memory_order_release);
    Rearm();
}

void CScriptDebugger::BreakNext()
{
    std::lock_guard lock(m_mutex);
    m_bStopNext.store(true, std::memory_order_relaxed);
    Rearm();
}

void CScriptDebugger::Rearm()
{
    SetArmed(!m_lines.empty() || m_bStopNext.load(std::memory_order_relaxed));
}

bool CScriptDebugger::Continue()
{
    return Ask(kGo);
}

bool CScriptDebugger::Step()
{
    return Ask(kStep);
}

bool CScriptDebugger::SetVariable(const std::string& strName, double value)
{
    {
        std::lock_guard lock(m_mutex);
        if (m_pStopped == nullptr)
            return false;
        // The script thread waits: its names stay as they are.
        const CVariableTable* var = m_pStopped->FindVariableTable(strName.c_str());
        if (var == nullptr || var->byKind != KIND_VAR)
            return false;
        m_changes.push_back({strName, value});
    }
    return Ask(kChange);
}

bool CScriptDebugger::Ask(unsigned request)
{
    std::lock_guard lock(m_mutex);
    if (m_pWaiting == nullptr)
        return false;
    m_requests.fetch_or(request, std::memory_order_relaxed);
    m_pWaiting->Wake();
    return true;
}

bool CScriptDebugger::IsStopped() const
{
    std::lock_guard lock(m_mutex);
    return m_pStopped != nullptr;
}

std::optional<CDebugStop> CScriptDebugger::LastStop() const
{
    std::lock_guard lock(m_mutex);
    return m_lastStop;
}

void CScriptDebugger::Resolve(const CTSL& tsl)
{
    std::vector<int> lines;
    {
        std::lock_guard lock(m_mutex);
        lines = m_lines;
        m_nSeenGeneration = m_nGeneration.load(std::memory_order_relaxed);
    }
    const std::size_t count = tsl.m_listCommand.size();
    if (m_commandLines.size() != count) {
        m_commandLines.resize(count);
        for (std::size_t i = 0; i < count; ++i)
            m_commandLines[i] = tsl.CommandLine(i);
    }
    m_stopAt.assign(count, 0);
    // Commands lie in the order of their lines: a breakpoint stops at the first at or below it.
    for (const int line : lines) {
        const auto at = std::lower_bound(m_commandLines.begin(), m_commandLines.end(), line);
        if (at != m_commandLines.end())
            m_stopAt[static_cast<std::size_t>(at - m_commandLines.begin())] = 1;
    }
}

bool CScriptDebugger::BeforeCommand(CTSL& tsl, std::size_t position)
{
    if (m_nGeneration.load(std::memory_order_acquire) != m_nSeenGeneration)
        Resolve(tsl);
    const bool breakpoint = position < m_stopAt.size() && m_stopAt[position] != 0;
    if (!breakpoint && !m_bStopNext.load(std::memory_order_relaxed))
        return true;
    return Pause(tsl, position);
}

bool CScriptDebugger::Pause(CTSL& tsl, std::size_t position)
{
    CRunFlag& run = tsl.RunFlag();
    {
        std::lock_guard lock(m_mutex);
        m_bStopNext.store(false, std::memory_order_relaxed);
        m_requests.store(0, std::memory_order_relaxed);
        m_changes.clear();
        m_pWaiting = &run;
        m_pStopped = &tsl;
    }
    Tell(Snapshot(tsl, position));
    bool stepping = false;
    for (;;) {
        if (!run.WaitUntil([this] { return m_requests.load(std::memory_order_relaxed) != 0; }))
            break;
        const unsigned requests = m_requests.exchange(0, std::memory_order_relaxed);
        if ((requests & kChange) != 0) {
            std::vector<Change> changes;
            {
                std::lock_guard lock(m_mutex);
                changes.swap(m_changes);
            }
            for (const Change& change : changes) {
                if (CVariableTable* var = tsl.FindVariableTable(change.strName.c_str());
                    var != nullptr && var->byKind == KIND_VAR)
                    CTSL::StoreScalarOf(*var, change.value);
            }
            if (!changes.empty())
                Tell(Snapshot(tsl, position));
        }
        if ((requests & (kGo | kStep)) != 0) {
            stepping = (requests & kStep) != 0;
            break;
        }
    }
    std::lock_guard lock(m_mutex);
    m_pWaiting = nullptr;
    m_pStopped = nullptr;
    if (stepping)
        m_bStopNext.store(true, std::memory_order_relaxed);
    Rearm();
    return run.IsSet();
}

CDebugStop CScriptDebugger::Snapshot(const CTSL& tsl, std::size_t position)
{
    CDebugStop stop;
    stop.nPosition = position;
    stop.nLine = tsl.CommandLine(position);
    stop.strText = tsl.CommandText(position);
    stop.wCmpFlags = tsl.GetCmpFlags();
    const std::string_view received = tsl.ReceivedBytes();
    stop.nReceived = static_cast<int32_t>(received.size());
    stop.received = received.substr(0, kMaxShownBytes);
    stop.nVariables = tsl.m_listVariable.size();
    const std::size_t shown = std::min(stop.nVariables, kMaxShownVariables);
    stop.variables.reserve(shown);
    for (std::size_t i = 0; i < shown; ++i) {
        const CVariableTable& var = *tsl.m_listVariable[i];
        CDebugVariable& item = stop.variables.emplace_back();
        item.strName = var.szName;
        item.byKind = var.byKind;
        item.byElemType = var.byElemType;
        item.nBytes = var.nSize;
        if (var.byKind == KIND_VAR) {
            item.value = CTSL::ScalarOf(var);
            continue;
        }
        if (var.value.pBuffer == nullptr || var.nSize <= 0)
            continue;
        std::string_view bytes(reinterpret_cast<const char*>(var.value.pBuffer),
                               std::min(static_cast<std::size_t>(var.nSize), kMaxShownBytes));
        // An array's zeros past its last byte are room, not content.
        if (var.byKind == KIND_DIM) {
            const std::size_t last = bytes.find_last_not_of('\0');
            bytes = last == std::string_view::npos ? std::string_view() : bytes.substr(0, last + 1);
        }
        item.bytes = bytes;
    }
    return stop;
}

void CScriptDebugger::Tell(const CDebugStop& stop)
{
    CDebugStop told = stop;
    {
        std::lock_guard lock(m_mutex);
        told.nStop = ++m_nStops;
        m_lastStop = told;
    }
    if (m_listener)
        m_listener(told);
}
