// Text that is not ASCII: how each encoding reads it, the cells every character takes, bytes
// that arrive in pieces, and what a row of stray bytes does to the columns after it.
#include <gtest/gtest.h>

#include <QFontDatabase>
#include <QImage>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>
#include <string>

#include "CTextViewCtrl.h"
#include "CTextViewPainter.h"
#include "TextEncoding.h"
#include "TextLayout.h"

namespace {

std::vector<Cell> Cells(const std::string& bytes)
{
    std::vector<Cell> cells;
    for (const char c : bytes)
        cells.push_back(Cell{static_cast<uint8_t>(c), static_cast<uint8_t>(kAttrReceived)});
    return cells;
}

// "한2 글2 ·1 <C7>4": each glyph's character (or label) and the cells it takes. Checks on the
// way that every glyph starts where the one before it ended.
std::string Describe(const std::vector<Glyph>& glyphs)
{
    std::string text;
    int col = 0;
    for (const Glyph& g : glyphs) {
        EXPECT_EQ(g.col, col) << text;
        col += g.cells;
        if (!text.empty())
            text += ' ';
        text += g.ch ? QString::fromUcs4(&g.ch, 1).toStdString() : std::string(g.label);
        text += std::to_string(g.cells);
    }
    return text;
}

} // namespace

TEST(TextEncoding, EveryCharacterTakesExactlyItsCells)
{
    struct Case
    {
        std::string bytes;
        TextEncoding encoding;
        bool controls;
        std::string glyphs;
    };
    const auto A = TextEncoding::Auto;
    const Case cases[] = {
        // 한글 in CP949 and in UTF-8, with control codes hidden and shown.
        {"\xC7\xD1\xB1\xDB", A, false, "한2 글2"},
        {"\xC7\xD1\xB1\xDB", A, true, "한2 글2"},
        {"\xED\x95\x9C\xEA\xB8\x80", A, false, "한2 글2"},
        {"\xC7\xD1 \xED\x95\x9C", A, false, "한2  1 한2"},
        // 치즈 in CP949: its first pair alone would be valid UTF-8 (U+0121), the word is not.
        {"\xC4\xA1\xC1\xEE", A, false, "치2 즈2"},
        {"\xC4\xA1", A, false, "ġ1"},
        // A CP949 pair whose trail is an ASCII letter (똠).
        {"\x8C\x63!", A, false, "똠2 !1"},
        // Bytes that are no character: one cell each, four when shown as codes.
        {"A\xC7", A, false, "A1 ·1"},
        {"\xFF\x80", A, true, "<FF>4 <80>4"},
        {"\xC7\xD1", TextEncoding::Utf8, false, "·1 ·1"},
        {"\xC7\xD1", TextEncoding::Utf8, true, "<C7>4 <D1>4"},
        {"\xED\x95\x9C", TextEncoding::Utf8, false, "한2"},
        {"\xC7\xD1\xB1\xDB", TextEncoding::Cp949, false, "한2 글2"},
        {"\xEA\xB8\x80", TextEncoding::Cp949, false, "湲2 ·1"},
        // The user-defined rows of CP949 have no character a font could draw.
        {"\xC9\xA1 \xFE\xA1", TextEncoding::Cp949, false, "·1 ·1  1 ·1 ·1"},
        {"\xE9\x80\xA0", TextEncoding::Latin1, false, "é1 ·1 \u00A01"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Describe(LayoutLine(Cells(c.bytes), 0, c.controls, c.encoding)), c.glyphs)
            << testing::PrintToString(c.bytes) << " encoding " << static_cast<int>(c.encoding)
            << (c.controls ? " with codes" : "");
    }
}

TEST(TextEncoding, SentAndReceivedBytesNeverMakeOneCharacter)
{
    // A typed lead byte echoed just before a received trail byte: two strays, not 한.
    const std::vector<Cell> cells = {{0xC7, kAttrSent}, {0xD1, kAttrReceived}};
    for (const TextEncoding encoding : {TextEncoding::Auto, TextEncoding::Cp949})
        EXPECT_EQ(Describe(LayoutLine(cells, 0, false, encoding)), "·1 ·1");
    const std::vector<Cell> utf8 = {{0xED, kAttrSent}, {0x95, kAttrSent}, {0x9C, kAttrReceived}};
    EXPECT_EQ(Describe(LayoutLine(utf8, 0, true, TextEncoding::Utf8)), "<ED>4 <95>4 <9C>4");
}

