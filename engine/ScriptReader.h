#pragma once

#include "TextLines.h"

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

class CRunFlag;

// The line rules of a TSL file, shared by the runtime and the verifier so both read a script
// the same way.
namespace tsl {

inline constexpr int kMaxLineBytes = 255;
// The largest script file read; a larger one is refused rather than read without end.
inline constexpr std::size_t kMaxScriptBytes = 64 * 1024 * 1024;

// Reads a script into lines of at most 255 bytes, each keeping its line feed; a longer
// physical line continues as the next line. Each line is decoded by DecodeScript
// (ScriptEncoding.h): valid UTF-8 stays, any other line is CP949. False when the file cannot
// be read: missing, not a regular file, larger than kMaxScriptBytes, or `run` cleared while it
// is read.
bool ReadScriptLines(const std::string& path, TextLines& lines, const CRunFlag* run = nullptr);

// Declaration-line cleaning: comments cut, blanks outside quotes collapsed to single spaces,
// and a space added where the line ends so that its last word is complete.
std::string CleanDeclarationLine(std::string_view line);

// Words of a cleaned declaration line; quoted text with its spaces stays one word, and a last
// word that no space ends is not stored.
void SplitWords(std::string_view cleaned, std::vector<std::string>& words);

// Main-line cleaning. Returns false when the line yields nothing (blank, comment, or a last
// line without a terminator).
bool CleanMainLine(std::string_view line, std::string& text);

// Words of a cleaned main line, as the runtime and the verifier compile it: the keyword or
// label first, then the operands, with every space outside double quotes removed and split at
// commas outside quotes; empty operands disappear.
void SplitMainLine(std::string_view text, std::vector<std::string>& words);

// True when a line of one word is a label (it ends with a colon).
inline bool IsLabelWord(std::string_view word)
{
    return !word.empty() && word.back() == ':';
}

// Walks the lines in order: trims spaces, switches to the main section at the first line that
// holds "BEGIN:" or "END:", and hands over each declaration line's words (possibly none) and
// each main line's cleaned text, with the line's 0-based index. False when `run` is cleared
// before the walk is done.
bool WalkScriptLines(const TextLines& lines,
                     const std::function<void(int, std::vector<std::string>&)>& onDeclaration,
                     const std::function<void(int, std::string&)>& onMainLine,
                     const CRunFlag* run = nullptr);

} // namespace tsl
