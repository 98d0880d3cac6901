#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

// One row of the command list as a command file keeps it.
struct CommandRow
{
    QString text;        // the transmit text
    QString description; // the free description

    bool operator==(const CommandRow&) const = default;
};
using CommandRows = QList<CommandRow>;

// A command file (*.TCF): a 32-bit little-endian row count, then for each row the transmit
// text and the description as counted strings in code page 949.

// The rows of a command file's bytes; nothing, with the reason in reason, when the bytes are
// not a whole command file.
std::optional<CommandRows> ParseCommandFile(const QByteArray& data, QString* reason);
// The bytes of a command file of rows; nothing, with the index of the row in badRow, when a
// text holds a character that code page 949 cannot hold.
std::optional<QByteArray> SerializeCommandFile(const CommandRows& rows, int* badRow);

struct CommandFileRead
{
    enum Status
    {
        Loaded,
        CannotOpen,
        Damaged,
    };
    Status status = CannotOpen;
    CommandRows rows;
    QString reason; // why a damaged file is not one, or why the file cannot be read
};
CommandFileRead ReadCommandFile(const QString& path);

struct CommandFileWrite
{
    enum Status
    {
        Saved,
        Unencodable,
        Failed,
    };
    Status status = Failed;
    int badRow = -1; // the row whose text cannot be kept, when Unencodable
};
// A failed save leaves the old file as it was.
CommandFileWrite WriteCommandFile(const QString& path, const CommandRows& rows);
