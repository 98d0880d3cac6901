// Arrival times beside the bytes: where a stamp goes in a text line, and what the view keeps.
#include <gtest/gtest.h>

#include <QApplication>
#include <string>

#include "CTextViewCtrl.h"
#include "TextLayout.h"

namespace {

std::vector<Cell> Cells(const std::string& text)
{
    std::vector<Cell> cells;
    for (const char c : text)
        cells.push_back(Cell{static_cast<uint8_t>(c), static_cast<uint8_t>(kAttrReceived)});
    return cells;
}

// The laid-out line as text: a stamp as "|ms|", a control code by its label.
std::string Picture(const std::vector<Glyph>& glyphs)
{
    std::string text;
    for (const Glyph& g : glyphs) {
        if (g.stampMs >= 0)
            text += "|" + std::to_string(g.stampMs) + "|";
        else if (g.ch != 0)
            text += QString::fromUcs4(&g.ch, 1).toStdString();
        else
            text += g.label;
    }
    return text;
}

} // namespace

TEST(ArrivalStamps, StampsGoBeforeTheFirstGlyphAtOrAfterTheirOffset)
{
    const struct
    {
        std::string line;
        bool controls;
        std::vector<ArrivalStamp> stamps; // offsets from 100
        std::string picture;
    } cases[] = {
        {"abc", false, {{100, 1}}, "|1|abc"},
        {"abc", false, {{101, 1}, {102, 2}}, "a|1|b|2|c"},
        // A hidden control code takes no room: the stamp still shows, before what follows.
        {"\x02OK", false, {{100, 7}}, "|7|OK"},
        {"\x02OK", true, {{100, 7}}, "|7|STXOK"},
        // Inside a character of several bytes: before the next one.
        {"\xEC\x98\xA8x", false, {{101, 3}}, "\xEC\x98\xA8|3|x"},
    };
    for (const auto& c : cases) {
        const auto glyphs =
            LayoutLine(Cells(c.line), 100, c.controls, TextEncoding::Utf8, c.stamps);
        EXPECT_EQ(Picture(glyphs), c.picture) << c.line;
        int col = 0;
        for (const Glyph& g : glyphs) {
            EXPECT_EQ(g.col, col) << c.line;
            col += g.cells;
        }
    }
    EXPECT_EQ(CArrivalStamps::Text(((9 * 60 + 5) * 60 + 1) * 1000 + 7), "[09:05:01.007] ");
    EXPECT_EQ(CArrivalStamps::Text(0).size(), kStampCells);
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
