// Searching the held bytes: hex patterns, and every match found across line breaks, stretches
// and wrapping, as comparing at every place finds it, while writers go on.
#include <gtest/gtest.h>

#include <QScopeGuard>
#include <algorithm>
#include <atomic>
#include <cstring>
#include <random>
#include <thread>

#include "CTextLogStore.h"
#include "CTextSearch.h"

namespace {

void Write(CTextLogStore& store, const QByteArray& bytes)
{
    store.Write(reinterpret_cast<const uint8_t*>(bytes.constData()),
                static_cast<std::size_t>(bytes.size()), kAttrReceived);
}

// Where pattern occurs in text, which the log holds from offset first on, by comparing it at
// every place.
std::vector<uint64_t> MatchStarts(const QByteArray& text, uint64_t first, const QByteArray& pattern)
{
    std::vector<uint64_t> starts;
    for (qsizetype i = 0; i + pattern.size() <= text.size(); ++i) {
        if (std::memcmp(text.constData() + i, pattern.constData(), pattern.size()) == 0)
            starts.push_back(first + static_cast<uint64_t>(i));
    }
    return starts;
}

// Find's answer worked out from every match's start.
SearchHit Expected(const std::vector<uint64_t>& starts, uint64_t from, bool forward)
{
    SearchHit hit;
    hit.count = starts.size();
    if (starts.empty())
        return hit;
    const auto after = static_cast<std::size_t>(
        std::lower_bound(starts.begin(), starts.end(), from) - starts.begin());
    const std::size_t index = forward ? (after == starts.size() ? 0 : after)
                                      : (after == 0 ? starts.size() - 1 : after - 1);
    hit.found = true;
    hit.offset = starts[index];
    hit.index = index + 1;
    return hit;
}

} // namespace

TEST(TextSearchTest, HexPatternsAreReadAsPairsOfDigits)
{
    const struct
    {
        const char* text;
        bool valid;
        QByteArray bytes;
    } cases[] = {
        {"0D 0A", true, QByteArray("\r\n")},
        {"0d0a", true, QByteArray("\r\n")},
        {"  41   42 ", true, QByteArray("AB")},
        {"00 ff", true, QByteArray("\0\xff", 2)},
        {"", false, {}},
        {"   ", false, {}},
        {"0D 0", false, {}},  // a lone digit
        {"0 D", false, {}},   // a pair torn by a space
        {"0G", false, {}},    // not a hex digit
        {"0D,0A", false, {}}, // separators other than spaces
    };
    for (const auto& c : cases) {
        QByteArray bytes("stale");
        EXPECT_EQ(ParseHexPattern(QString::fromLatin1(c.text), &bytes), c.valid) << c.text;
        EXPECT_EQ(bytes, c.bytes) << c.text;
    }
    QByteArray bytes;
    EXPECT_TRUE(ParseHexPattern(QStringLiteral("AA").repeated(kMaxSearchPatternBytes), &bytes));
    EXPECT_FALSE(ParseHexPattern(QStringLiteral("AA").repeated(kMaxSearchPatternBytes + 1), &bytes))
        << "too long";
}

