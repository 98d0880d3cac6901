#pragma once

#include <QByteArray>
#include <QString>

// The character that starts at a byte offset of UTF-8 text: the one an encoding could not hold,
// for a message that names it.
QString CharacterAt(const QByteArray& utf8, qsizetype offset);
