#pragma once

#include "CsvRead.h"
#include "PlotSamples.h"

#include <QByteArray>
#include <QStringList>

#include <map>
#include <optional>
#include <vector>

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
