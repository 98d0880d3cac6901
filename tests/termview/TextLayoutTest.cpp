// Text-mode layout: control-code names, tabs, attributes and clipboard text.
#include <gtest/gtest.h>

#include <string>

#include "ControlCodeNames.h"
#include "TermViewConstants.h"
#include "TextLayout.h"

namespace {

std::vector<Cell> Cells(const std::string& text, char attr = kAttrReceived)
{
    std::vector<Cell> cells;
    for (const char c : text)
        cells.push_back(Cell{static_cast<uint8_t>(c), static_cast<uint8_t>(attr)});
    return cells;
}

} // namespace

TEST(TextLayout, ControlCodesShowThePanelNames)
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
}

TEST(TextLayout, HiddenControlCodesTakeNoRoomButTabsStillSpace)
{
    auto glyphs = LayoutLine(Cells("A\x02"
                                   "B\x03\r\n"),
                             100, false, TextEncoding::Auto);
    ASSERT_EQ(glyphs.size(), 2u);
    EXPECT_EQ(glyphs[0].ch, U'A');
    EXPECT_EQ(glyphs[1].ch, U'B');
    EXPECT_EQ(glyphs[1].col, 1);
    EXPECT_EQ(glyphs[1].offset, 102u);

    glyphs = LayoutLine(Cells("ab\tc"), 0, false, TextEncoding::Auto);
    ASSERT_EQ(glyphs.size(), 4u);
    EXPECT_EQ(glyphs[2].cells, kTabCells - 2);
    EXPECT_EQ(glyphs[3].col, kTabCells);

    glyphs = LayoutLine(Cells("A\x02"
                              "B"),
                        0, true, TextEncoding::Auto);
    ASSERT_EQ(glyphs.size(), 3u);
    EXPECT_STREQ(glyphs[1].label, "STX");
    EXPECT_EQ(glyphs[2].col, 4);
}

TEST(TextLayout, AttributesPickInOrOutColours)
{
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
    };
    const Case cases[] = {
        {"ab\r\ncd\ne\rf", false, "ab\ncd\ne\nf"},
        {"\x02"
         "ab\x03\r\n",
         true, "<02>ab<03><0D><0A>\n"},
        {"\x02"
         "ab\x03\r\n",
         false, "ab\n"},
        {"a\tb", false, "a\tb"},
        {"\xED\x95\x9C\xFF", false, QString::fromUtf8("한\xEF\xBF\xBD")},
        {"\xED\x95\x9C\xFF", true, QString::fromUtf8("한<FF>")},
        {"\xC7\xD1\xB1\xDB", false, QString::fromUtf8("한글")}, // CP949
    };
    for (const Case& c : cases)
        EXPECT_EQ(CopyText(Cells(c.input), c.controls, TextEncoding::Auto), c.expected)
            << testing::PrintToString(c.input);
    EXPECT_EQ(CopyHex(Cells("AB\r")), "41 42 0D");
}
