// Reading numbers out of received lines: separators, pairs, patterns, line ends across chunks,
// encodings of names, and what is left out (malformed numbers, long lines, a 17th series).
#include "PlotParser.h"

#include <gtest/gtest.h>

#include <QStringList>

#include <cmath>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace {

using Line = std::vector<std::pair<QString, double>>;

// Every line the parser gives, its numbers named by their series.
std::vector<Line> Parse(PlotParser& parser, const std::vector<std::string>& chunks)
{
    std::vector<Line> lines;
    for (const std::string& chunk : chunks) {
        parser.Feed(QByteArrayView(chunk.data(), qsizetype(chunk.size())),
                    [&](std::span<const PlotValue> values) {
                        Line line;
                        for (const PlotValue& value : values)
                            line.emplace_back(parser.SeriesNames().value(value.series),
                                              value.value);
                        lines.push_back(line);
                    });
    }
    return lines;
}

std::string Describe(const std::vector<Line>& lines)
{
    std::string text;
    for (const Line& line : lines) {
        text += '[';
        for (const auto& [name, value] : line)
            text += name.toStdString() + '=' + std::to_string(value) + ' ';
        text += "] ";
    }
    return text;
}

struct Case
{
    const char* what;
    std::vector<std::string> chunks;
    std::vector<Line> expected;
    TextEncoding encoding = TextEncoding::Auto;
    const char* pattern = nullptr; // none: values and pairs
};

} // namespace

TEST(PlotParserTest, ReadsTheNumbersOfEachLine)
{
    const QString t = QStringLiteral("T");
    const QString h = QStringLiteral("H");
    const auto at = [](int n) { return QStringLiteral("#%1").arg(n); };
    const std::vector<Case> cases = {
        {"comma separated", {"12.5,3,-7\n"}, {{{at(1), 12.5}, {at(2), 3}, {at(3), -7}}}},
        {"blanks and tabs, CR LF", {"1  2\t3\r\n"}, {{{at(1), 1}, {at(2), 2}, {at(3), 3}}}},
        {"lone CR ends lines", {"1\r2\r"}, {{{at(1), 1}}, {{at(1), 2}}}},
        {"CR LF split between chunks is one end", {"1\r", "\n2\n"}, {{{at(1), 1}}, {{at(1), 2}}}},
        {"a partial line waits for its end", {"12", ".", "5", "\n"}, {{{at(1), 12.5}}}},
        {"no end yet: nothing", {"1,2,3"}, {}},
        {"pairs", {"T=23.5, H:41\n"}, {{{t, 23.5}, {h, 41}}}},
        {"blanks around the marks", {"T = 23.5  H : 41\n"}, {{{t, 23.5}, {h, 41}}}},
        {"units after numbers", {"T=23.5C H=41% 3.3mA\n"}, {{{t, 23.5}, {h, 41}, {at(3), 3.3}}}},
        {"malformed numbers skipped, positions kept",
         {"1,abc,3,4x5,1e999,nan,inf,1.2.3,--4,+-4,7\n"},
         {{{at(1), 1}, {at(3), 3}, {at(11), 7}}}},
        {"signs and points",
         {"+5 -.5 .25 -x 1e3\n"},
         {{{at(1), 5}, {at(2), -0.5}, {at(3), 0.25}, {at(5), 1000}}}},
        {"hexadecimal is no zero", {"0x1F 0xFF 7\n"}, {{{at(3), 7}}}},
        {"a time is no pair", {"12:30:00 5\n"}, {{{at(2), 5}}}},
        {"empty fields keep their place", {"1,,3\n"}, {{{at(1), 1}, {at(3), 3}}}},
        {"a blank before a comma is one separator",
         {"1 , 2 ;3\n"},
         {{{at(1), 1}, {at(2), 2}, {at(3), 3}}}},
        {"lines without numbers are ignored", {"hello world\n\n\r\nOK\n", "4\n"}, {{{at(1), 4}}}},
        {"a NUL makes a field malformed", {std::string("1\0002 3\n", 6)}, {{{at(2), 3}}}},
        {"UTF-8 names",
         {"온도=23 습도=45\n"},
         {{{QStringLiteral("온도"), 23}, {QStringLiteral("습도"), 45}}}},
        {"CP949 names read as CP949",
         {"\xBF\xC2\xB5\xB5=23\n"},
         {{{QStringLiteral("온도"), 23}}},
         TextEncoding::Cp949},
        {"CP949 names read by Auto", {"\xBF\xC2\xB5\xB5=23\n"}, {{{QStringLiteral("온도"), 23}}}},
        {"CP949 name split between chunks",
         {"\xBF\xC2\xB5", "\xB5=23\n"},
         {{{QStringLiteral("온도"), 23}}}},
        {"Latin-1 names", {"\xB5V=2\n"}, {{{QStringLiteral("µV"), 2}}}, TextEncoding::Latin1},
        {"a pattern's groups",
         {"T=23.5C H=41%\r\nT=23.7C H=40.5%\r\n"},
         {{{at(1), 23.5}, {at(2), 41}}, {{at(1), 23.7}, {at(2), 40.5}}},
         TextEncoding::Auto,
         "T=([-0-9.]+)C H=([-0-9.]+)%"},
        {"named groups name their series",
         {"T=23.5C H=41%\n"},
         {{{t, 23.5}, {h, 41}}},
         TextEncoding::Auto,
         "T=(?<T>[-0-9.]+)C H=(?<H>[-0-9.]+)%"},
        {"a group without a number is skipped",
         {"T=--C H=41%\nnoise\n"},
         {{{at(2), 41}}},
         TextEncoding::Auto,
         "T=(\\S+)C H=(\\S+)%"},
        {"a pattern reads Hangul by the encoding",
         {"\xBF\xC2\xB5\xB5 21.5\n"},
         {{{at(1), 21.5}}},
         TextEncoding::Cp949,
         "^온도 (\\S+)$"},
        {"a pattern that cannot be used reads nothing",
         {"T=1\n"},
         {},
         TextEncoding::Auto,
         "T=(\\d"},
    };
    for (const Case& test : cases) {
        PlotParser parser;
        parser.SetEncoding(test.encoding);
        if (test.pattern != nullptr)
            parser.SetPattern(QString::fromUtf8(test.pattern));
        const std::vector<Line> lines = Parse(parser, test.chunks);
        EXPECT_EQ(lines, test.expected) << test.what << ": " << Describe(lines);
    }
}

