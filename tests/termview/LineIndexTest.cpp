// Line splitting, the line limit and the byte counts of the log store.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CTextLogStore.h"

namespace {

void Write(CTextLogStore& store, const std::string& text, char attr = 0x31)
{
    for (const char c : text)
        store.Write(static_cast<uint8_t>(c), static_cast<uint8_t>(attr));
}

std::vector<std::string> ShownLines(const CTextLogStore& store)
{
    std::vector<std::string> lines;
    for (const RowData& row : store.Lines(0, store.Extent().shownLines)) {
        std::string line;
        for (const Cell& cell : row.cells)
            line += static_cast<char>(cell.byte);
        lines.push_back(line);
    }
    return lines;
}

} // namespace

TEST(LineIndex, SplitsLinesAtCrLfAndPairsCountOnce)
{
    struct Case
    {
        std::string input;
        std::vector<std::string> shown; // every shown line, the empty line after a break too
        std::size_t held;
    };
    const Case cases[] = {
        {"", {""}, 0},
        {"abc", {"abc"}, 1},
        {"a\nb", {"a\n", "b"}, 2},
        {"a\rb", {"a\r", "b"}, 2},
        {"a\r\nb", {"a\r\n", "b"}, 2},
        {"a\r\n", {"a\r\n", ""}, 1},
        {"a\n\rb", {"a\n", "\r", "b"}, 3},
        {"a\r\r\nb", {"a\r", "\r\n", "b"}, 3},
        {"\n\n", {"\n", "\n", ""}, 2},
        {"a\n\nb\r\n\r\nc", {"a\n", "\n", "b\r\n", "\r\n", "c"}, 5},
    };
    for (const Case& c : cases) {
        CTextLogStore store;
        Write(store, c.input);
        EXPECT_EQ(ShownLines(store), c.shown) << "input " << testing::PrintToString(c.input);
        EXPECT_EQ(store.Extent().heldLines, c.held) << testing::PrintToString(c.input);
        EXPECT_EQ(store.Extent().end, c.input.size());
    }
}

TEST(LineIndex, BulkWriteSplitsLikeSingleBytes)
{
    // Long lines, high bytes, breaks at piece edges and the line limit: whatever the pieces,
    // the log holds what single bytes leave, down to the trimmed lines.
    std::string mixed;
    for (int i = 0; i < 40; ++i) {
        mixed += std::string(std::size_t(i * 97 % (kMaxLineBytes + 300)), char('a' + i % 26));
        const char* const breaks[] = {"\r\n", "\xED\x95\x9C\xC7\xD1", "\r", "\nab\ncdefghij\x80k"};
        mixed += breaks[i % 4];
        if (i % 7 == 0)
            mixed += std::string(kMaxLineBytes + kLineBreakSearchBytes, '\x95');
    }
    for (const std::size_t lineMax : {std::size_t(5), std::size_t(1000)}) {
        CTextLogStore bytes;
        bytes.SetLineMax(lineMax);
        Write(bytes, mixed);
        for (const std::size_t piece :
             {std::size_t(1), std::size_t(3), std::size_t(1000), std::size_t(4096), mixed.size()}) {
            CTextLogStore pieces;
            pieces.SetLineMax(lineMax);
            for (std::size_t at = 0; at < mixed.size(); at += piece)
                pieces.Write(reinterpret_cast<const uint8_t*>(mixed.data()) + at,
                             std::min(piece, mixed.size() - at), 0x32);
            const LogExtent want = bytes.Extent();
            const LogExtent got = pieces.Extent();
            const auto where = testing::Message() << "pieces of " << piece << ", limit " << lineMax;
            EXPECT_EQ(got.first, want.first) << where;
            EXPECT_EQ(got.end, want.end) << where;
            EXPECT_EQ(got.firstLine, want.firstLine) << where;
            EXPECT_EQ(got.heldLines, want.heldLines) << where;
            EXPECT_EQ(ShownLines(pieces), ShownLines(bytes)) << where;
        }
    }
}

TEST(LineIndex, LineLimitDropsTheOldestLines)
{
    CTextLogStore store;
    store.SetLineMax(3);
    for (int i = 0; i < 10; ++i)
        Write(store, "line" + std::to_string(i) + "\n");
    EXPECT_EQ(store.Extent().heldLines, 3u);
    EXPECT_EQ(ShownLines(store), (std::vector<std::string>{"line7\n", "line8\n", "line9\n", ""}));
    EXPECT_EQ(store.Extent().end - store.Extent().first, 18u);
    EXPECT_EQ(store.Extent().firstLine, 7u);

    // The line in progress counts: its first byte pushes the oldest line out.
    Write(store, "x");
    EXPECT_EQ(ShownLines(store), (std::vector<std::string>{"line8\n", "line9\n", "x"}));

    // Lowering the limit trims at once; offsets keep counting from the clear.
    store.SetLineMax(1);
    EXPECT_EQ(ShownLines(store), (std::vector<std::string>{"x"}));
    EXPECT_EQ(store.Extent().first, 60u);

    store.Clear();
    EXPECT_EQ(store.Extent().end, 0u);
    EXPECT_EQ(store.Extent().heldLines, 0u);
}

TEST(LineIndex, EndlessLineWrapsWithoutSplittingCharacters)
{
    CTextLogStore store;
    Write(store, std::string(kMaxLineBytes + 10, 'x'));
    auto lines = ShownLines(store);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].size(), kMaxLineBytes);

    // A line continues only where no encoding the view reads can have a character cut: after a
    // byte below 0x80, or at a UTF-8 lead an even number of bytes into a stretch of high bytes.
    struct Case
    {
        std::string tail; // follows kMaxLineBytes - 1 bytes of 'x'
        std::size_t firstLine;
    };
    const Case cases[] = {
        // 한 in UTF-8, then "yz": the y may be a CP949 trail of 9C, the z starts a character.
        {"한yz", kMaxLineBytes + 3},
        // 한글 in CP949, then more: the next pair at an even distance that starts with C0 or more.
        {"\xC7\xD1\xB1\xDB\xC7\xD1", kMaxLineBytes + 3},
        // Bytes that fit no rule are cut after the search distance.
        {std::string(2 * kLineBreakSearchBytes, '\x95'), kMaxLineBytes + kLineBreakSearchBytes},
    };
    for (const Case& c : cases) {
        store.Clear();
        Write(store, std::string(kMaxLineBytes - 1, 'x') + c.tail);
        lines = ShownLines(store);
        ASSERT_EQ(lines.size(), 2u) << testing::PrintToString(c.tail);
        EXPECT_EQ(lines[0].size(), c.firstLine) << testing::PrintToString(c.tail);
    }
}
