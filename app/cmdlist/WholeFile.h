#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

class QFile;

// The bytes of a file that is open for reading, when it is no larger than limit and reads
// whole; else nothing, with the reason.
std::optional<QByteArray> ReadWholeFile(QFile& file, qint64 limitBytes, QString& reason);

// Writes bytes through a temporary file that replaces path only once it is complete, so a
// failed write leaves the old file as it was.
bool WriteWholeFile(const QString& path, const QByteArray& bytes);