TEST(PlotParserTest, LongLinesAreDroppedWholeAndTheStreamGoesOn)
{
    const std::string longest(PlotParser::kMaxLineBytes - 2, '9');
    const struct
    {
        const char* what;
        std::vector<std::string> chunks;
        std::size_t lines;
        qint64 dropped;
    } cases[] = {
        {"the longest line is read", {longest + ",1\n"}, 1, 0},
        {"one byte more is dropped", {longest + ",12\n", "5\n"}, 1, 1},
        {"dropped across chunks, the next line read",
         {std::string(3000, '1'), std::string(3000, '2'), "3\n4\n"},
         1,
         1},
        {"a long line of numbers and nothing else", {std::string(100000, '7') + "\r\n"}, 0, 1},
        {"an unended line never grows past the limit", {std::string(1 << 20, '5')}, 0, 0},
    };
    for (const auto& test : cases) {
        PlotParser parser;
        const std::vector<Line> lines = Parse(parser, test.chunks);
        EXPECT_EQ(lines.size(), test.lines) << test.what << ": " << Describe(lines);
        EXPECT_EQ(parser.DroppedLines(), test.dropped) << test.what;
    }
}

TEST(PlotParserTest, AtMostSixteenSeries)
{
    PlotParser parser;
    std::string line;
    for (int i = 0; i < 20; ++i)
        line += std::to_string(i) + ' ';
    const std::vector<Line> lines = Parse(parser, {line + "\n", "a=1 b=2\n", "5\n"});
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].size(), std::size_t(PlotParser::kMaxSeries));
    EXPECT_EQ(lines[1], (Line{{QStringLiteral("#1"), 5}}));
    EXPECT_EQ(parser.SeriesNames().size(), PlotParser::kMaxSeries);
    EXPECT_EQ(parser.ValuesOverLimit(), 4 + 2);
    // Starting anew frees the series.
    parser.Reset();
    EXPECT_EQ(Parse(parser, {"a=1\n"}), (std::vector<Line>{{{QStringLiteral("a"), 1}}}));
}

TEST(PlotParserTest, RandomBytesNeverGiveMoreThanTheyMay)
{
    std::mt19937 random(20240501);
    for (const char* pattern : {static_cast<const char*>(nullptr), "([^,]*),([^,]*)"}) {
        PlotParser parser;
        if (pattern != nullptr)
            parser.SetPattern(QString::fromLatin1(pattern));
        const char alphabet[] = "0123456789.,;:= \t\r\n+-eExabc\xB0\xBF\xC2\x80\xFF";
        std::size_t values = 0;
        for (int round = 0; round < 200; ++round) {
            std::string chunk(random() % 3000, '\0');
            for (char& c : chunk)
                c = random() % 8 == 0 ? char(random()) : alphabet[random() % (sizeof alphabet - 1)];
            parser.Feed(QByteArrayView(chunk.data(), qsizetype(chunk.size())),
                        [&](std::span<const PlotValue> line) {
                            ASSERT_FALSE(line.empty());
                            for (const PlotValue& value : line) {
                                ASSERT_GE(value.series, 0);
                                ASSERT_LT(value.series, parser.SeriesNames().size());
                                ASSERT_TRUE(std::isfinite(value.value));
                                ++values;
                            }
                        });
        }
        EXPECT_GT(values, 0u) << (pattern != nullptr ? pattern : "values and pairs");
        EXPECT_LE(parser.SeriesNames().size(), PlotParser::kMaxSeries);
    }
}
