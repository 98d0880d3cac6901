#pragma once

#include "PlotSamples.h"

#include <QByteArray>
#include <QStringList>

#include <map>
#include <optional>
#include <vector>

// Reads CSV as RFC 4180 writes it: rows end in CR LF, a quoted cell may hold commas, quotes
// (doubled) and line ends.
inline std::vector<QStringList> ReadCsv(const QByteArray& bytes)
{
    const QString text = QString::fromUtf8(bytes);
    std::vector<QStringList> rows;
    QStringList row;
    QString cell;
    bool quoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == u'"' && i + 1 < text.size() && text[i + 1] == u'"') {
                cell += c;
                ++i;
            } else if (c == u'"') {
                quoted = false;
            } else {
                cell += c;
            }
        } else if (c == u'"') {
            quoted = true;
        } else if (c == u',') {
            row << cell;
            cell.clear();
        } else if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') {
            row << cell;
            cell.clear();
            rows.push_back(row);
            row.clear();
            ++i;
        } else {
            cell += c;
        }
    }
    if (!cell.isEmpty() || !row.isEmpty())
        rows.push_back(row << cell);
    return rows;
}

// A held row: its time and each series' number, if it had one.
struct HeldRow
{
    quint32 ms = 0;
    std::vector<std::optional<double>> values;

    bool operator==(const HeldRow&) const = default;
};

// The rows the samples hold, by line number.
inline std::map<quint32, HeldRow> HeldRows(const PlotSamples& samples)
{
    std::map<quint32, HeldRow> rows;
    for (int series = 0; series < samples.SeriesCount(); ++series) {
        const PlotRing& ring = samples.Series(series);
        for (std::size_t i = 0; i < ring.Size(); ++i) {
            HeldRow& row = rows[ring.At(i).row];
            row.ms = ring.At(i).ms;
            row.values.resize(std::size_t(samples.SeriesCount()));
            row.values[std::size_t(series)] = ring.At(i).value;
        }
    }
    return rows;
}

// The rows of an exported CSV read back the same way; the header goes to *header.
inline std::map<quint32, HeldRow> CsvRows(const QByteArray& bytes, QStringList* header)
{
    std::map<quint32, HeldRow> rows;
    std::vector<QStringList> cells = ReadCsv(bytes);
    if (cells.empty())
        return rows;
    *header = cells.front();
    for (std::size_t r = 1; r < cells.size(); ++r) {
        const QStringList& line = cells[r];
        HeldRow row;
        row.ms = quint32(qRound64(line.value(1).toDouble() * 1000));
        for (qsizetype c = 3; c < line.size(); ++c) {
            row.values.push_back(line[c].isEmpty() ? std::nullopt
                                                   : std::optional<double>(line[c].toDouble()));
        }
        rows[line.value(0).toUInt()] = row;
    }
    return rows;
}
