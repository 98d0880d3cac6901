// Laying out a line: control-code names, tabs, attributes, encodings, the cells every
// character takes, arrival stamps, and the text copied from it.
#include <gtest/gtest.h>

#include <QFontDatabase>
#include <QImage>
#include <QPainter>
#include <QRawFont>
#include <QSignalSpy>
#include <QTest>
#include <QWidget>
#include <memory>
#include <string>

#include "CTextViewCtrl.h"
#include "CTextViewPainter.h"
#include "ControlCodeNames.h"
#include "TermViewConstants.h"
#include "TextEncoding.h"
#include "TextLayout.h"

namespace {

std::vector<Cell> Cells(const std::string& text, char attr = kAttrReceived)
{
    std::vector<Cell> cells;
    for (const char c : text)
        cells.push_back(Cell{static_cast<uint8_t>(c), static_cast<uint8_t>(attr)});
    return cells;
}

// "한2 글2 ·1 <C7>4 |7|15": each glyph's character, label or arrival stamp and the cells it
// takes. Checks on the way that every glyph starts where the one before it ended.
std::string Describe(const std::vector<Glyph>& glyphs)
{
    std::string text;
    int col = 0;
    for (const Glyph& g : glyphs) {
        EXPECT_EQ(g.col, col) << text;
        col += g.cells;
        if (!text.empty())
            text += ' ';
        if (g.stampMs >= 0)
            text += "|" + std::to_string(g.stampMs) + "|";
        else
            text += g.ch ? QString::fromUcs4(&g.ch, 1).toStdString() : std::string(g.label);
        text += std::to_string(g.cells);
    }
    return text;
}

} // namespace

TEST(TextLayout, ControlCodesShowThePanelNamesInTheColoursOfTheirAttribute)
{
    const char* const names[] = {"NUL", "SOH", "STX", "ETX", "EOT", "ENQ", "ACK", "BEL",
                                 "BS",  "HT",  "LF",  "VT",  "FF",  "CR",  "SO",  "SI",
                                 "DLE", "DC1", "DC2", "DC3", "DC4", "NAK", "SYN", "ETB",
                                 "CAN", "EM",  "SUB", "ESC", "FS",  "GS",  "RS",  "US"};
    for (int b = 0; b < 32; ++b) {
        const auto glyphs =
            LayoutLine({Cell{static_cast<uint8_t>(b), 0x32}}, 0, true, TextEncoding::Auto);
        ASSERT_EQ(glyphs.size(), 1u) << b;
        EXPECT_STREQ(glyphs[0].label, names[b]);
        EXPECT_EQ(glyphs[0].cells, std::string(names[b]).size());
        EXPECT_EQ(glyphs[0].style, CellStyle::ControlIn);
    }
    EXPECT_STREQ(ControlCodeName(0x7F), "DEL");
    EXPECT_EQ(ControlCodeName(' '), nullptr);
    EXPECT_EQ(ControlCodeName(0x80), nullptr);

    // Attributes pick the colours of what was sent or received.
    std::vector<Cell> cells = {{'a', 0x31}, {'b', 0x32}, {'\r', 0x31}, {'\r', 0x32}, {'c', 0x00}};
    const auto glyphs = LayoutLine(cells, 0, true, TextEncoding::Auto);
    ASSERT_EQ(glyphs.size(), 5u);
    EXPECT_EQ(glyphs[0].style, CellStyle::TextOut);
    EXPECT_EQ(glyphs[1].style, CellStyle::TextIn);
    EXPECT_EQ(glyphs[2].style, CellStyle::ControlOut);
    EXPECT_EQ(glyphs[3].style, CellStyle::ControlIn);
    EXPECT_EQ(glyphs[4].style, CellStyle::TextOut); // anything but "received" draws as sent
}

TEST(TextLayout, CopyTextWritesBreaksAndVisibleCodes)
{
    struct Case
    {
        std::string input;
        bool controls;
        QString expected;
        TextEncoding encoding = TextEncoding::Auto;
    };
    const Case cases[] = {
        {"ab\r\ncd\ne\rf", false, "ab\ncd\ne\nf"},
        {"\002ab\003\r\n", true, "<02>ab<03><0D><0A>\n"},
        {"\002ab\003\r\n", false, "ab\n"},
        {"a\tb", false, "a\tb"},
        {"\xED\x95\x9C\xFF", false, QString::fromUtf8("한\xEF\xBF\xBD")},
        {"\xED\x95\x9C\xFF", true, QString::fromUtf8("한<FF>")},
        {"\xC7\xD1\xB1\xDB\r\n", false, QString::fromUtf8("한글\n")}, // CP949
        {"\xC7\xD1", true, "<C7><D1>", TextEncoding::Utf8},
        {"\xE9", false, QString::fromUtf8("é"), TextEncoding::Latin1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CopyText(Cells(c.input), c.controls, c.encoding), c.expected)
            << testing::PrintToString(c.input);
    EXPECT_EQ(CopyHex(Cells("AB\r")), "41 42 0D");
}

TEST(TextEncoding, EveryCharacterTakesExactlyItsCells)
{
    struct Case
    {
        std::string bytes;
        TextEncoding encoding;
        bool controls;
        std::string glyphs;
        std::vector<ArrivalStamp> stamps = {}; // offsets from 100
    };
    const auto A = TextEncoding::Auto;
    const auto U = TextEncoding::Utf8;
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
        // Hidden control codes take no room, shown ones their name's; a tab spaces to the next
        // stop.
        {"A\002B\003\r\n", A, false, "A1 B1"},
        {"A\002B", A, true, "A1 STX3 B1"},
        {"ab\tc", A, false, "a1 b1  6 c1"},
        // An arrival stamp goes before the first glyph at or after its offset.
        {"abc", U, false, "|1|15 a1 b1 c1", {{100, 1}}},
        {"abc", U, false, "a1 |1|15 b1 |2|15 c1", {{101, 1}, {102, 2}}},
        {"\x02OK", U, false, "|7|15 O1 K1", {{100, 7}}},
        {"\x02OK", U, true, "|7|15 STX3 O1 K1", {{100, 7}}},
        {"\xEC\x98\xA8x", U, false, "온2 |3|15 x1", {{101, 3}}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Describe(LayoutLine(Cells(c.bytes), 100, c.controls, c.encoding, c.stamps)),
                  c.glyphs)
            << testing::PrintToString(c.bytes) << " encoding " << static_cast<int>(c.encoding)
            << (c.controls ? " with codes" : "");
    }
    const auto glyphs = LayoutLine(Cells("A\002B"), 100, false, TextEncoding::Auto);
    EXPECT_EQ(glyphs.back().offset, 102u) << "a glyph keeps its byte's offset past hidden codes";
}

