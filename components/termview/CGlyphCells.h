#pragma once

#include <QColor>
#include <QElapsedTimer>
#include <QImage>
#include <QRawFont>
#include <array>
#include <cstdint>
#include <functional>
#include <vector>

class QPainter;

// Printable ASCII on the cell grid, drawn from glyphs blended once over their background and
// then copied: blending every glyph at every frame was the largest part of drawing a line.
// A run is copied only where that gives the very pixels the font's own drawing would (each
// glyph's ink within its row and clear of its neighbours'); otherwise the caller draws it.
class CGlyphCells
{
public:
    // The font (grey-scale anti-aliased only: sub-pixel colour fringes depend on the device),
    // its glyphs for 0x20..0x7E, and the grid; cells are made as runs ask for them.
    void Reset(const QRawFont& font, const quint32* asciiGlyphs, qreal cellWidth, int lineHeight,
               qreal ascent);

    // Draws the glyphs of a run's chars (indexes into it) by the font, in order.
    using DrawByFont = std::function<void(const std::vector<int>& which)>;

    // Draws chars[0, count) one cell apart from x on the row whose top is y, text in fore over
    // back, after the caller filled the run's cells with back: copied where a copy gives the
    // font's pixels, by drawFont where not. Runs in a new pair of colours are drawn by drawFont
    // and compared with their copy, in the columns no glyph left to the font inks, until one
    // has such columns; the pair is copied from then on only if they matched.
    void DrawRun(QPainter& p, qreal x, qreal y, const char* chars, int count, QColor fore,
                 QColor back, const DrawByFont& drawFont);

private:
    static constexpr int kChars = 0x7F - 0x20;
    static constexpr int kPhases = 64; // glyph positions are kept in 1/64 pixel
    static constexpr std::size_t kMaxPairs = 8;
    static constexpr int kBlock = 8; // pixels a copy
    static constexpr int8_t kUnmade = -1;
    // Making a phase's cells takes a few tenths of a millisecond: one at a time, so that a
    // first screen of text does not stall the window.
    static constexpr qint64 kMakeGapMs = 4;
    // A glyph at one 1/64-pixel phase in one pair of colours: the columns it inks, blended.
    struct Cell
    {
        bool spills = false; // ink outside its row (or its image): left to the font
        int left = 0;        // first inked column, from the pixel the glyph's position falls in
        int width = 0;
        int top = 0; // first inked row, from the row's top
        int rows = 0;
        std::vector<uint32_t> pixels; // m_cellStride x rows
        bool operator==(const Cell&) const = default;
    };
    enum class Trust
    {
        Unchecked,
        Copied,
        Refused,
    };
    struct Pair
    {
        QRgb fore;
        QRgb back;
        Trust trust = Trust::Unchecked;
        std::array<int8_t, kPhases> source; // whose cells a phase uses, or kUnmade
        std::vector<Cell> cells;            // kPhases per printable character
    };
    // Where a run's copied ink goes: the columns [left, left + width) of its row.
    struct Strip
    {
        int left = 0;
        int width = 0;
    };
    struct Placed
    {
        int left;
        const Cell* cell;
    };

    // The image the painter draws in, and its transform to it, when a copy can stand for the
    // font's drawing there.
    QImage* Target(QPainter& p, QTransform* t) const;
    Pair& PairFor(QColor fore, QColor back);
    bool MayMake();
    void Make(Pair& pair, int phase) const;
    // Chooses the run's cells to copy (m_placed) and the glyphs to leave to the font
    // (m_deferred).
    Strip Place(Pair& pair, qreal x, const char* chars, int count);
    // Copies the placed cells' inked rows to a row's top-left pixel, `stride` pixels a row,
    // leaving the background between them as it is.
    void Lay(uint32_t* to, qsizetype stride, const Strip& strip) const;
    // The strip in an image of its own, background and cells, for a device not written to.
    QImage StripImage(const Pair& pair, const Strip& strip);
    // Whether the font's drawing of a run on the target at `at` is its copy: Unchecked when
    // glyphs left to the font ink all of its columns.
    Trust Compare(const QImage& target, QPoint at, const QImage& copy, const Strip& strip) const;
    // Whether the cells may be written straight into the target's pixels at `at`.
    static bool Writable(QPainter& p, const QImage& target, const QRect& at);
    void DrawAllByFont(int count, const DrawByFont& drawFont);

    QRawFont m_font;
    quint32 m_glyphs[kChars] = {};
    qreal m_cellWidth = 0;
    int m_lineHeight = 0;
    int m_cellStride = 0;
    qreal m_ascent = 0;
    QImage::Format m_format = QImage::Format_Invalid;
    int m_hints = 0;
    std::vector<Pair> m_pairs;
    QElapsedTimer m_lastMake;
    std::vector<Placed> m_placed;
    std::vector<int> m_deferred;
    // The columns the glyphs of m_deferred may ink.
    struct Ink
    {
        int left;
        int right;
    };
    std::vector<Ink> m_deferredInk;
    std::vector<uint32_t> m_strip;
};
