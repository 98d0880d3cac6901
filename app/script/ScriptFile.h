#pragma once

#include "ScriptEncoding.h"

#include <QByteArray>
#include <QString>

// A script file as the editor holds it: UTF-8 text with LF line ends, and the encoding the
// file is saved in.
struct ScriptFileText
{
    QByteArray text;
    tsl::ScriptEncoding encoding = tsl::ScriptEncoding::Utf8;
};

// Reads the script file at path: CR LF line ends become LF, and its lines are decoded as the
// engine decodes them. False, with the system's reason in error, when it cannot be read.
bool ReadScriptFile(const QString& path, ScriptFileText& file, QString& error);

// The bytes of a script file: text in the encoding, every LF written as CR LF. When the
// encoding cannot hold a character, nUnencodable is its byte offset in the text.
tsl::EncodedScript EncodeScriptFile(const ScriptFileText& file);

// The character of UTF-8 text at a byte offset that an encoding could not hold: its 1-based
// line and the character itself, for a message that points the user at it.
struct UnencodableCharacter
{
    qsizetype line = 0;
    QString character;
};
UnencodableCharacter UnencodableAt(const QByteArray& text, qsizetype offset);

// Writes bytes to path through a temporary file renamed over the old one, so a full disk or a
// crash never leaves half a script. False, with the system's reason in error, when the file was
// not written; the old file is then as it was.
bool WriteScriptFile(const QString& path, const QByteArray& bytes, QString& error);