TEST(TextEncoding, CopiedTextReadsTheBytesAsTheViewShowsThem)
{
    EXPECT_EQ(CopyText(Cells("\xC7\xD1\xB1\xDB\r\n"), false, TextEncoding::Auto),
              QString::fromUtf8("한글\n"));
    EXPECT_EQ(CopyText(Cells("\xC7\xD1"), true, TextEncoding::Utf8), QStringLiteral("<C7><D1>"));
    EXPECT_EQ(CopyText(Cells("\xE9"), false, TextEncoding::Latin1), QString::fromUtf8("é"));
}

TEST(TextEncoding, TypedTextGoesOutInTheChosenEncoding)
{
    const QString text = QString::fromUtf8("한글 A");
    EXPECT_EQ(EncodeText(text, TextEncoding::Cp949), QByteArray("\xC7\xD1\xB1\xDB A"));
    EXPECT_EQ(EncodeText(text, TextEncoding::Utf8), text.toUtf8());
    EXPECT_EQ(EncodeText(text, TextEncoding::Auto), text.toUtf8());
    // CP949 has no emoji: the device gets a question mark, not bytes it would misread.
    EXPECT_EQ(EncodeText(QString::fromUtf8("a\xF0\x9F\x98\x80"), TextEncoding::Cp949),
              QByteArray("a?"));
}

TEST(TextEncoding, PairSplitOverTwoWritesIsShownAsOneCharacter)
{
    const auto shown = [](const std::vector<QByteArray>& writes) {
        CTextViewCtrl view;
        view.resize(300, 100);
        view.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&view));
        for (const QByteArray& bytes : writes) {
            QSignalSpy painted(&view, &CTextViewCtrl::dataShown);
            view.TextWrite(reinterpret_cast<const unsigned char*>(bytes.constData()),
                           static_cast<int>(bytes.size()), kAttrReceived);
            EXPECT_TRUE(painted.wait(10000));
        }
        view.SelectAll();
        return std::make_pair(view.SelectedText(), view.viewport()->grab().toImage());
    };
    // The first write ends inside 한 (CP949 C7 D1) and is shown in between.
    const auto split = shown({"A\xC7", "\xD1\xB1\xDB"});
    const auto whole = shown({"A\xC7\xD1\xB1\xDB"});
    EXPECT_EQ(split.first, QString::fromUtf8("A한글"));
    EXPECT_EQ(split.second, whole.second);
}

TEST(TextEncoding, StrayBytesMoveNoLaterColumn)
{
    // Layout: 100 stray bytes take 100 cells (400 as codes), 50 Hangul characters 100.
    const std::string stray(100, '\x80');
    std::string hangul;
    for (int i = 0; i < 50; ++i)
        hangul += "\xC7\xD1";
    const struct
    {
        std::string bytes;
        bool controls;
        int col;
    } cases[] = {{stray + "A", false, 100}, {stray + "A", true, 400}, {hangul + "A", false, 100}};
    for (const auto& c : cases) {
        const std::vector<Glyph> glyphs =
            LayoutLine(Cells(c.bytes), 0, c.controls, TextEncoding::Auto);
        EXPECT_EQ(glyphs.back().ch, U'A');
        EXPECT_EQ(glyphs.back().col, c.col);
    }

    // Drawing: the letter's ink starts exactly its column times the cell width to the right of
    // where it starts when the letter stands alone in column 0.
    QImage image(4000, 40, QImage::Format_RGB32);
    CTextViewPainter painter;
    // White text, red stray-byte marks, all on black.
    const uint32_t colours[kColourCount] = {0x000000, 0xFFFFFF, 0x000000, 0xFFFFFF, 0x000000,
                                            0x0000FF, 0x000000, 0x0000FF, 0x000000};
    painter.SetColours(colours);
    painter.SetFont(QFontDatabase::systemFont(QFontDatabase::FixedFont), &image);
    const auto inkStart = [&](const std::vector<Glyph>& glyphs) {
        image.fill(Qt::black);
        QPainter p(&image);
        painter.DrawTextLine(p, QPointF(0, 0), glyphs, Selection{}, 0, image.width());
        p.end();
        for (int x = 0; x < image.width(); ++x) {
            for (int y = 0; y < image.height(); ++y) {
                const QColor pixel = image.pixelColor(x, y);
                if (pixel.green() > 128 && pixel.blue() > 128) // white, not red
                    return x;
            }
        }
        return -1;
    };
    const int alone = inkStart(LayoutLine(Cells("A"), 0, false, TextEncoding::Auto));
    ASSERT_GE(alone, 0);
    // Shown as codes, each stray byte is "<80>": four cells.
    for (const auto& [controls, cols] : {std::pair(false, 100), std::pair(true, 400)}) {
        const int after = inkStart(LayoutLine(Cells(stray + "A"), 0, controls, TextEncoding::Auto));
        EXPECT_NEAR(after - alone, cols * painter.CellWidth(), 1.0) << "codes shown: " << controls;
    }
}
