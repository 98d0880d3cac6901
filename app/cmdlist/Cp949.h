#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// Text of command files is kept in code page 949, as Windows benches write it. Both directions
// are strict: a character or byte sequence without a counterpart gives no result, so nothing
// is mangled on the way. Encoding is the library's one rule of text to bytes.
std::optional<QByteArray> EncodeCp949(const QString& text);
std::optional<QString> DecodeCp949(const QByteArray& bytes);
