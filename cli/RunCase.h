#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Text kept for a report within a bound: the first pieces (lines) up to half of it and the last
// ones up to the other half, since the context of a late failure is at the end; counts what was
// left out between them.
class CBoundedText
{
public:
    explicit CBoundedText(std::size_t nCapacityBytes)
        : m_nHeadCapacity(nCapacityBytes / 2), m_nTailCapacity(nCapacityBytes - m_nHeadCapacity)
    {}

    void Append(std::string_view piece)
    {
        if (m_tail.empty() && m_nCut == 0 && m_head.size() + piece.size() <= m_nHeadCapacity) {
            m_head.append(piece);
            return;
        }
        m_tail.append(piece);
        // Trimmed once it holds twice the bound, so that each byte is moved about once.
        if (m_tail.size() > 2 * m_nTailCapacity)
            TrimTail();
    }
    // The first part kept.
    const std::string& Head() const { return m_head; }
    // The last part kept, after what was left out.
    std::string Tail() const { return m_tail.substr(CutFrom(m_tail)); }
    // Bytes left out between the first part and the last.
    std::size_t Cut() const { return m_nCut + CutFrom(m_tail); }

private:
    // Where the last part starts in `tail`: at most the bound from its end, at the start of a
    // line unless the last line alone is longer.
    std::size_t CutFrom(const std::string& tail) const
    {
        if (tail.size() <= m_nTailCapacity)
            return 0;
        const std::size_t from = tail.size() - m_nTailCapacity;
        const std::size_t lineEnd = tail.find('\n', from - 1);
        return lineEnd == std::string::npos || lineEnd + 1 == tail.size() ? from : lineEnd + 1;
    }
    void TrimTail()
    {
        const std::size_t cut = CutFrom(m_tail);
        m_nCut += cut;
        m_tail.erase(0, cut);
    }

    std::size_t m_nHeadCapacity;
    std::size_t m_nTailCapacity;
    std::string m_head;
    std::string m_tail;
    std::size_t m_nCut = 0;
};

// How one script of a call ended: what its report case says.
enum class RunEnd
{
    NotRun,       // skipped: the call ended before its turn; "did not finish" while it goes on
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
    // PRINT output and messages kept for the report, each at most this much: the first half
    // and the last.
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
