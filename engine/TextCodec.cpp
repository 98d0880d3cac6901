#include "TextCodec.h"

#include <cerrno>
#include <iconv.h>

namespace tsl {
namespace {

constexpr size_t kIconvFailed = static_cast<size_t>(-1);

// One iconv conversion, opened once for many calls.
class Converter
{
public:
    Converter(const char* to, const char* from) : m_cd(iconv_open(to, from)) {}
    ~Converter()
    {
        if (IsOpen())
            iconv_close(m_cd);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // False when the system has no such conversion.
    bool IsOpen() const { return m_cd != reinterpret_cast<iconv_t>(-1); }

    // Appends the conversion of in to out and returns the bytes of in it took: all of them, or
    // up to the first sequence it cannot read or cannot write.
    size_t Convert(std::string_view in, std::string& out)
    {
        iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
        // iconv's interface is not const-correct; it never writes through the input pointer.
        char* src = const_cast<char*>(in.data());
        size_t srcLeft = in.size();
        while (srcLeft > 0) {
            const size_t used = out.size();
            const size_t room = srcLeft * 2 + 16;
            out.resize(used + room);
            char* dst = out.data() + used;
            size_t dstLeft = room;
            const size_t rc = iconv(m_cd, &src, &srcLeft, &dst, &dstLeft);
            out.resize(used + room - dstLeft);
            if (rc != kIconvFailed || errno != E2BIG)
                break; // done, or EILSEQ / EINVAL: the caller decides about that sequence
        }
        return in.size() - srcLeft;
    }

private:
    iconv_t m_cd;
};

// Length of the valid UTF-8 sequence that starts at i, or 0 when the bytes there are none.
size_t Utf8SequenceLength(std::string_view s, size_t i)
{
    const auto byte = [s](size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char lead = byte(i);
    if (lead < 0x80)
        return 1;
    size_t length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0)
            low = 0xA0; // overlong below
        else if (lead == 0xED)
            high = 0x9F; // surrogates above
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0)
            low = 0x90; // overlong below
        else if (lead == 0xF4)
            high = 0x8F; // beyond U+10FFFF above
    } else {
        return 0;
    }
    if (i + length > s.size() || byte(i + 1) < low || byte(i + 1) > high)
        return 0;
    for (size_t k = 2; k < length; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80)
            return 0;
    }
    return length;
}

// CP949 both ways, opened once for each thread that needs it: iconv's state is the caller's.
struct Cp949
{
    Converter decoder{"UTF-8", "CP949"};
    Converter encoder{"CP949", "UTF-8"};
};

Cp949& ThreadCp949()
{
    thread_local Cp949 cp949;
    return cp949;
}

// Appends the Latin-1 form of UTF-8 text to out. Bytes that are not UTF-8 go as they are. False
// when a character is above U+00FF; unencodable is then its offset in text.
bool EncodeLatin1(std::string_view text, std::string& out, size_t& unencodable)
{
    size_t i = 0;
    while (i < text.size()) {
        const unsigned char lead = static_cast<unsigned char>(text[i]);
        const size_t length = lead < 0x80 ? 1 : Utf8SequenceLength(text, i);
        if (length == 1 || length == 0) {
            out += text[i++]; // ASCII, or a byte that is not UTF-8, as it is
            continue;
        }
        if (length != 2 || lead > 0xC3) {
            unencodable = i;
            return false;
        }
        out += static_cast<char>(((lead & 0x03) << 6) |
                                 (static_cast<unsigned char>(text[i + 1]) & 0x3F));
        i += length;
    }
    return true;
}

