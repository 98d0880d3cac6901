#include "ScriptEncoding.h"

namespace tsl {

std::string ScriptTextAsUtf8(std::string_view bytes)
{
    return IsValidUtf8(bytes) ? std::string(bytes) : Cp949ToUtf8(bytes);
}

DecodedScript DecodeScript(std::string_view bytes)
{
    const bool bom = bytes.starts_with(kUtf8ByteOrderMark);
    if (bom)
        bytes.remove_prefix(kUtf8ByteOrderMark.size());

    DecodedScript result;
    result.text.reserve(bytes.size());
    bool anyCp949 = false;
    size_t start = 0;
    while (start < bytes.size()) {
        const size_t feed = bytes.find('\n', start);
        const size_t end = feed == std::string_view::npos ? bytes.size() : feed + 1;
        const std::string_view line = bytes.substr(start, end - start);
        if (IsValidUtf8(line)) {
            result.text.append(line);
        } else {
            anyCp949 = true;
            result.text += Cp949ToUtf8(line);
        }
        start = end;
    }
    result.encoding = anyCp949 ? ScriptEncoding::Cp949
                      : bom    ? ScriptEncoding::Utf8Bom
                               : ScriptEncoding::Utf8;
    return result;
}

EncodedScript EncodeScript(std::string_view text, ScriptEncoding encoding)
{
    EncodedScript result =
        EncodeText(text, encoding == ScriptEncoding::Cp949 ? TextCodec::Cp949 : TextCodec::Utf8);
    if (encoding == ScriptEncoding::Utf8Bom)
        result.bytes.insert(0, kUtf8ByteOrderMark);
    return result;
}

} // namespace tsl
