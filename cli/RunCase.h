#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Text kept for a report up to a bound, in whole pieces (lines), counting what was left out.
class CBoundedText
{
public:
    explicit CBoundedText(std::size_t nCapacityBytes) : m_nCapacity(nCapacityBytes) {}

    void Append(std::string_view piece)
    {
        if (m_nCut == 0 && m_text.size() + piece.size() <= m_nCapacity)
            m_text.append(piece);
        else
            m_nCut += piece.size();
    }
    const std::string& Text() const { return m_text; }
    // Bytes left out since the bound was reached.
    std::size_t Cut() const { return m_nCut; }

private:
    std::size_t m_nCapacity;
    std::string m_text;
    std::size_t m_nCut = 0;
};

// How one script of a call ended: what its report case says.
enum class RunEnd
{
    NotRun,       // skipped: the call ended before its turn
    Passed,       // SYNC 0, or the run ended (passes, --seconds, the script's end)
    Sync,         // failure: SYNC n with n other than 0
    Timeout,      // failure: no SYNC within --timeout
    ScriptErrors, // error: the verifier found errors
    Unreadable,   // error: the script cannot be read
    LinkFailure,  // error: the link is missing or does not open
    LinkLost,     // error: the link was lost during the run
    DroppedBytes, // error: received bytes were lost, under --strict
    Signal,       // error: SIGINT or SIGTERM stopped the call
    OutputClosed, // error: standard output was closed by its reader
};

// One script of a call and what became of it.
struct TslRunCase
{
    // PRINT output and messages kept for the report, each at most this much.
    static constexpr std::size_t kMaxTextBytes = 256 * 1024;

    std::string strScript; // as given on the command line
    RunEnd end = RunEnd::NotRun;
    int nStatus = 0;                    // the exit status the script alone would give
    std::string strMessage;             // one line: why it failed, or was not run
    CBoundedText detail{kMaxTextBytes}; // the verifier's messages
    CBoundedText output{kMaxTextBytes};
    CBoundedText errors{kMaxTextBytes}; // messages on standard error
    double seconds = 0;
};
