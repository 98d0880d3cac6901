#include "PlotSamples.h"

#include <QIODevice>

#include <algorithm>
#include <charconv>
#include <cmath>

namespace {

// The CSV goes to the device in pieces of about this size.
constexpr qsizetype kCsvChunkBytes = 64 * 1024;

void AppendNumber(QByteArray& out, double value)
{
    char text[32];
    // The shortest text that reads back as the same double.
    const auto result = std::to_chars(text, text + sizeof text, value);
    out.append(text, result.ptr - text);
}

void AppendSeconds(QByteArray& out, quint32 ms)
{
    out.append(QByteArray::number(ms / 1000));
    out.append('.');
    const quint32 fraction = ms % 1000;
    out.append(char('0' + fraction / 100));
    out.append(char('0' + fraction / 10 % 10));
    out.append(char('0' + fraction % 10));
}

} // namespace

void PlotRing::Append(const PlotSample& sample)
{
    if (m_samples.size() < m_nCapacity) {
        m_samples.push_back(sample);
        return;
    }
    m_samples[m_nFirst] = sample;
    m_nFirst = m_nFirst + 1 == m_samples.size() ? 0 : m_nFirst + 1;
}

std::size_t PlotRing::LowerBound(double x, PlotAxis axis) const
{
    std::size_t low = 0;
    std::size_t high = Size();
    while (low < high) {
        const std::size_t middle = low + (high - low) / 2;
        if (PlotX(At(middle), axis) < x)
            low = middle + 1;
        else
            high = middle;
    }
    return low;
}

std::size_t PlotRing::UpperBound(double x, PlotAxis axis) const
{
    std::size_t low = 0;
    std::size_t high = Size();
    while (low < high) {
        const std::size_t middle = low + (high - low) / 2;
        if (PlotX(At(middle), axis) <= x)
            low = middle + 1;
        else
            high = middle;
    }
    return low;
}

void PlotSamples::AddRow(quint32 ms, std::span<const PlotValue> values)
{
    const quint32 row = quint32(m_nRows);
    for (const PlotValue& value : values) {
        while (m_series.size() <= std::size_t(value.series))
            m_series.emplace_back(m_nCapacity);
        m_series[std::size_t(value.series)].Append({value.value, ms, row});
    }
    ++m_nRows;
    m_nLastMs = ms;
}

void PlotSamples::Clear()
{
    m_series.clear();
    m_nRows = 0;
    m_nLastMs = 0;
}

void PlotSamples::Points(int series, PlotAxis axis, double x0, double x1, int buckets,
                         QList<QPointF>& out, double* low, double* high) const
{
    out.clear();
    if (series < 0 || series >= SeriesCount() || !(x1 > x0))
        return;
    const PlotRing& ring = Series(series);
    const std::size_t first = ring.LowerBound(x0, axis);
    const std::size_t last = ring.UpperBound(x1, axis);
    const std::size_t begin = first > 0 ? first - 1 : 0;
    const std::size_t end = std::min(last + 1, ring.Size());
    const auto point = [&](std::size_t i) {
        const PlotSample& sample = ring.At(i);
        return QPointF(PlotX(sample, axis), sample.value);
    };
    buckets = std::max(buckets, 1);
    if (end - begin <= std::size_t(2 * buckets)) {
        out.reserve(qsizetype(end - begin));
        for (std::size_t i = begin; i < end; ++i) {
            out.append(point(i));
            if (i >= first && i < last) {
                *low = std::min(*low, ring.At(i).value);
                *high = std::max(*high, ring.At(i).value);
            }
        }
        return;
    }
    out.reserve(2 * buckets + 2);
    if (begin < first)
        out.append(point(begin));
    const double width = (x1 - x0) / buckets;
    const auto bucket = [&](std::size_t i) {
        const double at = std::floor((PlotX(ring.At(i), axis) - x0) / width);
        return int(std::clamp(at, 0.0, double(buckets - 1)));
    };
    for (std::size_t i = first; i < last;) {
        const int column = bucket(i);
        std::size_t lowAt = i;
        std::size_t highAt = i;
        std::size_t j = i + 1;
        for (; j < last && bucket(j) == column; ++j) {
            if (ring.At(j).value < ring.At(lowAt).value)
                lowAt = j;
            if (ring.At(j).value > ring.At(highAt).value)
                highAt = j;
        }
        *low = std::min(*low, ring.At(lowAt).value);
        *high = std::max(*high, ring.At(highAt).value);
        out.append(point(std::min(lowAt, highAt)));
        if (lowAt != highAt)
            out.append(point(std::max(lowAt, highAt)));
        i = j;
    }
    if (last < end)
        out.append(point(last));
}

bool PlotSamples::WriteCsv(QIODevice& device, const QStringList& names,
                           const QDateTime& start) const
{
    QByteArray out("sample,seconds,time");
    for (int series = 0; series < SeriesCount(); ++series) {
        out.append(',');
        out.append(
            CsvCell(names.value(series, QLatin1Char('#') + QString::number(series + 1))).toUtf8());
    }
    out.append("\r\n");
    // The rows of all series in order of their number: each ring is in that order already.
    std::vector<std::size_t> next(m_series.size(), 0);
    for (;;) {
        quint64 row = UINT64_MAX;
        quint32 ms = 0;
        for (std::size_t s = 0; s < m_series.size(); ++s) {
            if (next[s] < m_series[s].Size() && m_series[s].At(next[s]).row < row) {
                row = m_series[s].At(next[s]).row;
                ms = m_series[s].At(next[s]).ms;
            }
        }
        if (row == UINT64_MAX)
            break;
        out.append(QByteArray::number(row));
        out.append(',');
        AppendSeconds(out, ms);
        out.append(',');
        out.append(start.addMSecs(ms).toString(Qt::ISODateWithMs).toLatin1());
        for (std::size_t s = 0; s < m_series.size(); ++s) {
            out.append(',');
            if (next[s] < m_series[s].Size() && m_series[s].At(next[s]).row == row)
                AppendNumber(out, m_series[s].At(next[s]++).value);
        }
        out.append("\r\n");
        if (out.size() >= kCsvChunkBytes) {
            if (device.write(out) != out.size())
                return false;
            out.clear();
        }
    }
    return device.write(out) == out.size();
}

QString CsvCell(const QString& text)
{
    // A name a device sent must not become a formula in a spreadsheet.
    if (!text.isEmpty() && QStringLiteral("=+-@\t\r").contains(text.front()))
        return CsvCell(QLatin1Char('\'') + text);
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')) &&
        !text.contains(QLatin1Char('\n')) && !text.contains(QLatin1Char('\r')))
        return text;
    QString quoted = text;
    quoted.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}
