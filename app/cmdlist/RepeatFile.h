#pragma once

#include "CommandFile.h"

#include <QList>
#include <QString>

// The repeat periods of a command file's rows live beside it in a side file, NAME.TCF.json, so
// that the command file keeps the format every bench reads. The side file names each row by
// its number and its transmit text; an entry whose row no longer holds that text (the command
// file was changed by a program that knows nothing of the side file) is dropped.
//
//   {"version": 1, "repeats": [{"row": 3, "text": "AT<0D>", "periodMs": 500}]}
//
// Rows are numbered from 1, as their buttons are.

QString RepeatFilePath(const QString& commandFile);

struct RepeatFileRead
{
    enum Status
    {
        Missing,
        Loaded,
        Damaged,
    };
    Status status = Missing;
    QList<int> periods; // one for each row of the command file, 0 for none
    QString reason;     // why a damaged side file is not one
};
// The periods of rows from the side file of commandFile; all 0 unless Loaded.
RepeatFileRead ReadRepeatFile(const QString& commandFile, const CommandRows& rows);

// Writes the side file of commandFile for the rows with a period, or removes it when no row
// has one. False when the file could not be written or removed.
bool WriteRepeatFile(const QString& commandFile, const CommandRows& rows,
                     const QList<int>& periods);

// A period as the grid keeps it: 0 for off, else raised to the floor and held under the
// ceiling.
int BoundedPeriod(qint64 periodMs);
