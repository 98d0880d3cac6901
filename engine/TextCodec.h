#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// How text becomes bytes for a link, one rule for the whole program: a command row, a typed key
// and a script's file all send a character as the same bytes of the encoding they are given.
// Devices from Korean benches speak CP949; others UTF-8 or Latin-1.
namespace tsl {

enum class TextCodec : std::uint8_t
{
    Utf8,
    Cp949,
    Latin1,
};

struct EncodedText
{
    std::string bytes;
    // Byte offset into the text of the first character the codec cannot hold, -1 when it holds
    // them all. The bytes are empty then: a text goes out whole or not at all.
    std::ptrdiff_t nUnencodable = -1;
};

// The codec's name as messages give it: "UTF-8", "CP949", "Latin-1".
const char* CodecName(TextCodec codec);

// Encodes UTF-8 text. Bytes that are not UTF-8 (kept from a file neither encoding read) go as
// they are.
EncodedText EncodeText(std::string_view utf8, TextCodec codec);

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF, no cut sequence.
bool IsValidUtf8(std::string_view bytes);

// Decodes CP949 bytes to UTF-8; a byte that is not CP949 either is kept as it is.
std::string Cp949ToUtf8(std::string_view bytes);

} // namespace tsl
