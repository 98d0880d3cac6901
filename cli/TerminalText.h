#pragma once

#include <string>
#include <string_view>

// Text as it may be written to a terminal, so that what a script, a device or a table holds can
// never drive the user's terminal: control bytes (C0, DEL), C1 controls (the bytes 0x80-0x9F
// where they are not part of valid UTF-8, and the UTF-8 encodings of U+0080-U+009F) are written
// in the <XX> notation, byte by byte. Valid UTF-8 text, Hangul included, passes unchanged.
enum class TerminalText
{
    Line, // a line of output: a tab stays a tab
    Field // a name in a listing or a diagnostic: tab and newline are escaped too, so it stays
          // one field of one line
};

std::string EscapeForTerminal(std::string_view text, TerminalText kind = TerminalText::Line);

// Length of the valid UTF-8 sequence that starts at text[i], or 0.
std::size_t Utf8Length(std::string_view text, std::size_t i);

// Writes one diagnostic line to standard error, escaped as a field wherever it goes.
void WriteDiagnostic(std::string_view message);

// From now on Qt's own warnings go to standard error as the program's messages: "NAME: ...".
void TellQtMessagesAs(const char* program);
