#pragma once

#include <functional>
#include <string>
#include <vector>

// The line rules of a TSL file, shared by the runtime and the verifier so both read a script
// the same way.
namespace tsl {

inline constexpr int kMaxLineBytes = 255;

// Reads a script into lines of at most 255 bytes, each keeping its line feed; a longer
// physical line continues as the next line. A file that is not valid UTF-8 was written by an
// older Windows installation and is decoded as CP949. False when the file cannot be read.
bool ReadScriptLines(const std::string& path, std::vector<std::string>& lines);

// Declaration-line cleaning: comments cut, blanks outside quotes collapsed to single spaces,
// and a space added where the line ends so that its last word is complete.
std::string CleanDeclarationLine(const std::string& line);

// Words of a cleaned declaration line; quoted text with its spaces stays one word.
std::vector<std::string> SplitWords(const std::string& cleaned);

// Main-line cleaning. Returns false when the line yields nothing (blank, comment, or a last
// line without a terminator).
bool CleanMainLine(const std::string& line, std::string& text);

// Walks the lines in order: trims spaces, switches to the main section at the first line that
// holds "BEGIN:" or "END:", and hands over each declaration line's words (possibly none) and
// each main line's cleaned text, with the line's 0-based index.
void WalkScriptLines(const std::vector<std::string>& lines,
                     const std::function<void(int, std::vector<std::string>&)>& onDeclaration,
                     const std::function<void(int, std::string&)>& onMainLine);

} // namespace tsl
