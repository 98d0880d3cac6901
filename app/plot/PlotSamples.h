#pragma once

#include "PlotParser.h"

#include <QDateTime>
#include <QList>
#include <QPointF>
#include <QStringList>

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

class QIODevice;

// One number of a series: when it came and on which line.
struct PlotSample
{
    double value = 0;
    quint32 ms = 0;  // since the plot started
    quint32 row = 0; // the line's number, counted from 0 over the lines that had numbers
};
static_assert(sizeof(PlotSample) == 16, "a sample is 16 bytes: a full ring is capacity * 16");

// What the x axis counts.
enum class PlotAxis
{
    Time,   // seconds since the plot started
    Sample, // line number
};

// The newest samples of one series, oldest first; the oldest go when it is full. The vector
// grows as samples come, so a slow series holds little.
class PlotRing
{
public:
    explicit PlotRing(std::size_t capacity) : m_nCapacity(capacity) {}

    void Append(const PlotSample& sample);
    std::size_t Size() const { return m_samples.size(); }
    const PlotSample& At(std::size_t i) const
    {
        const std::size_t at = m_nFirst + i;
        return m_samples[at < m_samples.size() ? at : at - m_samples.size()];
    }
    const PlotSample& Last() const { return At(Size() - 1); }
    // Index of the first sample at x or after it on the axis; Size() when none.
    std::size_t LowerBound(double x, PlotAxis axis) const;
    // Index of the first sample after x.
    std::size_t UpperBound(double x, PlotAxis axis) const;

private:
    std::vector<PlotSample> m_samples;
    std::size_t m_nFirst = 0; // where the oldest is once the ring is full
    std::size_t m_nCapacity;
};

inline double PlotX(const PlotSample& sample, PlotAxis axis)
{
    return axis == PlotAxis::Time ? sample.ms / 1000.0 : double(sample.row);
}

// The plotted samples, one bounded ring per series (at most PlotParser::kMaxSeries): what the
// chart draws and what is exported.
class PlotSamples
{
public:
    // 262,144 samples of 16 bytes: 4 MiB for a full series, 64 MiB for sixteen.
    static constexpr std::size_t kDefaultCapacity = std::size_t(1) << 18;
    // Time and line numbers are 32 bits: past this the plot starts again (49 days at 1 kHz).
    static constexpr quint32 kLastRow = UINT32_MAX - 1;
    static constexpr quint32 kLastMs = UINT32_MAX - 1;

    explicit PlotSamples(std::size_t capacity = kDefaultCapacity) : m_nCapacity(capacity) {}

    std::size_t Capacity() const { return m_nCapacity; }
    // One line's numbers, which came ms after the start. The caller starts anew (Clear) before
    // the row or the time would pass their last value.
    void AddRow(quint32 ms, std::span<const PlotValue> values);
    void Clear();

    int SeriesCount() const { return int(m_series.size()); }
    const PlotRing& Series(int series) const { return m_series[std::size_t(series)]; }
    // Lines taken since the last Clear.
    quint64 Rows() const { return m_nRows; }
    bool IsEmpty() const { return m_nRows == 0; }
    quint32 LastMs() const { return m_nLastMs; }
    // The last row's number; only when not empty.
    quint32 LastRow() const { return quint32(m_nRows - 1); }

    // The points of a series between x0 and x1 to draw across `buckets` columns, with the sample
    // just outside each end so the line reaches the edges. Where more than two samples fall into
    // a column, it keeps the lowest and the highest in the order they came, so no peak is lost.
    // *low and *high widen to the values inside the range.
    void Points(int series, PlotAxis axis, double x0, double x1, int buckets, QList<QPointF>& out,
                double* low, double* high) const;

    // Every row held, oldest first, as CSV (RFC 4180, UTF-8): "sample", "seconds" since the
    // start, "time" (local, ISO 8601 with milliseconds from start), then a column per series
    // named by names; a series without a number on a row leaves its cell empty. False when the
    // device took not all of it.
    bool WriteCsv(QIODevice& device, const QStringList& names, const QDateTime& start) const;

private:
    std::size_t m_nCapacity;
    std::vector<PlotRing> m_series;
    quint64 m_nRows = 0;
    quint32 m_nLastMs = 0;
};

// A CSV cell: quoted when it holds a comma, a quote or a line end; a text a spreadsheet would
// read as a formula starts with an apostrophe.
QString CsvCell(const QString& text);
