#pragma once

#include <QString>

class CSendTarget;

enum class SendOutcome
{
    Sent,        // the bytes went to the link (or the text was empty)
    Offline,     // the target's link is down: nothing was sent, echoed or counted
    BadNotation, // the text's control-code notation is wrong: nothing was sent
};

// Translates a transmit text and sends its bytes on the target's link.
SendOutcome SendCommandText(CSendTarget& target, const QString& text);
