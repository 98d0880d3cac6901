#include "TerminalText.h"

#include <gtest/gtest.h>

TEST(TerminalText, ControlBytesAndC1CharactersAreSpelledOutAndTextPasses)
{
    struct Case
    {
        std::string text;
        std::string line;  // as a line of output
        std::string field; // as a name or a diagnostic
    };
    const Case cases[] = {
        {"plain text", "plain text", "plain text"},
        {"온도 센서", "온도 센서", "온도 센서"},
        {"\x1b[2J\x07", "<1B>[2J<07>", "<1B>[2J<07>"},
        {"a\tb\nc\rd", "a\tb<0A>c<0D>d", "a<09>b<0A>c<0D>d"},
        {std::string("nul\0x", 5), "nul<00>x", "nul<00>x"},
        {"del\x7f", "del<7F>", "del<7F>"},
        // C1 controls as lone bytes, and as the UTF-8 encodings of U+0080 to U+009F.
        {"\x9b"
         "31m",
         "<9B>31m", "<9B>31m"},
        {"\xc2\x9b"
         "31m",
         "<C2><9B>31m", "<C2><9B>31m"},
        {"\xc2\x80\xc2\x9f", "<C2><80><C2><9F>", "<C2><80><C2><9F>"},
        // U+00A0 and beyond are text; bytes above 0x9F outside UTF-8 are no control either.
        {"\xc2\xa0\xc3\xa9", "\xc2\xa0\xc3\xa9", "\xc2\xa0\xc3\xa9"},
        {"caf\xe9", "caf\xe9", "caf\xe9"},
        // A sequence cut short or overlong is bytes, each judged alone.
        {"\xe2\x82", "\xe2<82>", "\xe2<82>"},
        {"\xc0\x9b", "\xc0<9B>", "\xc0<9B>"},
        {"\xed\xa0\x80", "\xed\xa0<80>", "\xed\xa0<80>"},
        {"\xf0\x9f\x98\x80!", "\xf0\x9f\x98\x80!", "\xf0\x9f\x98\x80!"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(EscapeForTerminal(c.text), c.line) << c.text;
        EXPECT_EQ(EscapeForTerminal(c.text, TerminalText::Field), c.field) << c.text;
        EXPECT_EQ(EscapeForTerminal(c.field, TerminalText::Field), c.field)
            << "escaped text passes unchanged";
    }
}
