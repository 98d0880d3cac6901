#include "ScriptReader.h"

#include "ScriptEncoding.h"

#include <fstream>
#include <iterator>

namespace tsl {
namespace {

// Compared as signed bytes, as the line rules want: bytes 0x80 to 0xFF count as below the
// space, like the control characters.
bool AboveSpace(char c)
{
    return static_cast<signed char>(c) > ' ';
}

bool BelowSpace(char c)
{
    return static_cast<signed char>(c) < ' ';
}

bool IsContinuationByte(char c)
{
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

bool AtCommentStart(const std::string& line, size_t i)
{
    return line[i] == ';' || (line[i] == '/' && i + 1 < line.size() && line[i + 1] == '/');
}

bool IsLineEnd(char c)
{
    return c == '\r' || c == '\n';
}

void TrimSpaces(std::string& line)
{
    const size_t first = line.find_first_not_of(' ');
    if (first == std::string::npos) {
        line.clear();
        return;
    }
    line.erase(0, first);
    line.erase(line.find_last_not_of(' ') + 1);
}

} // namespace

bool ReadScriptLines(const std::string& path, std::vector<std::string>& lines)
{
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return false;
    std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (file.bad())
        return false;
    if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0)
        bytes.erase(0, 3);
    if (!IsValidUtf8(bytes))
        bytes = Cp949ToUtf8(bytes);

    std::string line;
    auto flush = [&] {
        // A NUL byte ends the text of a read, as it ends a C string.
        const size_t nul = line.find('\0');
        if (nul != std::string::npos)
            line.erase(nul, line.size() - nul - (line.back() == '\n' ? 1 : 0));
        lines.push_back(line);
        line.clear();
    };
    for (size_t i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')
            continue; // text mode: CR LF reads as LF
        line += c;
        if (c == '\n') {
            flush();
        } else if (static_cast<int>(line.size()) == kMaxLineBytes) {
            // Continue on the next line, without cutting a UTF-8 character in two.
            size_t cut = line.size();
            if (i + 1 < bytes.size() && IsContinuationByte(bytes[i + 1])) {
                while (cut > 0 && IsContinuationByte(line[cut - 1]))
                    --cut;
                if (cut > 0)
                    --cut; // the lead byte moves along with its continuation bytes
            }
            if (cut == 0)
                cut = line.size();
            const std::string carry = line.substr(cut);
            line.erase(cut);
            flush();
            line = carry;
        }
    }
    if (!line.empty())
        flush();
    return true;
}

std::string CleanDeclarationLine(const std::string& line)
{
    std::string out;
    bool inQuotes = false;
    bool started = false;
    for (size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (!inQuotes && (AtCommentStart(line, i) || IsLineEnd(c))) {
            out += ' ';
            return out;
        }
        if (!started) {
            if (!AboveSpace(c))
                continue;
            started = true;
        }
        if (c == '"') {
            inQuotes = !inQuotes;
            out += c;
        } else if (inQuotes) {
            out += c;
        } else {
            const char kept = BelowSpace(c) ? ' ' : c;
            if (kept == ' ' && !out.empty() && out.back() == ' ')
                continue;
            out += kept;
        }
    }
    return out;
}

std::vector<std::string> SplitWords(const std::string& cleaned)
{
    std::vector<std::string> words;
    std::string word;
    bool inQuotes = false;
    for (char c : cleaned) {
        if (c == '"')
            inQuotes = !inQuotes;
        if (c == ' ' && !inQuotes) {
            if (!word.empty())
                words.push_back(word);
            word.clear();
            continue;
        }
        word += c;
    }
    // A word that no space ends is not stored.
    return words;
}

bool CleanMainLine(const std::string& line, std::string& text)
{
    text.clear();
    bool inQuotes = false;
    bool kept = false;
    for (size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (!kept) {
            if (AtCommentStart(line, i) || IsLineEnd(c))
                return false;
            if (!AboveSpace(c))
                continue;
            kept = true;
        } else if ((!inQuotes && AtCommentStart(line, i)) || IsLineEnd(c)) {
            return true;
        }
        if (c == '"') {
            inQuotes = !inQuotes;
            text += c;
        } else if (inQuotes && static_cast<unsigned char>(c) >= 0x80) {
            text += c; // quoted text keeps its multibyte characters (Hangul in PRINT "...")
        } else {
            text += BelowSpace(c) ? ' ' : c;
        }
    }
    text.clear();
    return false;
}

void WalkScriptLines(const std::vector<std::string>& lines,
                     const std::function<void(int, std::vector<std::string>&)>& onDeclaration,
                     const std::function<void(int, std::string&)>& onMainLine)
{
    bool inMain = false;
    for (size_t index = 0; index < lines.size(); ++index) {
        std::string line = lines[index];
        TrimSpaces(line);
        if (line.find("BEGIN:") != std::string::npos || line.find("END:") != std::string::npos)
            inMain = true;
        if (inMain) {
            std::string text;
            if (CleanMainLine(line, text))
                onMainLine(static_cast<int>(index), text);
        } else {
            std::vector<std::string> words = SplitWords(CleanDeclarationLine(line));
            onDeclaration(static_cast<int>(index), words);
        }
    }
}

} // namespace tsl
