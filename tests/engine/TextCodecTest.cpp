#include "TextCodec.h"

#include <gtest/gtest.h>

using tsl::TextCodec;

TEST(TextCodec, TextGoesOutWholeInItsCodecOrNotAtAll)
{
    struct Case
    {
        std::string text;
        TextCodec codec;
        std::string bytes;
        std::ptrdiff_t unencodable;
    };
    const Case cases[] = {
        {"한글 A", TextCodec::Cp949, "\xC7\xD1\xB1\xDB A", -1},
        {"한글 A", TextCodec::Utf8, "한글 A", -1},
        {"café", TextCodec::Latin1, "caf\xE9", -1},
        {"ÿ", TextCodec::Latin1, "\xFF", -1},
        // A character the codec lacks stops the whole text; its offset is given.
        {"a😀b", TextCodec::Cp949, "", 1},
        {"ab가", TextCodec::Latin1, "", 2},
        {"Ā", TextCodec::Latin1, "", 0},
        // A byte that is not UTF-8 was kept from a file as it was, and goes back so.
        {"x\xFFy", TextCodec::Cp949, "x\xFFy", -1},
        {"x\xFFy", TextCodec::Latin1, "x\xFFy", -1},
        {"", TextCodec::Cp949, "", -1},
    };
    for (const Case& c : cases) {
        const tsl::EncodedText encoded = tsl::EncodeText(c.text, c.codec);
        EXPECT_EQ(encoded.bytes, c.bytes) << c.text << ' ' << tsl::CodecName(c.codec);
        EXPECT_EQ(encoded.nUnencodable, c.unencodable) << c.text;
    }
}
