#include "Cp949.h"

#include "TextCodec.h"

#include <algorithm>
#include <iconv.h>

namespace {

// Converts all of input with iconv; nothing when a sequence has no counterpart or is cut.
std::optional<QByteArray> Decode(const QByteArray& input)
{
    if (input.isEmpty())
        return QByteArray();
    iconv_t cd = iconv_open("UTF-8", "CP949");
    if (cd == reinterpret_cast<iconv_t>(-1))
        return std::nullopt;
    // Four output bytes for each input byte hold any UTF-8 form of CP949.
    QByteArray output(input.size() * 4, '\0');
    char* in = const_cast<char*>(input.constData());
    size_t inLeft = static_cast<size_t>(input.size());
    char* out = output.data();
    size_t outLeft = static_cast<size_t>(output.size());
    const size_t converted = iconv(cd, &in, &inLeft, &out, &outLeft);
    // Flush any shift state; neither encoding has one, but iconv asks for it.
    const size_t flushed = iconv(cd, nullptr, nullptr, &out, &outLeft);
    iconv_close(cd);
    if (converted == static_cast<size_t>(-1) || flushed == static_cast<size_t>(-1) || inLeft != 0)
        return std::nullopt;
    output.truncate(output.size() - static_cast<qsizetype>(outLeft));
    return output;
}

// ASCII is the same in both; most command texts are nothing else and skip the converter.
bool IsAscii(QByteArrayView bytes)
{
    return std::all_of(bytes.begin(), bytes.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

} // namespace

std::optional<QByteArray> EncodeCp949(const QString& text)
{
    const QByteArray utf8 = text.toUtf8();
    const tsl::EncodedText encoded = tsl::EncodeText(
        std::string_view(utf8.constData(), size_t(utf8.size())), tsl::TextCodec::Cp949);
    if (encoded.nUnencodable >= 0)
        return std::nullopt;
    return QByteArray::fromStdString(encoded.bytes);
}

std::optional<QString> DecodeCp949(const QByteArray& bytes)
{
    if (IsAscii(bytes))
        return QString::fromLatin1(bytes);
    const std::optional<QByteArray> utf8 = Decode(bytes);
    if (!utf8)
        return std::nullopt;
    return QString::fromUtf8(*utf8);
}