TEST(TextSearchTest, EveryMatchIsFoundAcrossStretchesAndAtTheEnds)
{
    constexpr auto kStretch = static_cast<qsizetype>(kSearchStretchBytes);
    const QByteArray filler(3 * kStretch, 'x');
    const QByteArray needle("needle");
    const auto planted = [&](std::initializer_list<qsizetype> places) {
        QByteArray text = filler;
        for (qsizetype place : places)
            text.replace(place, needle.size(), needle);
        return text;
    };
    const QByteArray lines = QByteArray("ab\r\n").repeated(kStretch / 2);
    const QByteArray periodic = QByteArray("ab").repeated(kStretch + 7);
    const struct
    {
        const char* what;
        QByteArray text;
        QByteArray pattern;
    } cases[] = {
        {"at the very start and end", planted({0, filler.size() - needle.size()}), needle},
        {"across each seam between stretches",
         planted({kStretch - 1, 2 * kStretch - 5, 2 * kStretch + 1}), needle},
        {"only across a seam", planted({kStretch - 3}), needle},
        {"one byte, everywhere", filler, "x"},
        {"overlapping, everywhere", filler, "xxx"},
        {"overlapping, everywhere, longer than compared at once", filler, QByteArray(100, 'x')},
        {"longer than a line", lines, "ab\r\nab\r\nab\r\nab"},
        {"compared whole where every place is a candidate", periodic,
         QByteArray("ab").repeated(20)},
        {"a candidate everywhere, matching nowhere", periodic,
         QByteArray("ab").repeated(100) + "c"},
        {"the longest pattern", periodic, QByteArray("ab").repeated(kMaxSearchPatternBytes / 2)},
    };
    for (const auto& c : cases) {
        CTextLogStore store;
        Write(store, c.text);
        const CTextSearch search(c.pattern);
        const std::vector<uint64_t> starts = MatchStarts(c.text, 0, c.pattern);
        for (const uint64_t from : {uint64_t{0}, uint64_t{1}, uint64_t(kStretch),
                                    uint64_t(kStretch + 1), uint64_t(c.text.size())}) {
            for (const bool forward : {true, false}) {
                const SearchHit hit = store.Find(search, from, forward);
                const SearchHit expected = Expected(starts, from, forward);
                EXPECT_EQ(hit.found, expected.found) << c.what << " from " << from;
                EXPECT_EQ(hit.count, expected.count) << c.what << " from " << from;
                EXPECT_EQ(hit.offset, expected.offset) << c.what << " from " << from;
                EXPECT_EQ(hit.index, expected.index) << c.what << " from " << from;
            }
        }
    }

    EXPECT_FALSE(CTextLogStore().Find(CTextSearch(QByteArray("x")), 0, false).found)
        << "an empty log";

    // Any text and pattern, short or across stretches, with the oldest lines dropped.
    std::mt19937 random(7);
    for (int round = 0; round < 200; ++round) {
        const qsizetype length = round % 20 == 0 ? 2 * kStretch + 100 : 300;
        QByteArray text;
        QByteArray pattern;
        for (qsizetype i = 0; i < length; ++i)
            text += "ab\n"[random() % (round % 2 == 0 ? 2 : 3)];
        for (int i = 0, n = 1 + static_cast<int>(random() % 6); i < n; ++i)
            pattern += static_cast<char>('a' + random() % 2);
        CTextLogStore store;
        Write(store, text);
        store.SetLineMax(100);
        const LogExtent extent = store.Extent();
        const QByteArray held = text.mid(static_cast<qsizetype>(extent.first));
        const uint64_t from = extent.first + random() % static_cast<uint64_t>(held.size() + 1);
        const bool forward = random() % 2 == 0;
        const SearchHit hit = store.Find(CTextSearch(pattern), from, forward);
        const SearchHit expected =
            Expected(MatchStarts(held, extent.first, pattern), from, forward);
        EXPECT_EQ(hit.count, expected.count) << pattern.constData() << " in round " << round;
        EXPECT_EQ(hit.offset, expected.offset) << pattern.constData() << " in round " << round;
        EXPECT_EQ(hit.index, expected.index) << pattern.constData() << " in round " << round;
    }
}

TEST(TextSearchTest, WritersGoOnWhileTheHeldBytesAreSearched)
{
    // Another thread adds lines and drops the oldest all along: each search counts what was held
    // when it began, at most, and lands on a match.
    constexpr std::size_t kLineMax = 1000;
    const QByteArray line = "needle " + QByteArray(1000, '.') + "\r\n";
    CTextLogStore store;
    store.SetLineMax(kLineMax);
    Write(store, line.repeated(kLineMax));
    {
        std::atomic<bool> stop{false};
        std::thread writer([&] {
            while (!stop.load())
                Write(store, line);
        });
        const auto joinWriter = qScopeGuard([&] {
            stop = true;
            writer.join();
        });
        const CTextSearch search(QByteArray("needle"));
        for (int round = 0; round < 20; ++round) {
            const LogExtent before = store.Extent();
            const SearchHit hit = store.Find(search, before.first + 1, round % 2 == 0);
            ASSERT_TRUE(hit.found) << "round " << round;
            EXPECT_GE(hit.count, 1u);
            EXPECT_LE(hit.count, kLineMax);
            EXPECT_GE(hit.offset, before.first);
            EXPECT_LT(hit.offset, store.Extent().end);
            EXPECT_EQ((hit.offset - before.first) % static_cast<uint64_t>(line.size()), 0u);
        }
    }

    // Bytes dropped from under the search, here before each stretch is read: the matches left
    // are counted at their own offsets.
    const CTextSearch search(QByteArray("needle"));
    constexpr auto kStretch = static_cast<qsizetype>(kSearchStretchBytes);
    const QByteArray held = QByteArray("needle.").repeated(3 * kStretch / 7);
    const auto heldEnd = static_cast<uint64_t>(held.size());
    uint64_t dropped = 0;
    const CellReader dropping = [&](uint64_t from, uint64_t to, std::vector<Cell>& out) {
        dropped += kSearchStretchBytes / 2 + 3;
        from = std::max(from, dropped);
        for (uint64_t i = from; i < std::min(to, heldEnd); ++i)
            out.push_back(
                Cell{static_cast<uint8_t>(held[static_cast<qsizetype>(i)]), kAttrReceived});
        return from;
    };
    const SearchHit hit = search.Find(0, heldEnd, 0, true, dropping);
    ASSERT_TRUE(hit.found);
    EXPECT_EQ(held.mid(static_cast<qsizetype>(hit.offset), 6), "needle");
    EXPECT_GT(hit.offset, kSearchStretchBytes / 2) << "not a dropped byte";
    EXPECT_LT(hit.count, heldEnd / 7);
}
