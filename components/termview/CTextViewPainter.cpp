#include "CTextViewPainter.h"

#include "CTextSearch.h"
#include "ColorRef.h"
#include "ControlCodeNames.h"
#include "HexLayout.h"

#include <QFontMetricsF>
#include <QGlyphRun>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace {
// Search matches: dark text on amber, whatever colours the traffic is drawn in.
const QColor kMarkFore(0, 0, 0);
const QColor kMarkBack(255, 200, 40);
} // namespace

CTextViewPainter::CTextViewPainter()
{
    SetColours(kDefaultColours);
}

void CTextViewPainter::SetColours(const uint32_t colours[kColourCount])
{
    for (int i = 0; i < kColourCount; ++i)
        m_colours[i] = ColourFromRef(colours[i]);
}

void CTextViewPainter::SetFont(const QFont& font, QPaintDevice* device)
{
    m_font = font;
    // Characters are placed cell by cell: nothing may join them into ligatures.
    m_font.setStyleStrategy(QFont::PreferNoShaping);
    const QFontMetricsF metrics(m_font, device);
    m_cellWidth = metrics.horizontalAdvance(QLatin1Char('M'));
    QString ascii;
    for (char c = 0x20; c < 0x7F; ++c)
        ascii += QLatin1Char(c);
    m_bAsciiRuns = std::abs(metrics.horizontalAdvance(ascii) - ascii.size() * m_cellWidth) < 0.01 &&
                   std::all_of(ascii.begin(), ascii.end(), [&](QChar c) {
                       return metrics.horizontalAdvance(c) == m_cellWidth;
                   });
    m_rawFont = QRawFont();
    if (m_bAsciiRuns && device != nullptr && device->devType() == QInternal::Widget) {
        const QRawFont raw = QRawFont::fromFont(QFont(m_font, device));
        const QList<quint32> indexes = raw.glyphIndexesForString(ascii);
        if (raw.isValid() && indexes.size() == ascii.size() &&
            std::none_of(indexes.begin(), indexes.end(), [](quint32 g) { return g == 0; })) {
            m_rawFont = raw;
            std::copy(indexes.begin(), indexes.end(), m_asciiGlyphs);
        }
    }
    m_lineHeight = std::ceil(metrics.lineSpacing());
    m_ascent = metrics.ascent();
    m_cells.Reset(m_rawFont, m_asciiGlyphs, m_cellWidth, static_cast<int>(m_lineHeight), m_ascent);
    m_labelFont = m_font;
    if (font.pointSizeF() > 0)
        m_labelFont.setPointSizeF(font.pointSizeF() * kLabelScale);
    else
        m_labelFont.setPixelSize(std::max(1, static_cast<int>(font.pixelSize() * kLabelScale)));
}

CTextViewPainter::Emphasis CTextViewPainter::EmphasisOf(uint64_t offset, const Selection& sel) const
{
    if (sel.Contains(offset))
        return Emphasis::Selected;
    // The last mark that starts at or before offset is the only one that may hold it, unless
    // marks overlap: then an earlier one may reach further, so look back while they could.
    auto it =
        std::upper_bound(m_marks.begin(), m_marks.end(), offset,
                         [](uint64_t value, const Selection& mark) { return value < mark.from; });
    while (it != m_marks.begin()) {
        --it;
        if (it->Contains(offset))
            return Emphasis::Marked;
        if (offset - it->from >= kMaxSearchPatternBytes)
            break;
    }
    return Emphasis::None;
}

std::pair<QColor, QColor> CTextViewPainter::ColoursOf(CellStyle style, Emphasis emphasis) const
{
    static constexpr ColourIndex kFore[] = {kClrTextOut, kClrTextIn, kClrControlOut, kClrControlIn};
    static constexpr ColourIndex kBack[] = {kClrBkTextOut, kClrBkTextIn, kClrBkControlOut,
                                            kClrBkControlIn};
    const auto index = static_cast<int>(style);
    if (emphasis == Emphasis::Selected)
        return {m_colours[kBack[index]], m_colours[kFore[index]]};
    if (emphasis == Emphasis::Marked)
        return {kMarkFore, kMarkBack};
    return {m_colours[kFore[index]], m_colours[kBack[index]]};
}

void CTextViewPainter::DrawCells(QPainter& p, QPointF origin, int col, int cells, CellStyle style,
                                 Emphasis emphasis, const QString& text, bool label) const
{
    const auto [fore, back] = ColoursOf(style, emphasis);
    // Labels keep some background between them, so "CR" "LF" never reads "CRLF".
    const qreal gap = label ? 1.5 : 0;
    const QRectF box(origin.x() + col * m_cellWidth + gap, origin.y(),
                     cells * m_cellWidth - 2 * gap, m_lineHeight);
    p.fillRect(box, back);
    if (text.isEmpty())
        return;
    p.setPen(fore);
    if (!label) {
        p.drawText(QPointF(box.x(), origin.y() + m_ascent), text);
        return;
    }
    p.setFont(m_labelFont);
    p.drawText(box, Qt::AlignCenter, text);
    p.setFont(m_font);
}