TEST(TextEncoding, SentAndReceivedBytesNeverMakeOneCharacterTwoWritesOfOneSideDo)
{
    // A typed lead byte echoed just before a received trail byte: two strays, not 한.
    const std::vector<Cell> cells = {{0xC7, kAttrSent}, {0xD1, kAttrReceived}};
    for (const TextEncoding encoding : {TextEncoding::Auto, TextEncoding::Cp949})
        EXPECT_EQ(Describe(LayoutLine(cells, 0, false, encoding)), "·1 ·1");
    const std::vector<Cell> utf8 = {{0xED, kAttrSent}, {0x95, kAttrSent}, {0x9C, kAttrReceived}};
    EXPECT_EQ(Describe(LayoutLine(utf8, 0, true, TextEncoding::Utf8)), "<ED>4 <95>4 <9C>4");

    // A pair split over two writes of the same side is one character.
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
    const std::string stray(100, '\x80');
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

TEST(TextEncoding, AsciiRunsOnAScreenDrawAsTheirTextWould)
{
    // On a widget printable ASCII is placed glyph by glyph, and once a run of a pair of colours
    // matched the font's drawing, copied from glyphs blended before (made a sub-pixel phase at
    // a time, as the frames go by); elsewhere (here an image) it goes through the text layout.
    // All must give the same pixels at every stage, at whole and fractional cell widths, for
    // glyphs whose ink meets their neighbour's, selected and marked runs.
    const std::vector<Glyph> glyphs = LayoutLine(
        Cells("The quick brown fox, 0123456789 ~!@#$%^&*()_+{}|:\"<>? @A ww W_W jumps \x80 over"),
        0, false, TextEncoding::Auto);
    struct Case
    {
        int pixels = 0;
        QPointF origin;
        std::unique_ptr<CTextViewPainter> placed = std::make_unique<CTextViewPainter>();
        QImage reference;
    };
    std::vector<Case> cases;
    QWidget screen;
    const QImage::Format format = QImage::Format_RGB32;
    const auto draw = [&](const CTextViewPainter& painter, QPointF origin) {
        QImage out(1200, 24, format);
        out.fill(painter.Background());
        QPainter p(&out);
        painter.DrawTextLine(p, origin, glyphs, Selection{5, 12}, 0, out.width());
        return out;
    };
    for (const int pixels : {11, 13, 15, 17}) {
        for (const QPointF origin : {QPointF(3, 2), QPointF(5.25, 0)}) {
            QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
            font.setPixelSize(pixels); // the same size on either device, whatever its resolution
            ASSERT_TRUE(QRawFont::fromFont(font).isValid());
            Case& c = cases.emplace_back();
            c.pixels = pixels;
            c.origin = origin;
            CTextViewPainter laidOut;
            QImage image(1, 1, format);
            c.placed->SetFont(font, &screen);
            laidOut.SetFont(font, &image);
            ASSERT_EQ(c.placed->CellWidth(), laidOut.CellWidth());
            c.placed->SetMarks({{30, 40}});
            laidOut.SetMarks({{30, 40}});
            c.reference = draw(laidOut, origin);
        }
    }
    // Enough passes for every phase of a line's glyphs to be made, a few milliseconds apart.
    for (int pass = 0; pass < 70; ++pass) {
        for (const Case& c : cases) {
            SCOPED_TRACE(testing::Message() << c.pixels << " px at " << c.origin.x());
            ASSERT_EQ(draw(*c.placed, c.origin), c.reference) << "pass " << pass;
        }
        QTest::qWait(5);
    }
}

TEST(ArrivalStamps, TheViewKeepsStampsOnlyForTheBytesItHolds)
{
    CTextViewCtrl view;
    view.SetTotalLineMax(10);
    const QDateTime start(QDate(2026, 12, 7), QTime(0, 0));
    // Every chunk a second apart: each is stamped, and old ones go with their lines.
    for (int i = 0; i < 1000; ++i) {
        const std::string line = "line " + std::to_string(i) + "\r\n";
        view.TextWrite(reinterpret_cast<const unsigned char*>(line.data()),
                       static_cast<int>(line.size()), kAttrReceived, start.addSecs(i));
    }
    const std::vector<ArrivalStamp> stamps = view.ArrivalStamps();
    ASSERT_FALSE(stamps.empty());
    EXPECT_LE(stamps.size(), 11u);
    EXPECT_EQ(stamps.back().msOfDay, 999 * 1000);
    view.Clear();
    EXPECT_TRUE(view.ArrivalStamps().empty());
}
