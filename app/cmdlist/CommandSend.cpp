#include "CommandSend.h"

#include "CSendTarget.h"
#include "CharacterAt.h"
#include "CommandTranslate.h"

SendResult SendCommandText(CSendTarget& target, const QString& text)
{
    const QByteArray utf8 = text.toUtf8();
    const tsl::EncodedText encoded =
        tsl::EncodeText(std::string_view(utf8.constData(), size_t(utf8.size())), target.Codec());
    if (encoded.nUnencodable >= 0)
        return {SendOutcome::Unencodable, CharacterAt(utf8, encoded.nUnencodable)};
    const std::optional<QByteArray> bytes =
        TranslateCommandText(QByteArray::fromStdString(encoded.bytes));
    if (!bytes)
        return {SendOutcome::BadNotation, {}};
    if (!target.IsOnline())
        return {SendOutcome::Offline, {}};
    if (!bytes->isEmpty())
        target.SendTranslated(*bytes);
    return {};
}
