#include "CommandSend.h"

#include "CSendTarget.h"
#include "CommandTranslate.h"

SendResult SendCommandText(CSendTarget& target, const QString& text)
{
    const CommandBytes command = TranslateCommandText(text, target.Codec());
    if (command.bUnencodable)
        return {SendOutcome::Unencodable, command.character};
    if (command.bMalformed)
        return {SendOutcome::BadNotation, {}};
    if (!target.IsOnline())
        return {SendOutcome::Offline, {}};
    if (!command.bytes.isEmpty())
        target.SendTranslated(command.bytes);
    return {};
}
