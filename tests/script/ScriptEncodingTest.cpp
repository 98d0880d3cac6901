#include "ScriptEncoding.h"

#include <gtest/gtest.h>

#include <string>

using tsl::ScriptEncoding;

namespace {

// "한글" in both encodings, and a byte order mark.
const std::string kHangul = "\xED\x95\x9C\xEA\xB8\x80";
const std::string kHangulCp949 = "\xC7\xD1\xB1\xDB";
const std::string kBom = "\xEF\xBB\xBF";

} // namespace

TEST(ScriptEncodingTest, EachLineIsDecodedByItsOwnEncoding)
{
    struct Case
    {
        const char* name;
        std::string bytes;
        std::string text;
        ScriptEncoding encoding;
    };
    const Case cases[] = {
        {"empty", "", "", ScriptEncoding::Utf8},
        {"ASCII", "OUT MSG\r\n", "OUT MSG\r\n", ScriptEncoding::Utf8},
        {"UTF-8", "// " + kHangul + "\n", "// " + kHangul + "\n", ScriptEncoding::Utf8},
        {"byte order mark", kBom + "A\n", "A\n", ScriptEncoding::Utf8Bom},
        {"CP949", "// " + kHangulCp949 + "\n", "// " + kHangul + "\n", ScriptEncoding::Cp949},
        {"one line of each", kHangul + "\n" + kHangulCp949 + "\n", kHangul + "\n" + kHangul + "\n",
         ScriptEncoding::Cp949},
        // One stray byte no longer turns the valid UTF-8 of other lines into CP949 garbage.
        {"a Latin-1 byte", "// caf\xE9\n// " + kHangul + "\n", "// caf\xE9\n// " + kHangul + "\n",
         ScriptEncoding::Cp949},
        {"a code iconv reads as nothing", "\xA2\xE8\n", "\xA2\xE8\n", ScriptEncoding::Cp949},
        {"overlong form", "\xC0\xAF\n", "\xEC\x9C\xA0\n", ScriptEncoding::Cp949},
        {"surrogate", "\xED\xA0\x80\n", "\xED\xA0\x80\n", ScriptEncoding::Cp949},
        {"cut sequence at the end", "A\n\xED\x95", "A\n\xED\x95", ScriptEncoding::Cp949},
        {"last line without a line feed", "A\n" + kHangulCp949, "A\n" + kHangul,
         ScriptEncoding::Cp949},
        {"byte order mark and a CP949 line", kBom + kHangulCp949 + "\n", kHangul + "\n",
         ScriptEncoding::Cp949},
    };
    for (const Case& c : cases) {
        const tsl::DecodedScript decoded = tsl::DecodeScript(c.bytes);
        EXPECT_EQ(decoded.text, c.text) << c.name;
        EXPECT_EQ(decoded.encoding, c.encoding) << c.name;
    }
}

TEST(ScriptEncodingTest, EncodingKeepsStrayBytesAndFindsTheFirstCharacterThatDoesNotFit)
{
    struct Case
    {
        const char* name;
        std::string text;
        ScriptEncoding encoding;
        std::string bytes;
        std::ptrdiff_t unencodable;
    };
    const Case cases[] = {
        {"UTF-8", "A" + kHangul + "\n", ScriptEncoding::Utf8, "A" + kHangul + "\n", -1},
        {"byte order mark", "A\n", ScriptEncoding::Utf8Bom, kBom + "A\n", -1},
        {"CP949", "// " + kHangul + " \xE2\x82\xAC\n", ScriptEncoding::Cp949,
         "// " + kHangulCp949 + " \xA2\xE6\n", -1},
        {"stray byte", "\xFF" + kHangul + "\xE9\n", ScriptEncoding::Cp949,
         "\xFF" + kHangulCp949 + "\xE9\n", -1},
        {"emoji", "A\n\xF0\x9F\x98\x80", ScriptEncoding::Cp949, "", 2},
        {"n with tilde after Hangul", "AB\n" + kHangul + "\xC3\xB1", ScriptEncoding::Cp949, "", 9},
    };
    for (const Case& c : cases) {
        const tsl::EncodedScript encoded = tsl::EncodeScript(c.text, c.encoding);
        EXPECT_EQ(encoded.bytes, c.bytes) << c.name;
        EXPECT_EQ(encoded.nUnencodable, c.unencodable) << c.name;
    }
}

TEST(ScriptEncodingTest, EveryCp949CharacterComesBackAsTheSameBytes)
{
    int characters = 0;
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
        for (int trail = 0x41; trail <= 0xFE; ++trail) {
            const std::string bytes{static_cast<char>(lead), static_cast<char>(trail), '\n'};
            const tsl::DecodedScript decoded = tsl::DecodeScript(bytes);
            if (decoded.text == bytes)
                continue; // not a CP949 character, or one iconv cannot map back: kept as it is
            ++characters;
            ASSERT_TRUE(tsl::IsValidUtf8(decoded.text)) << std::hex << lead << ' ' << trail;
            EXPECT_EQ(tsl::EncodeScript(decoded.text, decoded.encoding).bytes, bytes)
                << std::hex << lead << ' ' << trail;
        }
    }
    // KS X 1001 and the extended Hangul of CP949, less the pairs that are UTF-8 as well.
    EXPECT_GT(characters, 16000);
}
