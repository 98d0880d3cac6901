#include "ScriptReader.h"
#include "TempDir.h"

#include <gtest/gtest.h>

using namespace tsl;

namespace {

struct Walked
{
    std::vector<std::pair<int, std::vector<std::string>>> declarations;
    std::vector<std::pair<int, std::string>> main;
};

Walked Walk(const std::vector<std::string>& lines)
{
    TextLines read;
    for (const std::string& line : lines)
        read.push_back(line);
    Walked walked;
    WalkScriptLines(
        read,
        [&](int index, std::vector<std::string>& words) {
            walked.declarations.emplace_back(index, words);
        },
        [&](int index, std::string& text) { walked.main.emplace_back(index, text); });
    return walked;
}

std::vector<std::string> DeclarationWords(const std::string& line)
{
    std::vector<std::string> words;
    SplitWords(CleanDeclarationLine(line), words);
    return words;
}

std::vector<std::string> MainWords(const std::string& text)
{
    std::vector<std::string> words;
    SplitMainLine(text, words);
    return words;
}

std::vector<std::string> ReadLines(const std::string& path)
{
    TextLines lines;
    EXPECT_TRUE(ReadScriptLines(path, lines)) << path;
    std::vector<std::string> read;
    for (size_t i = 0; i < lines.size(); ++i)
        read.emplace_back(lines[i]);
    return read;
}

} // namespace

TEST(ScriptReader, DeclarationLinesSplitIntoWords)
{
    struct Case
    {
        const char* line;
        std::vector<std::string> words;
    };
    const Case cases[] = {
        {"VAR COUNT% 10\n", {"VAR", "COUNT%", "10"}},
        {"\tDIM  \t BUF$\t\t100 \n", {"DIM", "BUF$", "100"}},
        {"EQU MSG \"Hello !!<0D><0A>\"\n", {"EQU", "MSG", "\"Hello !!<0D><0A>\""}},
        {"EQU URL \"http://x;y\" // comment\n", {"EQU", "URL", "\"http://x;y\""}},
        {"VAR X% 1 ; comment\n", {"VAR", "X%", "1"}},
        {"   // only a comment\n", {}},
        {" \t  \n", {}},
        {"VAR A% 1\r\n", {"VAR", "A%", "1"}},
        // Outside quotes a multibyte character separates words; inside it stays.
        {"VAR 가A% 1\n", {"VAR", "A%", "1"}},
        {"EQU K \"가나\"\n", {"EQU", "K", "\"가나\""}},
        // The last word of a line that no terminator ends is not stored.
        {"VAR X% 1", {"VAR", "X%"}},
        {"/X 1\n", {"/X", "1"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DeclarationWords(c.line), c.words) << c.line;
}

TEST(ScriptReader, MainLinesAreCleanedButNotCollapsed)
{
    struct Case
    {
        const char* line;
        bool yields;
        const char* text;
    };
    const Case cases[] = {
        {"OUT MSG // send\n", true, "OUT MSG "},
        {"\t\tMOVE  A,\tB\n", true, "MOVE  A, B"},
        {"; comment\n", false, ""},
        {"// comment\n", false, ""},
        {"   \n", false, ""},
        {"PRINT \"a;b//c\" ; tail\n", true, "PRINT \"a;b//c\" "},
        {"PRINT \"a\tb\"\n", true, "PRINT \"a b\""},
        // Quoted text keeps its multibyte characters; outside quotes they become spaces.
        {"PRINT \"완료\"\n", true, "PRINT \"완료\""},
        {"PRINT 완\n", true, "PRINT    "},
        // A last line without a terminator yields nothing.
        {"END:", false, ""},
        {"END:\n", true, "END:"},
    };
    for (const Case& c : cases) {
        std::string text;
        EXPECT_EQ(CleanMainLine(c.line, text), c.yields) << c.line;
        EXPECT_EQ(text, c.text) << c.line;
    }
}

TEST(ScriptReader, SectionsSwitchAtTheFirstBeginOrEndLine)
{
    const Walked walked =
        Walk({"VAR A% 1\n", "; the END: of declarations\n", "VAR B% 2\n", "BEGIN:\n", "INC A\n"});
    ASSERT_EQ(walked.declarations.size(), 1u);
    EXPECT_EQ(walked.declarations[0].first, 0);
    // The comment holding "END:" starts the main section, where it is a comment line.
    ASSERT_EQ(walked.main.size(), 3u);
    EXPECT_EQ(walked.main[0], std::make_pair(2, std::string("VAR B% 2")));
    EXPECT_EQ(walked.main[1], std::make_pair(3, std::string("BEGIN:")));
    EXPECT_EQ(walked.main[2], std::make_pair(4, std::string("INC A")));
}

TEST(ScriptReader, ReadsLinesOf255Bytes)
{
    const std::string longLine(300, 'A');
    ScriptFile plain("\xEF\xBB\xBF"
                     "first\r\n" +
                     longLine + "\nlast");
    std::vector<std::string> lines = ReadLines(plain.Path());
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], "first\n") << "BOM dropped, CR LF read as LF";
    EXPECT_EQ(lines[1], std::string(255, 'A'));
    EXPECT_EQ(lines[2], std::string(45, 'A') + "\n");
    EXPECT_EQ(lines[3], "last");

    // A long line of Hangul is not cut inside a character.
    std::string hangul;
    for (int i = 0; i < 100; ++i)
        hangul += "가";
    ScriptFile wide(hangul + "\n");
    lines = ReadLines(wide.Path());
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].size(), 255u);
    EXPECT_EQ(lines[0] + lines[1], hangul + "\n");

    TextLines none;
    EXPECT_FALSE(ReadScriptLines("/nonexistent/x.tsl", none));
}

