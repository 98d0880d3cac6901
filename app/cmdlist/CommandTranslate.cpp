#include "CommandTranslate.h"

#include "CTSL.h"

std::optional<QByteArray> TranslateCommandText(const QByteArray& encoded)
{
    // The translation never writes more bytes than its source has.
    QByteArray bytes(encoded.size(), '\0');
    const int n =
        CTSL::TranslateString(encoded.constData(), reinterpret_cast<unsigned char*>(bytes.data()),
                              static_cast<int>(encoded.size()));
    if (n < 0)
        return std::nullopt;
    bytes.truncate(n);
    return bytes;
}
