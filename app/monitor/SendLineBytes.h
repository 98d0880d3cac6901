#pragma once

#include "TextCodec.h"

#include <QByteArray>
#include <QString>

// How a send line's text is read: as a transmit text (control codes "<0D>", "<<" and ">>",
// checksum tokens "<CRC16>") in the link's encoding, or as hexadecimal pairs ("0D 0A 41",
// spaces optional between pairs), which take the checksum tokens too.
enum class SendLineMode
{
    Text = 0,
    Hex = 1
};

// What Enter appends to the line.
enum class LineEnding
{
    None = 0,
    Cr = 1,
    Lf = 2,
    CrLf = 3
};

QByteArray LineEndingBytes(LineEnding ending);

// The bytes one Enter sends, or why there are none.
struct SendLineBytes
{
    enum class Fault
    {
        None,
        Notation,    // a control code or token of a text is malformed
        Unencodable, // the link's encoding cannot hold a character
        Hex,         // not a hexadecimal pair (or a token) in hex entry
    };
    QByteArray bytes; // the line and its ending; empty on a fault
    Fault fault = Fault::None;
    int nColumn = 0;   // 1-based character where the fault starts
    QString character; // the character at that column
};

SendLineBytes MakeSendLineBytes(const QString& line, SendLineMode mode, LineEnding ending,
                                tsl::TextCodec codec);
