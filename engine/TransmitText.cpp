#include "TransmitText.h"

#include "Checksums.h"
#include "ControlCodes.h"

#include <climits>
#include <cstring>

namespace tsl {

int TranslateTransmitText(const char* source, unsigned char* dest, int length)
{
    // Walks the text by the steps of TranslateString to find the tokens: one stands only where
    // a code would open, which the plain notation refuses. The stretches between them go to
    // TranslateString itself, which finds every fault as it would in the whole text.
    int written = 0;
    int stretch = 0;
    bool inCode = false;
    for (int i = 0; i < length; ++i) {
        const char c = source[i];
        const char next = i + 1 < length ? source[i + 1] : '\0';
        if (c == '<' && next == '<') {
            ++i;
        } else if (inCode) {
            inCode = c != '>';
        } else if (c == '>') {
            if (next == '>')
                ++i;
        } else if (c == '<') {
            const ChecksumToken* token = ChecksumTokenAt(
                std::string_view(source + i + 1, static_cast<size_t>(length - i - 1)));
            if (token == nullptr) {
                inCode = true;
                continue;
            }
            const int n = TranslateString(source + stretch, dest + written, i - stretch);
            if (n < 0)
                return -1;
            written += n;
            written += WriteChecksum(*token, dest, static_cast<size_t>(written));
            i += static_cast<int>(std::strlen(token->name)) + 1; // on its '>'
            stretch = i + 1;
        }
    }
    const int n = TranslateString(source + stretch, dest + written, length - stretch);
    return n < 0 ? -1 : written + n;
}

TransmitBytes EncodeTransmitText(std::string_view utf8, TextCodec codec)
{
    TransmitBytes result;
    EncodedText encoded = EncodeText(utf8, codec);
    if (encoded.nUnencodable >= 0) {
        result.nUnencodable = encoded.nUnencodable;
        return result;
    }
    if (encoded.bytes.size() > static_cast<size_t>(INT_MAX)) {
        result.bMalformed = true;
        return result;
    }
    const int length = static_cast<int>(encoded.bytes.size());
    result.bytes.resize(encoded.bytes.size());
    const int n = TranslateTransmitText(
        encoded.bytes.data(), reinterpret_cast<unsigned char*>(result.bytes.data()), length);
    if (n < 0) {
        result.bytes.clear();
        result.bMalformed = true;
        return result;
    }
    result.bytes.resize(static_cast<size_t>(n));
    return result;
}

} // namespace tsl