TEST(ScriptReader, KeepsTheBytesOfItsFileAndCutsLongLinesBetweenCharacters)
{
    // Lines keep their file's bytes, CP949 ("완료" is BF CF B7 E1) and UTF-8 alike, and a stray
    // byte stays where it was.
    const std::string lines = "PRINT \"완료\"\n"
                              "; caf\xE9\n"
                              "PRINT \"\xBF\xCF\xB7\xE1\"\n";
    ScriptFile mixed("\xEF\xBB\xBF" + lines);
    EXPECT_EQ(ReadLines(mixed.Path()), (std::vector<std::string>{
                                           "PRINT \"완료\"\n",
                                           "; caf\xE9\n",
                                           "PRINT \"\xBF\xCF\xB7\xE1\"\n",
                                       }));

    // A long CP949 line continues on the next read without a character cut in two: 7 bytes
    // and 124 pairs make 255, so the 125th pair starts the next read.
    std::string pairs;
    for (int i = 0; i < 130; ++i)
        pairs += "\xB0\xA1"; // 가
    ScriptFile wide("PRINT \"" + pairs + "\"\n");
    const std::vector<std::string> read = ReadLines(wide.Path());
    ASSERT_EQ(read.size(), 2u);
    EXPECT_EQ(read[0], "PRINT \"" + pairs.substr(0, 248));
    EXPECT_EQ(read[1], pairs.substr(248) + "\"\n");
}

TEST(MainLineSplit, OperandsLoseSpacesOutsideQuotesAndEmptyOperands)
{
    struct Case
    {
        const char* text;
        std::vector<std::string> words;
    };
    const Case cases[] = {
        {"MOVE A, B + 1", {"MOVE", "A", "B+1"}},   {"MOVE A,B+1", {"MOVE", "A", "B+1"}},
        {"PRINT \"a, b\"", {"PRINT", "\"a, b\""}}, {"COPY BUF, , 3", {"COPY", "BUF", "3"}},
        {"ADD X, 1,", {"ADD", "X", "1"}},          {"END:", {"END:"}},
        {"LOOP: INC A", {"LOOP:", "INCA"}},        {"INC", {"INC"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MainWords(c.text), c.words) << c.text;
}
