#include "PlotParser.h"

#include "TextCodec.h"

#include <QElapsedTimer>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string_view>

namespace {

// A pattern that backtracks badly must not hold the window: the lines of one batch that are
// left when this much time has gone are skipped.
constexpr qint64 kPatternBudgetMs = 25;

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

bool IsPairMark(char c)
{
    return c == '=' || c == ':';
}

bool IsFieldEnd(char c)
{
    return c == ',' || c == ';';
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

QString PositionKey(int position)
{
    return QLatin1Char('#') + QString::number(position + 1);
}

} // namespace

void PlotParser::SetEncoding(TextEncoding encoding)
{
    if (encoding == m_encoding)
        return;
    m_encoding = encoding;
    m_rawNames.clear(); // the same bytes may spell another name now
}

void PlotParser::SetAuto()
{
    m_format = PlotFormat::Auto;
    m_pattern = QRegularExpression();
    m_bPatternValid = false;
    Reset();
}

bool PlotParser::SetPattern(const QString& pattern, QString* error)
{
    m_format = PlotFormat::Regex;
    m_pattern = QRegularExpression(pattern);
    m_bPatternValid = false;
    Reset();
    QString reason;
    if (!m_pattern.isValid())
        reason = m_pattern.errorString();
    else if (m_pattern.captureCount() < 1)
        reason = QStringLiteral("no capture group");
    if (!reason.isEmpty()) {
        if (error != nullptr)
            *error = reason;
        return false;
    }
    m_pattern.optimize();
    m_bPatternValid = true;
    return true;
}

void PlotParser::Reset()
{
    m_line.clear();
    m_bOverlong = false;
    m_bAfterCr = false;
    m_names.clear();
    m_series.clear();
    m_rawNames.clear();
    m_positions.clear();
    m_nDroppedLines = 0;
    m_nOverLimit = 0;
    m_nSkippedLines = 0;
}

void PlotParser::Feed(QByteArrayView bytes, const LineSink& sink)
{
    QElapsedTimer clock;
    clock.start();
    m_bOverBudget = false;
    const char* p = bytes.data();
    const char* const end = p + bytes.size();
    while (p < end) {
        if (m_bAfterCr) {
            m_bAfterCr = false;
            if (*p == '\n') {
                ++p;
                continue;
            }
        }
        const char* stop = std::find_if(p, end, [](char c) { return c == '\n' || c == '\r'; });
        const qsizetype length = stop - p;
        if (!m_bOverlong && m_line.size() + length > kMaxLineBytes) {
            m_bOverlong = true;
            m_line.clear();
        }
        if (!m_bOverlong)
            m_line.append(p, length);
        if (stop == end)
            break;
        m_bAfterCr = *stop == '\r';
        if (!m_bOverBudget && m_format == PlotFormat::Regex && clock.elapsed() > kPatternBudgetMs)
            m_bOverBudget = true;
        EndLine(sink);
        p = stop + 1;
    }
}

void PlotParser::EndLine(const LineSink& sink)
{
    if (m_bOverlong) {
        m_bOverlong = false;
        ++m_nDroppedLines;
        return;
    }
    if (m_line.isEmpty())
        return;
    m_values.clear();
    if (m_bOverBudget)
        ++m_nSkippedLines;
    else if (m_format == PlotFormat::Auto)
        ParseAuto(m_line);
    else if (m_bPatternValid)
        ParseRegex(m_line);
    m_line.clear();
    if (!m_values.empty())
        sink(m_values);
}

void PlotParser::ParseAuto(QByteArrayView line)
{
    // Blanks around '=' and ':' belong to the pair ("T = 23.5" is "T=23.5"); other runs of
    // blanks are one separator.
    m_scratch.clear();
    for (qsizetype i = 0; i < line.size();) {
        if (!IsBlank(line[i])) {
            m_scratch.append(line[i++]);
            continue;
        }
        qsizetype j = i;
        while (j < line.size() && IsBlank(line[j]))
            ++j;
        const bool inPair = (!m_scratch.isEmpty() && IsPairMark(m_scratch.back())) ||
                            (j < line.size() && IsPairMark(line[j]));
        if (!inPair)
            m_scratch.append(' ');
        i = j;
    }

    // A comma (or semicolon) always ends a field, so "1,,3" keeps 3 in the third field; a blank
    // ends one too, but a comma right after it is the same separator ("1 , 2").
    const QByteArrayView text(m_scratch);
    int position = 0;
    qsizetype start = 0;
    bool endedByBlank = false;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        const char c = i < text.size() ? text[i] : ',';
        if (IsFieldEnd(c)) {
            if (i == start && endedByBlank) {
                endedByBlank = false;
            } else {
                TakeField(text.sliced(start, i - start), position++);
                endedByBlank = false;
            }
            start = i + 1;
        } else if (c == ' ') {
            if (i > start) {
                TakeField(text.sliced(start, i - start), position++);
                endedByBlank = true;
            }
            start = i + 1;
        } else {
            endedByBlank = false;
        }
    }
}

