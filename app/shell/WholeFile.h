#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// What reading a whole file gave: its bytes, or why not. A command file and its side file are
// read this way, so neither a FIFO, a device nor a file that grows can hold the window.
struct WholeFileRead
{
    std::optional<QByteArray> data;
    bool missing = false; // there is no such file
    bool regular = false; // a regular file that opened, whether or not it read
    QString reason;       // why there are no bytes
};

// The bytes of the file at path when it is a regular file of at most limitBytes. A FIFO is not
// waited for and a device not read: both are refused, as is a file larger than the limit.
WholeFileRead ReadWholeFile(const QString& path, qint64 limitBytes);

// Writes bytes through a temporary file that replaces path only once it is complete, so a
// failed write leaves the old file as it was.
bool WriteWholeFile(const QString& path, const QByteArray& bytes);
