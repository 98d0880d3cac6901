#pragma once

#include "CByteLog.h"
#include "CGlyphCells.h"
#include "TermViewConstants.h"
#include "TextLayout.h"

#include <QColor>
#include <QFont>
#include <QPointF>
#include <QRawFont>
#include <cstdint>
#include <utility>
#include <vector>

class QPaintDevice;
class QPainter;

// A range of absolute offsets [from, to) that is drawn inverted.
struct Selection
{
    uint64_t from = 0;
    uint64_t to = 0;
    bool Contains(uint64_t offset) const { return offset >= from && offset < to; }
};

// Draws rows of the log (text lines or hex dump rows) on the character-cell grid, in the nine
// colours; used by the view and by printing alike.
class CTextViewPainter
{
public:
    static constexpr qreal kLabelScale = 0.8;

    CTextViewPainter();

    // Colours as COLORREF values (0x00BBGGRR), in SetColor's order.
    void SetColours(const uint32_t colours[kColourCount]);
    void SetFont(const QFont& font, QPaintDevice* device);

    const QFont& Font() const { return m_font; }
    QColor Background() const { return m_colours[kClrBk]; }
    qreal CellWidth() const { return m_cellWidth; }
    qreal LineHeight() const { return m_lineHeight; }

    // Draws the glyphs that fall between the x positions left and right; every glyph at its
    // own column, so a character that draws wider or narrower than its cells moves no other.
    void DrawTextLine(QPainter& p, QPointF origin, const std::vector<Glyph>& glyphs,
                      const Selection& sel, qreal left, qreal right) const;
    // cells hold the row's bytes from absolute offset start (a first row may begin mid-row).
    void DrawHexRow(QPainter& p, QPointF origin, uint64_t start, const std::vector<Cell>& cells,
                    bool showControls, const Selection& sel) const;
    // An arrival stamp (its time, its client mark) at a column, in the notice colours; -1 for
    // what it does not show.
    void DrawStamp(QPainter& p, QPointF origin, int col, int msOfDay, int client = -1) const;
    // A bar at a column: where the next byte goes.
    void DrawCaret(QPainter& p, QPointF origin, int col) const;
    // Ranges drawn marked (search matches), sorted by start, until changed; none by default.
    void SetMarks(std::vector<Selection> marks) { m_marks = std::move(marks); }

private:
    // How a cell stands out: the selection inverts it, a mark gives it the mark colours.
    enum class Emphasis
    {
        None,
        Selected,
        Marked,
    };
    Emphasis EmphasisOf(uint64_t offset, const Selection& sel) const;
    // The text and background colours of a cell.
    std::pair<QColor, QColor> ColoursOf(CellStyle style, Emphasis emphasis) const;
    void DrawCells(QPainter& p, QPointF origin, int col, int cells, CellStyle style,
                   Emphasis emphasis, const QString& text, bool label) const;
    // Printable ASCII glyphs[from, to) of one look, in one call.
    void DrawAsciiRun(QPainter& p, QPointF origin, const std::vector<Glyph>& glyphs,
                      std::size_t from, std::size_t to, Emphasis emphasis) const;

    QColor m_colours[kColourCount];
    QFont m_font;
    QFont m_labelFont; // control-code names: a little smaller, so they sit apart in their cells
    qreal m_cellWidth = 8;
    qreal m_lineHeight = 16;
    qreal m_ascent = 12;
    // The font draws printable ASCII exactly one cell apart: such runs go in one text call.
    bool m_bAsciiRuns = false;
    // On a screen those runs are placed glyph by glyph, with the glyphs looked up once: the
    // text layout would find the same places for every run again.
    QRawFont m_rawFont;
    quint32 m_asciiGlyphs[0x7F - 0x20] = {};
    mutable std::vector<quint32> m_runGlyphs;
    mutable std::vector<QPointF> m_runPlaces;
    mutable std::vector<char> m_runChars;
    mutable CGlyphCells m_cells;
    std::vector<Selection> m_marks;
};