void CTextViewPainter::DrawTextLine(QPainter& p, QPointF origin, const std::vector<Glyph>& glyphs,
                                    const Selection& sel, qreal left, qreal right) const
{
    p.setFont(m_font);
    const auto x = [&](int col) { return origin.x() + col * m_cellWidth; };
    const auto ascii = [this](const Glyph& g) {
        return m_bAsciiRuns && g.ch >= 0x20 && g.ch < 0x7F && g.cells == 1;
    };
    for (std::size_t i = 0; i < glyphs.size();) {
        const Glyph& first = glyphs[i];
        if (x(first.col) >= right)
            break;
        if (x(first.col + first.cells) <= left) {
            ++i;
            continue;
        }
        if (first.IsStamp()) {
            DrawStamp(p, origin, first.col, first.stampMs, first.client);
            ++i;
            continue;
        }
        const Emphasis emphasis = EmphasisOf(first.offset, sel);
        if (!ascii(first)) {
            const QString text =
                first.ch ? QString::fromUcs4(&first.ch, 1) : QString::fromLatin1(first.label);
            DrawCells(p, origin, first.col, first.cells, first.style, emphasis, text, !first.ch);
            ++i;
            continue;
        }
        // ASCII of one look is drawn as one run: far fewer text calls.
        std::size_t j = i;
        while (j < glyphs.size() && ascii(glyphs[j]) && glyphs[j].style == first.style &&
               EmphasisOf(glyphs[j].offset, sel) == emphasis && x(glyphs[j].col) < right)
            ++j;
        DrawAsciiRun(p, origin, glyphs, i, j, emphasis);
        i = j;
    }
}

void CTextViewPainter::DrawAsciiRun(QPainter& p, QPointF origin, const std::vector<Glyph>& glyphs,
                                    std::size_t from, std::size_t to, Emphasis emphasis) const
{
    const Glyph& first = glyphs[from];
    const auto count = static_cast<int>(to - from);
    if (!m_rawFont.isValid()) {
        QString run;
        run.reserve(count);
        for (std::size_t k = from; k < to; ++k)
            run += QLatin1Char(static_cast<char>(glyphs[k].ch));
        DrawCells(p, origin, first.col, count, first.style, emphasis, run, false);
        return;
    }
    DrawCells(p, origin, first.col, count, first.style, emphasis, QString(), false);
    const auto [fore, back] = ColoursOf(first.style, emphasis);
    const qreal x = origin.x() + first.col * m_cellWidth;
    m_runChars.clear();
    for (std::size_t k = from; k < to; ++k)
        m_runChars.push_back(static_cast<char>(glyphs[k].ch));
    m_cells.DrawRun(p, x, origin.y(), m_runChars.data(), count, fore, back,
                    [&, fore = fore](const std::vector<int>& which) {
                        m_runGlyphs.clear();
                        m_runPlaces.clear();
                        for (const int k : which) {
                            m_runGlyphs.push_back(m_asciiGlyphs[m_runChars[k] - 0x20]);
                            m_runPlaces.emplace_back(qreal(k) * m_cellWidth, 0);
                        }
                        QGlyphRun run;
                        run.setRawFont(m_rawFont);
                        run.setRawData(m_runGlyphs.data(), m_runPlaces.data(),
                                       static_cast<int>(which.size()));
                        p.setPen(fore);
                        p.drawGlyphRun(QPointF(x, origin.y() + m_ascent), run);
                    });
}

void CTextViewPainter::DrawHexRow(QPainter& p, QPointF origin, uint64_t start,
                                  const std::vector<Cell>& cells, bool showControls,
                                  const Selection& sel) const
{
    p.setFont(m_font);
    const uint64_t rowStart = start - start % kHexBytesPerRow;
    p.setPen(m_colours[kClrTextOut]);
    p.drawText(QPointF(origin.x(), origin.y() + m_ascent),
               QStringLiteral("%1")
                   .arg(rowStart, HexLayout::kOffsetCells, 16, QLatin1Char('0'))
                   .toUpper());
    const int skip = static_cast<int>(start - rowStart);
    for (std::size_t k = 0; k < cells.size() && skip + k < kHexBytesPerRow; ++k) {
        const int i = skip + static_cast<int>(k);
        const Cell cell = cells[k];
        const Emphasis emphasis = EmphasisOf(start + k, sel);
        const CellStyle style = showControls && IsControlCode(cell.byte) ? ControlStyle(cell.attr)
                                                                         : TextStyle(cell.attr);
        const QString hex = QStringLiteral("%1").arg(cell.byte, 2, 16, QLatin1Char('0')).toUpper();
        DrawCells(p, origin, HexLayout::HexCol(i), 2, style, emphasis, hex, false);
        const bool printable = cell.byte >= 0x20 && cell.byte < 0x7F;
        DrawCells(p, origin, HexLayout::AsciiCol(i), 1, style, emphasis,
                  QString(QLatin1Char(printable ? static_cast<char>(cell.byte) : '.')), false);
    }
}

void CTextViewPainter::DrawStamp(QPainter& p, QPointF origin, int col, int msOfDay,
                                 int client) const
{
    const QString text = CArrivalStamps::LeadText(msOfDay, client);
    DrawCells(p, origin, col, static_cast<int>(text.size()), CellStyle::TextOut, Emphasis::None,
              text, false);
}

void CTextViewPainter::DrawCaret(QPainter& p, QPointF origin, int col) const
{
    p.fillRect(QRectF(origin.x() + col * m_cellWidth, origin.y(), kCaretWidthPx, m_lineHeight),
               m_colours[kClrTextOut]);
}
