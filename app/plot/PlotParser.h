#pragma once

#include "TextEncoding.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QHash>
#include <QRegularExpression>
#include <QString>
#include <QStringList>

#include <functional>
#include <span>
#include <vector>

// How a line's numbers are found.
enum class PlotFormat : int
{
    Auto = 0,  // comma, space or tab separated values, and name=value or name:value pairs
    Regex = 1, // the capture groups of one regular expression
};

// One number of a line and the series it belongs to (an index into SeriesNames()).
struct PlotValue
{
    int series = 0;
    double value = 0;
};

// Reads numbers out of received text, line by line, without any widget. Lines end at LF, CR LF
// or a lone CR; a partial line waits for its end. A line longer than kMaxLineBytes is dropped
// whole, a malformed number is skipped, and at most kMaxSeries series are made: the rest of a
// stream never stops on what it cannot read.
class PlotParser
{
public:
    static constexpr int kMaxSeries = 16;
    static constexpr qsizetype kMaxLineBytes = 4096;

    using LineSink = std::function<void(std::span<const PlotValue>)>;

    // Names in name=value pairs and text a pattern reads are decoded by the monitor's encoding.
    void SetEncoding(TextEncoding encoding);
    void SetAuto();
    // Reads lines by the capture groups of pattern; false, with *error set, when the pattern is
    // not valid or has no group, and then no line gives numbers until a valid one is set.
    bool SetPattern(const QString& pattern, QString* error = nullptr);
    PlotFormat Format() const { return m_format; }

    // Takes received bytes; sink gets the numbers of every complete line that has any. A
    // pattern gets 25 ms of each call: lines it has no time for are skipped and counted.
    void Feed(QByteArrayView bytes, const LineSink& sink);
    // Forgets the series, the partial line and the counts; the format stays.
    void Reset();

    // Series in the order they were first met: a name, or "#n" for the n-th field of a line or
    // the n-th group of a pattern, counted from 1.
    const QStringList& SeriesNames() const { return m_names; }
    // Lines dropped for their length, and numbers left out because 16 series were taken.
    qint64 DroppedLines() const { return m_nDroppedLines; }
    qint64 ValuesOverLimit() const { return m_nOverLimit; }
    // Lines a pattern had no time left for (see Feed).
    qint64 SkippedLines() const { return m_nSkippedLines; }

    // A number as lines carry it: an optional sign, decimal digits with an optional fraction and
    // exponent, then at most a unit without digits ("23.5C", "41%", "3.3mA"). Only finite
    // values count.
    static bool ParseNumber(QByteArrayView text, double* value);
    // Bytes as text by the encoding (Auto: UTF-8 where valid, else CP949).
    static QString Decode(QByteArrayView bytes, TextEncoding encoding);

private:
    void EndLine(const LineSink& sink);
    void ParseAuto(QByteArrayView line);
    void TakeField(QByteArrayView field, int position);
    void ParseRegex(QByteArrayView line);
    // series -1: over the limit.
    void AddValue(int series, double value);
    // The series of a name in a pair, decoded once per spelling.
    int SeriesOfName(QByteArrayView name);
    int SeriesOf(const QString& key);

    PlotFormat m_format = PlotFormat::Auto;
    TextEncoding m_encoding = TextEncoding::Auto;
    QRegularExpression m_pattern;
    bool m_bPatternValid = false;

    QByteArray m_line;
    bool m_bOverlong = false; // the line under way passed the limit: dropped at its end
    bool m_bAfterCr = false;  // an LF right after a CR ends no second line

    QStringList m_names;
    QHash<QString, int> m_series;
    QHash<QByteArray, int> m_rawNames;
    // The series of each field position (or pattern group), once known.
    static constexpr int kUnknownSeries = -2;
    std::vector<int> m_positions;
    std::vector<PlotValue> m_values;
    QByteArray m_scratch;
    qint64 m_nDroppedLines = 0;
    qint64 m_nOverLimit = 0;
    qint64 m_nSkippedLines = 0;
    bool m_bOverBudget = false;
};
