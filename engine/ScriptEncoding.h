#pragma once

#include "TextCodec.h"

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

// The bytes of a file, or the offset of the first character its encoding cannot hold.
using EncodedScript = EncodedText;

// Encodes UTF-8 text (as DecodeScript gives it, line ends untouched) for a file. Bytes that
// are not UTF-8 were kept from a file that neither encoding read, and go back unchanged.
EncodedScript EncodeScript(std::string_view text, ScriptEncoding encoding);

// Script text, kept as the bytes of its file, as UTF-8 for a person to read or for a name
// other programs share: as it is when it is UTF-8, else read as CP949.
std::string ScriptTextAsUtf8(std::string_view bytes);

} // namespace tsl
