#include "LinkText.h"

tsl::TextCodec SendCodec(TextEncoding encoding)
{
    switch (encoding) {
    case TextEncoding::Cp949:
        return tsl::TextCodec::Cp949;
    case TextEncoding::Latin1:
        return tsl::TextCodec::Latin1;
    case TextEncoding::Auto:
    case TextEncoding::Utf8:
        break;
    }
    return tsl::TextCodec::Utf8;
}

tsl::EncodedText LinkText(const QString& text, TextEncoding encoding)
{
    const QByteArray utf8 = text.toUtf8();
    return tsl::EncodeText(std::string_view(utf8.constData(), size_t(utf8.size())),
                           SendCodec(encoding));
}
