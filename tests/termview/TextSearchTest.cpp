// Searching the held bytes: hex patterns, matches across line breaks and chunks, wrapping, and
// the view selecting, scrolling to and marking what was found.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFontMetricsF>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <cmath>
#include <random>

#include "CByteLog.h"
#include "CTextSearch.h"
#include "CTextViewCtrl.h"
#include "HexLayout.h"

namespace {

constexpr int kWaitMs = 10000;

CByteLog LogOf(const QByteArray& bytes)
{
    CByteLog log;
    log.Append(reinterpret_cast<const uint8_t*>(bytes.constData()),
               static_cast<std::size_t>(bytes.size()), kAttrReceived);
    return log;
}

void Write(CTextViewCtrl& view, const QByteArray& bytes)
{
    view.TextWrite(reinterpret_cast<const unsigned char*>(bytes.constData()),
                   static_cast<int>(bytes.size()), kAttrReceived);
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

TEST(TextSearchTest, NextAndPreviousWrapAroundAndCountEveryMatch)
{
    // Matches across line breaks; offsets stay absolute after the oldest bytes are dropped.
    CByteLog log = LogOf("xxOK\r\nOK\r\nOK\r\n");
    log.DropBefore(2);
    const CTextSearch search(QByteArray("\r\nOK"));
    const struct
    {
        uint64_t from;
        bool forward;
        uint64_t offset;
        std::size_t index;
    } steps[] = {
        {0, true, 4, 1},  {5, true, 8, 2},  {9, true, 4, 1}, // past the last: around to the first
        {8, false, 4, 1}, {4, false, 8, 2},                  // before the first: around to the last
    };
    for (const auto& s : steps) {
        const SearchHit hit = search.Find(log, s.from, s.forward);
        EXPECT_TRUE(hit.found) << s.from;
        EXPECT_EQ(hit.offset, s.offset) << s.from << (s.forward ? " next" : " previous");
        EXPECT_EQ(hit.index, s.index) << s.from;
        EXPECT_EQ(hit.count, 2u);
    }
    EXPECT_FALSE(CTextSearch(QByteArray("KO")).Find(log, 0, true).found);
    EXPECT_FALSE(search.Find(CByteLog(), 0, false).found) << "an empty log";

    // Matches may overlap, and the count agrees with a plain search on any text.
    std::mt19937 random(7);
    for (int round = 0; round < 200; ++round) {
        QByteArray text;
        QByteArray pattern;
        for (int i = 0; i < 300; ++i)
            text += static_cast<char>('a' + random() % 2);
        for (int i = 0, n = 1 + static_cast<int>(random() % 6); i < n; ++i)
            pattern += static_cast<char>('a' + random() % 2);
        std::size_t expected = 0;
        for (qsizetype from = 0; (from = text.indexOf(pattern, from)) >= 0; ++from)
            ++expected;
        EXPECT_EQ(CTextSearch(pattern).Find(LogOf(text), 0, true).count, expected)
            << text.constData() << " / " << pattern.constData();
    }
}

class TextViewSearchTest : public testing::Test
{
protected:
    void SetUp() override
    {
        m_view.resize(600, 300);
        m_view.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&m_view));
    }
    void WaitForSync()
    {
        QSignalSpy shown(&m_view, &CTextViewCtrl::dataShown);
        ASSERT_TRUE(shown.wait(kWaitMs));
    }
    // Whether the viewport shows the row that reads text.
    bool RowShown(const QString& text) const
    {
        const int rows = static_cast<int>(m_view.viewport()->height() /
                                          std::ceil(QFontMetricsF(m_view.font()).lineSpacing()));
        for (int row = 0; row < rows; ++row) {
            if (m_view.ShownRowText(row) == text)
                return true;
        }
        return false;
    }

    CTextViewCtrl m_view;
};

TEST_F(TextViewSearchTest, FoundMatchesAreSelectedAndScrolledIntoViewAcrossChunks)
{
    Write(m_view, "first\r\nnee");
    Write(m_view, "dle\r\n"); // the match spans the two chunks
    for (int i = 0; i < 300; ++i)
        Write(m_view, QByteArray::number(i) + "\r\n");
    WaitForSync();
    ASSERT_FALSE(RowShown(QStringLiteral("needle"))) << "the view follows the end";

    m_view.SetSearchPattern("needle");
    SearchHit hit = m_view.FindNext(true);
    ASSERT_TRUE(hit.found);
    EXPECT_EQ(hit.offset, 7u);
    EXPECT_EQ(m_view.SelectedText(), QStringLiteral("needle"));
    EXPECT_TRUE(RowShown(QStringLiteral("needle")));

    // Across a line break; nothing found moves nothing.
    m_view.SetSearchPattern("12\r\n13");
    hit = m_view.FindNext(false);
    ASSERT_TRUE(hit.found);
    EXPECT_EQ(m_view.SelectedText(), QStringLiteral("12\n13"));
    const int top = m_view.verticalScrollBar()->value();
    m_view.SetSearchPattern("absent");
    EXPECT_FALSE(m_view.FindNext(true).found);
    EXPECT_EQ(m_view.SelectedText(), QStringLiteral("12\n13"));
    EXPECT_EQ(m_view.verticalScrollBar()->value(), top);
}

TEST_F(TextViewSearchTest, HexModeMarksEveryMatchShown)
{
    m_view.HexaView(true);
    Write(m_view, QByteArray("ab\r\ncd\r\nef\r\n"));
    WaitForSync();
    m_view.SetSearchPattern("\r\n");
    const SearchHit hit = m_view.FindNext(true);
    ASSERT_TRUE(hit.found);
    EXPECT_EQ(hit.count, 3u);
    EXPECT_EQ(hit.offset, 2u);

    // The first match is selected, the others marked, the rest drawn as before.
    const QFontMetricsF metrics(m_view.font(), m_view.viewport());
    const double cell = metrics.horizontalAdvance(QLatin1Char('M'));
    const auto colourAt = [&](int index) {
        const QImage image = m_view.viewport()->grab().toImage();
        // The top left corner of the byte's hex cells: background, clear of the digits.
        return image.pixelColor(static_cast<int>(HexLayout::HexCol(index) * cell) + 1, 1);
    };
    const QColor marked = colourAt(6);
    EXPECT_EQ(colourAt(10), marked);
    EXPECT_NE(colourAt(2), marked) << "the selected match";
    EXPECT_NE(colourAt(0), marked) << "no match";
    m_view.SetSearchPattern({});
    EXPECT_NE(colourAt(6), marked) << "marks go with the pattern";
}
