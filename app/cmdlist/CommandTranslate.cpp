#include "CommandTranslate.h"

#include "CTSL.h"

std::optional<QByteArray> TranslateCommandText(const QString& text)
{
    const QByteArray source = text.toUtf8();
    // The translation never writes more bytes than its source has.
    QByteArray bytes(source.size(), '\0');
    const int n =
        CTSL::TranslateString(source.constData(), reinterpret_cast<unsigned char*>(bytes.data()),
                              static_cast<int>(source.size()));
    if (n < 0)
        return std::nullopt;
    bytes.truncate(n);
    return bytes;
}
