#include "ScriptReader.h"

#include "CRunFlag.h"
#include "ScriptEncoding.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tsl {
namespace {

// How often the walk looks at the run flag.
constexpr std::size_t kLinesBetweenStopChecks = 256;

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

bool IsAscii(char c)
{
    return static_cast<unsigned char>(c) < 0x80;
}

// The bytes of the character at i of a physical line: a UTF-8 sequence in a line that is
// UTF-8, a lead and trail byte pair in a CP949 line, else one byte.
std::size_t CharacterLength(std::string_view line, std::size_t i, bool utf8)
{
    const auto byte = [line](std::size_t k) { return static_cast<unsigned char>(line[k]); };
    if (byte(i) < 0x80 || i + 1 >= line.size())
        return 1;
    if (!utf8)
        return byte(i) >= 0x81 && byte(i) <= 0xFE && byte(i + 1) >= 0x41 ? 2 : 1;
    std::size_t length = 1;
    while (i + length < line.size() && (byte(i + length) & 0xC0) == 0x80)
        ++length;
    return length;
}

// Reads a regular file of at most kMaxScriptBytes. A FIFO or a device is refused before it is
// read, so a script path can neither block the reader nor feed it without end.
bool ReadFileBytes(const std::string& path, std::string& bytes, const CRunFlag* run)
{
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat status = {};
    bool ok = fstat(fd, &status) == 0 && S_ISREG(status.st_mode) &&
              static_cast<std::size_t>(status.st_size) <= kMaxScriptBytes;
    if (ok)
        bytes.reserve(static_cast<std::size_t>(status.st_size) + 1);
    char chunk[64 * 1024];
    while (ok) {
        const ssize_t n = read(fd, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            ok = n == 0;
            break;
        }
        bytes.append(chunk, static_cast<std::size_t>(n));
        // A file that grew past the limit while it was read is refused as well.
        ok = bytes.size() <= kMaxScriptBytes && !(run && !run->IsSet());
    }
    close(fd);
    return ok;
}

bool AtCommentStart(std::string_view line, std::size_t i)
{
    return line[i] == ';' || (line[i] == '/' && i + 1 < line.size() && line[i + 1] == '/');
}

bool IsLineEnd(char c)
{
    return c == '\r' || c == '\n';
}

std::string_view TrimSpaces(std::string_view line)
{
    const std::size_t first = line.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return {};
    return line.substr(first, line.find_last_not_of(' ') + 1 - first);
}

// Splits at `separator` outside double quotes, the quotes kept in the words; empty words are
// dropped. Outside quotes spaces are dropped when `dropSpaces`; a last word that no separator
// ends is kept only when `keepLast`.
void SplitOutsideQuotes(std::string_view text, char separator, bool dropSpaces, bool keepLast,
                        std::vector<std::string>& words)
{
    std::string word;
    bool inQuotes = false;
    for (const char c : text) {
        if (c == '"')
            inQuotes = !inQuotes;
        if (!inQuotes) {
            if (c == separator) {
                if (!word.empty())
                    words.push_back(std::move(word));
                word.clear();
                continue;
            }
            if (dropSpaces && c == ' ')
                continue;
        }
        word += c;
    }
    if (keepLast && !word.empty())
        words.push_back(std::move(word));
}

} // namespace

bool ReadScriptLines(const std::string& path, TextLines& lines, const CRunFlag* run)
{
    std::string bytes;
    if (!ReadFileBytes(path, bytes, run))
        return false;
    // The lines keep the file's own bytes: quoted text goes out on the link as it stands in the
    // file, CP949 from a Windows bench as CP949. Only the UTF-8 byte order mark is dropped.
    std::string_view text = bytes;
    if (text.starts_with(kUtf8ByteOrderMark))
        text.remove_prefix(kUtf8ByteOrderMark.size());
    lines.reserve(text.size(),
                  static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) +
                      text.size() / kMaxLineBytes + 1);

    std::string line;
    auto flush = [&] {
        // A NUL byte ends the text of a read, as it ends a C string.
        const std::size_t nul = line.find('\0');
        if (nul != std::string::npos)
            line.erase(nul, line.size() - nul - (line.back() == '\n' ? 1 : 0));
        lines.push_back(line);
        line.clear();
    };
    std::size_t start = 0;
    std::size_t physicalLines = 0;
    while (start < text.size()) {
        const std::size_t feed = text.find('\n', start);
        const std::size_t end = feed == std::string_view::npos ? text.size() : feed + 1;
        const std::string_view physical = text.substr(start, end - start);
        const bool utf8 = IsValidUtf8(physical);
        for (std::size_t i = 0; i < physical.size();) {
            if (physical[i] == '\r' && i + 1 < physical.size() && physical[i + 1] == '\n') {
                ++i; // text mode: CR LF reads as LF
                continue;
            }
            // A read of 255 bytes ends before a character that would not fit whole, so a
            // longer line continues on the next without a character cut in two.
            const std::size_t length = CharacterLength(physical, i, utf8);
            if (line.size() + length > static_cast<std::size_t>(kMaxLineBytes))
                flush();
            line.append(physical.substr(i, length));
            i += length;
        }
        if (!line.empty() && (line.back() == '\n' || end == text.size()))
            flush();
        start = end;
        if (run && ++physicalLines % kLinesBetweenStopChecks == 0 && !run->IsSet())
            return false;
    }
    return true;
}

std::string CleanDeclarationLine(std::string_view line)
{
    std::string out;
    bool inQuotes = false;
    bool started = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
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

void SplitWords(std::string_view cleaned, std::vector<std::string>& words)
{
    SplitOutsideQuotes(cleaned, ' ', false, false, words);
}

bool CleanMainLine(std::string_view line, std::string& text)
{
    text.clear();
    bool inQuotes = false;
    bool kept = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
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
        } else if (inQuotes && !IsAscii(c)) {
            text += c; // quoted text keeps its multibyte characters (Hangul in PRINT "...")
        } else {
            text += BelowSpace(c) ? ' ' : c;
        }
    }
    text.clear();
    return false;
}

void SplitMainLine(std::string_view text, std::vector<std::string>& words)
{
    const std::size_t space = text.find(' ');
    words.emplace_back(text.substr(0, space));
    if (space != std::string_view::npos)
        SplitOutsideQuotes(text.substr(space + 1), ',', true, true, words);
}

bool WalkScriptLines(const TextLines& lines,
                     const std::function<void(int, std::vector<std::string>&)>& onDeclaration,
                     const std::function<void(int, std::string&)>& onMainLine, const CRunFlag* run)
{
    bool inMain = false;
    std::string text;
    std::vector<std::string> words;
    for (std::size_t index = 0; index < lines.size(); ++index) {
        if (run && index % kLinesBetweenStopChecks == 0 && !run->IsSet())
            return false;
        const std::string_view line = TrimSpaces(lines[index]);
        if (line.find("BEGIN:") != std::string_view::npos ||
            line.find("END:") != std::string_view::npos)
            inMain = true;
        if (inMain) {
            if (CleanMainLine(line, text))
                onMainLine(static_cast<int>(index), text);
        } else {
            words.clear();
            SplitWords(CleanDeclarationLine(line), words);
            onDeclaration(static_cast<int>(index), words);
        }
    }
    return true;
}

} // namespace tsl