void PlotParser::TakeField(QByteArrayView field, int position)
{
    if (field.isEmpty())
        return;
    double value = 0;
    // A pair: a name that is no number itself ("12:30" is a time, not a pair), a mark, a value.
    const char* mark = std::find_if(field.begin(), field.end(), IsPairMark);
    if (mark != field.begin() && mark != field.end()) {
        const QByteArrayView name = field.first(mark - field.begin());
        if (!ParseNumber(name, &value)) {
            if (ParseNumber(field.sliced(mark - field.begin() + 1), &value))
                AddValue(SeriesOfName(name), value);
            return;
        }
    }
    if (!ParseNumber(field, &value))
        return;
    if (std::size_t(position) >= m_positions.size())
        m_positions.resize(std::size_t(position) + 1, kUnknownSeries);
    int& series = m_positions[std::size_t(position)];
    if (series == kUnknownSeries)
        series = SeriesOf(PositionKey(position));
    AddValue(series, value);
}

void PlotParser::ParseRegex(QByteArrayView line)
{
    const QRegularExpressionMatch match = m_pattern.match(Decode(line, m_encoding));
    if (!match.hasMatch())
        return;
    const QStringList groupNames = m_pattern.namedCaptureGroups();
    for (int group = 1; group <= m_pattern.captureCount(); ++group) {
        const QStringView captured = match.capturedView(group);
        double value = 0;
        if (captured.isNull() || !ParseNumber(captured.trimmed().toUtf8(), &value))
            continue;
        if (std::size_t(group) >= m_positions.size())
            m_positions.resize(std::size_t(group) + 1, kUnknownSeries);
        int& series = m_positions[std::size_t(group)];
        if (series == kUnknownSeries) {
            const QString& name = groupNames.value(group);
            series = SeriesOf(name.isEmpty() ? PositionKey(group - 1) : name);
        }
        AddValue(series, value);
    }
}

void PlotParser::AddValue(int series, double value)
{
    if (series < 0) {
        ++m_nOverLimit;
        return;
    }
    m_values.push_back({series, value});
}

int PlotParser::SeriesOfName(QByteArrayView name)
{
    const QByteArray raw = name.toByteArray();
    const auto known = m_rawNames.constFind(raw);
    if (known != m_rawNames.cend())
        return known.value();
    const int series = SeriesOf(Decode(name, m_encoding));
    m_rawNames.insert(raw, series);
    return series;
}

int PlotParser::SeriesOf(const QString& key)
{
    const auto known = m_series.constFind(key);
    if (known != m_series.cend())
        return known.value();
    if (m_names.size() >= kMaxSeries)
        return -1;
    m_names.append(key);
    m_series.insert(key, int(m_names.size() - 1));
    return int(m_names.size() - 1);
}

bool PlotParser::ParseNumber(QByteArrayView text, double* value)
{
    const char* p = text.data();
    const char* const end = p + text.size();
    if (p != end && *p == '+')
        ++p;
    const char* digits = p != end && *p == '-' && text.data() == p ? p + 1 : p;
    // Only a digit or a point starts a number: from_chars alone would read "inf" and "nan".
    if (digits == end || !(IsDigit(*digits) || *digits == '.'))
        return false;
    double parsed = 0;
    const auto [rest, error] = std::from_chars(p, end, parsed);
    if (error != std::errc() || !std::isfinite(parsed))
        return false;
    // "0x1F" is no zero with a unit.
    if (rest != end && (*rest == 'x' || *rest == 'X') && rest - digits == 1 && *digits == '0')
        return false;
    // What follows may be a unit, never more of a number.
    if (std::any_of(rest, end, [](char c) {
            return IsDigit(c) || c == '.' || c == '+' || c == '-' || IsPairMark(c);
        }))
        return false;
    *value = parsed;
    return true;
}

QString PlotParser::Decode(QByteArrayView bytes, TextEncoding encoding)
{
    const bool ascii =
        std::all_of(bytes.begin(), bytes.end(), [](char c) { return uchar(c) < 0x80; });
    if (ascii || encoding == TextEncoding::Latin1)
        return QString::fromLatin1(bytes);
    const std::string_view view(bytes.data(), std::size_t(bytes.size()));
    if (encoding == TextEncoding::Utf8 ||
        (encoding == TextEncoding::Auto && tsl::IsValidUtf8(view)))
        return QString::fromUtf8(bytes);
    return QString::fromStdString(tsl::Cp949ToUtf8(view));
}
