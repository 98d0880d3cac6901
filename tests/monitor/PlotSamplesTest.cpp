// The plotted samples: bounded rings, the points drawn for a range (every peak kept, never more
// than two per column), and the CSV that reads back to what is held.
#include "PlotSamples.h"
#include "PlotCsv.h"

#include <gtest/gtest.h>

#include <QBuffer>

#include <cmath>

namespace {

void AddRow(PlotSamples& samples, quint32 ms, std::initializer_list<PlotValue> values)
{
    samples.AddRow(ms, std::span<const PlotValue>(values.begin(), values.size()));
}

} // namespace

TEST(PlotSamplesTest, RingsKeepTheNewestInOrder)
{
    PlotSamples samples(8);
    for (quint32 row = 0; row < 20; ++row) {
        if (row % 5 == 0)
            AddRow(samples, row * 10, {{0, double(row)}, {1, -double(row)}});
        else
            AddRow(samples, row * 10, {{0, double(row)}});
    }
    EXPECT_EQ(samples.Rows(), 20u);
    EXPECT_EQ(samples.LastRow(), 19u);
    EXPECT_EQ(samples.LastMs(), 190u);
    ASSERT_EQ(samples.SeriesCount(), 2);
    const PlotRing& dense = samples.Series(0);
    ASSERT_EQ(dense.Size(), 8u);
    for (std::size_t i = 0; i < dense.Size(); ++i) {
        EXPECT_EQ(dense.At(i).row, 12 + i);
        EXPECT_EQ(dense.At(i).value, double(12 + i));
        EXPECT_EQ(dense.At(i).ms, (12 + i) * 10);
    }
    // The sparse series holds its own older rows.
    const PlotRing& sparse = samples.Series(1);
    ASSERT_EQ(sparse.Size(), 4u);
    EXPECT_EQ(sparse.At(0).row, 0u);
    EXPECT_EQ(sparse.Last().row, 15u);
    EXPECT_EQ(dense.LowerBound(0.15, PlotAxis::Time), 3u);
    EXPECT_EQ(dense.UpperBound(0.15, PlotAxis::Time), 4u);
    EXPECT_EQ(dense.LowerBound(14, PlotAxis::Sample), 2u);
    samples.Clear();
    EXPECT_TRUE(samples.IsEmpty());
    EXPECT_EQ(samples.SeriesCount(), 0);
}

TEST(PlotSamplesTest, PointsKeepEveryPeakWithinTwoPerColumn)
{
    constexpr quint32 kRows = 100000;
    PlotSamples samples;
    for (quint32 row = 0; row < kRows; ++row) {
        double value = std::sin(row / 100.0);
        if (row == 54321)
            value = 1000;
        if (row == 77777)
            value = -1000;
        AddRow(samples, row, {{0, value}});
    }
    const struct
    {
        const char* what;
        PlotAxis axis;
        double x0, x1;
        int columns;
        qsizetype most;
        double first, last;
        double low, high;
    } cases[] = {
        {"all of it in 200 columns", PlotAxis::Sample, 0, kRows - 1, 200, 2 * 200 + 2, 0, kRows - 1,
         -1000, 1000},
        {"the same by time", PlotAxis::Time, 0, (kRows - 1) / 1000.0, 300, 2 * 300 + 2, 0,
         (kRows - 1) / 1000.0, -1000, 1000},
        {"a few samples: every one, and one beyond each end", PlotAxis::Sample, 100, 200, 1000, 103,
         99, 201, -2, 2},
        {"past the end: the last one only", PlotAxis::Sample, kRows + 10, kRows + 20, 100, 1,
         kRows - 1, kRows - 1, INFINITY, -INFINITY},
    };
    for (const auto& test : cases) {
        QList<QPointF> points;
        double low = INFINITY;
        double high = -INFINITY;
        samples.Points(0, test.axis, test.x0, test.x1, test.columns, points, &low, &high);
        ASSERT_FALSE(points.isEmpty()) << test.what;
        EXPECT_LE(points.size(), test.most) << test.what;
        if (test.low == -1000) {
            // Drawn by columns: the ends are within the first and the last column.
            const double column = (test.x1 - test.x0) / test.columns;
            EXPECT_LE(points.front().x(), test.first + column) << test.what;
            EXPECT_GE(points.back().x(), test.last - column) << test.what;
        } else {
            EXPECT_DOUBLE_EQ(points.front().x(), test.first) << test.what;
            EXPECT_DOUBLE_EQ(points.back().x(), test.last) << test.what;
        }
        for (qsizetype i = 1; i < points.size(); ++i)
            ASSERT_LE(points[i - 1].x(), points[i].x()) << test.what << " at " << i;
        if (test.low == -1000) {
            EXPECT_EQ(low, -1000) << test.what;
            EXPECT_EQ(high, 1000) << test.what;
            bool peak = false;
            bool dip = false;
            for (const QPointF& point : points) {
                peak = peak || point.y() == 1000;
                dip = dip || point.y() == -1000;
            }
            EXPECT_TRUE(peak && dip) << test.what;
        } else if (std::isfinite(test.low)) {
            EXPECT_EQ(points.size(), test.most) << test.what;
            EXPECT_GE(low, -1) << test.what;
            EXPECT_LE(high, 1) << test.what;
        } else {
            EXPECT_GT(low, high) << test.what << ": nothing inside";
        }
    }
}

TEST(PlotSamplesTest, CsvReadsBackToTheSamples)
{
    // A small ring that has wrapped: the dense series lost rows the sparse ones still hold.
    PlotSamples samples(64);
    const double awkward[] = {0.1, 1.0 / 3, -123456789.123456789, 1e-300, 6.02214076e23, -0.0};
    for (quint32 row = 0; row < 200; ++row) {
        std::vector<PlotValue> values = {{0, awkward[row % 6] * row}};
        if (row % 3 == 0)
            values.push_back({1, double(row) / 7});
        if (row % 50 == 0)
            values.push_back({2, -double(row)});
        samples.AddRow(row * 1001, values);
    }
    const QStringList names = {QStringLiteral("온도"), QStringLiteral("a,\"b\""),
                               QStringLiteral("=SUM(A1)")};
    const QDateTime start(QDate(2024, 5, 1), QTime(23, 59, 58, 500));
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(samples.WriteCsv(buffer, names, start));

    QStringList header;
    const std::map<quint32, HeldRow> read = CsvRows(buffer.data(), &header);
    EXPECT_EQ(header, (QStringList{"sample", "seconds", "time", QStringLiteral("온도"),
                                   QStringLiteral("a,\"b\""), QStringLiteral("'=SUM(A1)")}));
    const std::map<quint32, HeldRow> held = HeldRows(samples);
    EXPECT_EQ(read.size(), held.size());
    EXPECT_TRUE(read == held);
    EXPECT_EQ(read.begin()->first, 0u) << "the sparse series keep the oldest rows";
    // The wall clock of each row is the start and its time.
    for (const QStringList& row : ReadCsv(buffer.data())) {
        if (row.front() == QLatin1String("sample"))
            continue;
        const QDateTime at = QDateTime::fromString(row.value(2), Qt::ISODateWithMs);
        ASSERT_TRUE(at.isValid()) << row.value(2).toStdString();
        EXPECT_EQ(start.msecsTo(at), qRound64(row.value(1).toDouble() * 1000));
    }

    // A device that takes nothing is told.
    QBuffer closed;
    closed.open(QIODevice::ReadOnly);
    EXPECT_FALSE(samples.WriteCsv(closed, names, start));
}
