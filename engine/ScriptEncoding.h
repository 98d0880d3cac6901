#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// How a TSL file's bytes become text and back, shared by the engine's reader and the script
// editor so both read a file the same way. Scripts come as UTF-8 or, from older Windows
// benches, as CP949; one file may hold both when lines were pasted in from elsewhere.
namespace tsl {

inline constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

// The encoding a file is saved in.
enum class ScriptEncoding
{
    Utf8,
    Utf8Bom, // UTF-8 that started with a byte order mark, which saving puts back
    Cp949,
};

struct DecodedScript
{
    // UTF-8. A byte that neither encoding can read is kept as it is, so nothing is lost.
    std::string text;
    ScriptEncoding encoding = ScriptEncoding::Utf8;
};

// Decodes a file line by line: a line that is valid UTF-8 is UTF-8, any other line CP949; a
// leading UTF-8 byte order mark is dropped. The file is to be saved as CP949 when any of its
// lines was CP949, else as UTF-8.
DecodedScript DecodeScript(std::string_view bytes);

struct EncodedScript
{
    std::string bytes;
    // Byte offset into the text of the first character the encoding cannot hold, -1 when it
    // holds them all. The bytes are empty then.
    std::ptrdiff_t nUnencodable = -1;
};

// Encodes UTF-8 text (as DecodeScript gives it, line ends untouched) for a file. Bytes that
// are not UTF-8 were kept from a file that neither encoding read, and go back unchanged.
EncodedScript EncodeScript(std::string_view text, ScriptEncoding encoding);

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF, no cut sequence.
bool IsValidUtf8(std::string_view bytes);

// Decodes CP949 bytes to UTF-8; a byte that is not CP949 either is kept as it is.
std::string Cp949ToUtf8(std::string_view bytes);

// Script text, kept as the bytes of its file, as UTF-8 for a person to read or for a name
// other programs share: as it is when it is UTF-8, else read as CP949.
std::string ScriptTextAsUtf8(std::string_view bytes);

} // namespace tsl
