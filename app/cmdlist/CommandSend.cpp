#include "CommandSend.h"

#include "CSendTarget.h"
#include "CommandTranslate.h"

SendOutcome SendCommandText(CSendTarget& target, const QString& text)
{
    const std::optional<QByteArray> bytes = TranslateCommandText(text);
    if (!bytes)
        return SendOutcome::BadNotation;
    if (!target.IsOnline())
        return SendOutcome::Offline;
    if (!bytes->isEmpty())
        target.SendTranslated(*bytes);
    return SendOutcome::Sent;
}
