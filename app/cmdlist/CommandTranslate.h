#pragma once

#include "TextCodec.h"

#include <QByteArray>
#include <QString>

// What a transmit text stands for on a link: its characters in the link's encoding, then its
// control codes ("AT<0D><0A>", "<<" and ">>" for the brackets) and checksum tokens ("<CRC16>"
// appends the checksum of every byte before it) translated. A command row and a monitor's send
// line both go through here.
struct CommandBytes
{
    QByteArray bytes;
    bool bMalformed = false;   // the notation is wrong: no bytes
    bool bUnencodable = false; // the encoding cannot hold a character: no bytes
    QString character;         // the first such character
};

CommandBytes TranslateCommandText(const QString& text, tsl::TextCodec codec);
