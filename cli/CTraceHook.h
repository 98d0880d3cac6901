#pragma once

#include "CDebugHook.h"

#include <cstdint>
#include <string>

class COutputWriter;

// Writes each command a script runs, as "+ LINE: TEXT", to a writer of its own (standard
// error). The script waits while the writer is full, as it waits for room in its print queue,
// so a tight loop can neither outrun the writer nor grow its memory; after `nLimit` lines one
// more says the trace ends there, and the script runs on untraced.
class CTraceHook : public CDebugHook
{
public:
    CTraceHook(COutputWriter& output, uint64_t nLimit);

    bool BeforeCommand(CTSL& tsl, std::size_t position) override;
    uint64_t Lines() const { return m_nLines; }

    // One traced line: the text escaped as one field, so a script's bytes never drive the
    // terminal and never make a line of their own.
    static std::string Line(int nLine, std::string_view text);

private:
    COutputWriter& m_output;
    const uint64_t m_nLimit;
    uint64_t m_nLines = 0;
};