// Appends the CP949 form of UTF-8 text to out. Bytes that are not UTF-8 go as they are. False
// when a character has no CP949 form; unencodable is then its offset in text.
bool EncodeCp949(Converter& encoder, std::string_view text, std::string& out, size_t& unencodable)
{
    const auto isAscii = [text](size_t k) { return static_cast<unsigned char>(text[k]) < 0x80; };
    size_t i = 0;
    while (i < text.size()) {
        size_t end = i;
        while (end < text.size() && isAscii(end))
            ++end;
        out.append(text.substr(i, end - i)); // the same in both encodings
        i = end;
        while (end < text.size() && !isAscii(end)) {
            const size_t length = Utf8SequenceLength(text, end);
            if (length == 0)
                break;
            end += length;
        }
        if (end > i) {
            const size_t done =
                encoder.IsOpen() ? encoder.Convert(text.substr(i, end - i), out) : 0;
            if (done < end - i) {
                unencodable = i + done;
                return false;
            }
            i = end;
        } else if (i < text.size()) {
            out += text[i++]; // not UTF-8: a byte kept from a file as it was
        }
    }
    return true;
}

// Whether UTF-8 text encodes back to exactly the CP949 bytes it came from.
bool ComesBack(Converter& encoder, std::string_view text, std::string_view bytes)
{
    std::string back;
    size_t unencodable = 0;
    return EncodeCp949(encoder, text, back, unencodable) && back == bytes;
}

// Decodes CP949 bytes to UTF-8 one character at a time; a character that does not decode, or
// would not come back as the same bytes, is kept as its bytes.
void DecodeCp949ByCharacter(Cp949& cp949, std::string_view bytes, std::string& out)
{
    size_t i = 0;
    while (i < bytes.size()) {
        const unsigned char lead = static_cast<unsigned char>(bytes[i]);
        if (lead >= 0x81 && lead <= 0xFE && i + 1 < bytes.size()) {
            const std::string_view pair = bytes.substr(i, 2);
            std::string character;
            if (cp949.decoder.Convert(pair, character) == pair.size() && !character.empty() &&
                ComesBack(cp949.encoder, character, pair)) {
                out += character;
                i += pair.size();
                continue;
            }
        }
        out += bytes[i++];
    }
}

// Decodes CP949 bytes to UTF-8, keeping as they are bytes that are not CP949. iconv maps a few
// codes one way only (some to nothing at all), so the result is checked against the bytes and
// made character by character when it does not match.
void AppendCp949(Cp949& cp949, std::string_view bytes, std::string& out)
{
    if (!cp949.decoder.IsOpen() || !cp949.encoder.IsOpen()) {
        out.append(bytes);
        return;
    }
    const size_t start = out.size();
    size_t i = 0;
    while (i < bytes.size()) {
        i += cp949.decoder.Convert(bytes.substr(i), out);
        if (i < bytes.size())
            out += bytes[i++]; // not CP949 either: kept as it is
    }
    if (ComesBack(cp949.encoder, std::string_view(out).substr(start), bytes))
        return;
    out.resize(start);
    DecodeCp949ByCharacter(cp949, bytes, out);
}

} // namespace

bool IsValidUtf8(std::string_view bytes)
{
    size_t i = 0;
    while (i < bytes.size()) {
        const size_t length = Utf8SequenceLength(bytes, i);
        if (length == 0)
            return false;
        i += length;
    }
    return true;
}

std::string Cp949ToUtf8(std::string_view bytes)
{
    std::string out;
    AppendCp949(ThreadCp949(), bytes, out);
    return out;
}

const char* CodecName(TextCodec codec)
{
    switch (codec) {
    case TextCodec::Cp949:
        return "CP949";
    case TextCodec::Latin1:
        return "Latin-1";
    case TextCodec::Utf8:
        break;
    }
    return "UTF-8";
}

EncodedText EncodeText(std::string_view utf8, TextCodec codec)
{
    EncodedText result;
    size_t unencodable = 0;
    bool ok = true;
    switch (codec) {
    case TextCodec::Utf8:
        result.bytes = utf8;
        break;
    case TextCodec::Cp949:
        result.bytes.reserve(utf8.size());
        ok = EncodeCp949(ThreadCp949().encoder, utf8, result.bytes, unencodable);
        break;
    case TextCodec::Latin1:
        result.bytes.reserve(utf8.size());
        ok = EncodeLatin1(utf8, result.bytes, unencodable);
        break;
    }
    if (!ok) {
        result.bytes.clear();
        result.nUnencodable = static_cast<std::ptrdiff_t>(unencodable);
    }
    return result;
}

} // namespace tsl
