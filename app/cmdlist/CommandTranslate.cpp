#include "CommandTranslate.h"

#include "CharacterAt.h"
#include "TransmitText.h"

CommandBytes TranslateCommandText(const QString& text, tsl::TextCodec codec)
{
    const QByteArray utf8 = text.toUtf8();
    const tsl::TransmitBytes translated =
        tsl::EncodeTransmitText(std::string_view(utf8.constData(), size_t(utf8.size())), codec);
    CommandBytes result;
    result.bUnencodable = translated.nUnencodable >= 0;
    if (result.bUnencodable)
        result.character = CharacterAt(utf8, translated.nUnencodable);
    result.bMalformed = translated.bMalformed;
    result.bytes = QByteArray::fromStdString(translated.bytes);
    return result;
}
