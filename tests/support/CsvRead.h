#pragma once

#include <QByteArray>
#include <QStringList>

#include <utility>
#include <vector>

// Reads UTF-8 CSV as RFC 4180 writes it: rows end in CR LF, a quoted cell may hold commas,
// quotes (doubled) and line ends. A last row without its CR LF is kept; *whole, when given,
// says whether every row ended and no quote was left open.
inline std::vector<QStringList> ReadCsv(const QByteArray& bytes, bool* whole = nullptr)
{
    const QString text = QString::fromUtf8(bytes);
    std::vector<QStringList> rows;
    QStringList row;
    QString cell;
    bool quoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == u'"' && i + 1 < text.size() && text[i + 1] == u'"')
                cell += text[++i];
            else if (c == u'"')
                quoted = false;
            else
                cell += c;
        } else if (c == u'"') {
            quoted = true;
        } else if (c == u',') {
            row << std::exchange(cell, {});
        } else if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') {
            row << std::exchange(cell, {});
            rows.push_back(std::exchange(row, {}));
            ++i;
        } else {
            cell += c;
        }
    }
    const bool ended = cell.isEmpty() && row.isEmpty();
    if (whole != nullptr)
        *whole = ended && !quoted;
    if (!ended)
        rows.push_back(row << cell);
    return rows;
}
