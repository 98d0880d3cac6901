#pragma once

#include <QByteArray>

#include <vector>

// Rows of a repeated send, each starting with its number, so that a reader at the far end can
// tell a row that arrived whole from one cut, glued to another or out of place.
inline QByteArray NumberedRow(int i, int size)
{
    QByteArray row(size, char('a' + i % 26));
    const QByteArray number = QByteArray::number(i).rightJustified(8, '0') + ';';
    row.replace(0, number.size(), number);
    row[size - 1] = '\n';
    return row;
}

inline QByteArray NumberedRows(int first, int count, int size)
{
    QByteArray rows;
    for (int i = first; i < first + count; ++i)
        rows += NumberedRow(i, size);
    return rows;
}

// The numbers of the rows a reader got, in order; -1 for anything that is not a whole row.
inline std::vector<int> WholeRows(const QByteArray& received, int size)
{
    std::vector<int> rows;
    for (qsizetype at = 0; at < received.size(); at += size) {
        const int number = received.mid(at, 8).toInt();
        rows.push_back(received.mid(at, size) == NumberedRow(number, size) ? number : -1);
    }
    return rows;
}
