#pragma once

#include <QMetaType>
#include <QString>

class CSendTarget;

enum class SendOutcome
{
    Sent,        // the bytes went to the link (or the text was empty)
    Offline,     // the target's link is down: nothing was sent, echoed or counted
    BadNotation, // the text's control-code notation is wrong: nothing was sent
    Unencodable, // the link's encoding cannot hold a character of the text: nothing was sent
};

struct SendResult
{
    SendOutcome outcome = SendOutcome::Sent;
    QString character; // the character the link's encoding cannot hold
};

Q_DECLARE_METATYPE(SendResult)

// Encodes a transmit text in the target link's encoding, translates its control codes and
// checksum tokens (TranslateCommandText) and sends the bytes on the link.
SendResult SendCommandText(CSendTarget& target, const QString& text);
