#include "CTraceHook.h"

#include "COutputWriter.h"
#include "CRunFlag.h"
#include "CTSL.h"
#include "TerminalText.h"

namespace {

// How long a traced command waits at a time for the writer to take lines; a stop ends it.
constexpr int kRoomWaitMs = 1;

} // namespace

CTraceHook::CTraceHook(COutputWriter& output, uint64_t nLimit) : m_output(output), m_nLimit(nLimit)
{}

std::string CTraceHook::Line(int nLine, std::string_view text)
{
    return "+ " + std::to_string(nLine) + ": " + EscapeForTerminal(text, TerminalText::Field) +
           "\n";
}

bool CTraceHook::BeforeCommand(CTSL& tsl, std::size_t position)
{
    std::string line;
    if (m_nLines < m_nLimit) {
        line = Line(tsl.CommandLine(position), tsl.CommandText(position));
    } else {
        line = "tslrun: trace: the first " + std::to_string(m_nLimit) +
               " lines only (--trace-limit); the run goes on untraced\n";
        SetArmed(false);
    }
    ++m_nLines;
    while (m_output.Room() < line.size()) {
        if (!tsl.RunFlag().SleepFor(kRoomWaitMs))
            return false;
    }
    m_output.Write(line);
    return true;
}
