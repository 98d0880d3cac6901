#include "CGlyphCells.h"

#include <QGlyphRun>
#include <QPaintEngine>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <numeric>

void CGlyphCells::Reset(const QRawFont& font, const quint32* asciiGlyphs, qreal cellWidth,
                        int lineHeight, qreal ascent)
{
    m_pairs.clear();
    m_font = QRawFont();
    // A grid off the 1/64 pixel the font places glyphs in would round differently per glyph.
    const qreal fixed = cellWidth * kPhases;
    if (!font.isValid() || lineHeight <= 0 || cellWidth <= 0 || fixed != std::floor(fixed))
        return;
    m_font = font;
    std::copy_n(asciiGlyphs, kChars, m_glyphs);
    m_cellWidth = cellWidth;
    m_lineHeight = lineHeight;
    m_ascent = ascent;
    const int cellPx = static_cast<int>(std::ceil(cellWidth));
    m_cellStride = (cellPx + kBlock + kBlock - 1) / kBlock * kBlock;
}

QImage* CGlyphCells::Target(QPainter& p, QTransform* t) const
{
    QPaintEngine* engine = p.paintEngine();
    if (!m_font.isValid() || engine == nullptr || engine->type() != QPaintEngine::Raster ||
        p.opacity() != 1.0 || p.compositionMode() != QPainter::CompositionMode_SourceOver ||
        p.hasClipping())
        return nullptr;
    QPaintDevice* device = engine->paintDevice();
    if (device == nullptr || device->devType() != QInternal::Image)
        return nullptr;
    auto* image = static_cast<QImage*>(device);
    *t = p.deviceTransform();
    const bool opaque32 = image->format() == QImage::Format_RGB32 ||
                          image->format() == QImage::Format_ARGB32_Premultiplied;
    if (!opaque32 || image->devicePixelRatio() != 1.0 || t->type() > QTransform::TxTranslate ||
        t->dx() != std::floor(t->dx()) || t->dy() != std::floor(t->dy()))
        return nullptr;
    return image;
}

void CGlyphCells::DrawRun(QPainter& p, qreal x, qreal y, const char* chars, int count, QColor fore,
                          QColor back, const DrawByFont& drawFont)
{
    QTransform t;
    QImage* target = Target(p, &t);
    m_deferred.clear();
    // Left of the device's first column the font may round a position the other way.
    if (target == nullptr || x < 0 || x + t.dx() < 0 || y != std::floor(y) ||
        x * kPhases != std::floor(x * kPhases)) {
        DrawAllByFont(count, drawFont);
        return;
    }
    if (target->format() != m_format || static_cast<int>(p.renderHints()) != m_hints) {
        m_pairs.clear();
        m_format = target->format();
        m_hints = static_cast<int>(p.renderHints());
    }
    Pair& pair = PairFor(fore, back);
    if (pair.trust == Trust::Refused) {
        DrawAllByFont(count, drawFont);
        return;
    }
    const Strip strip = Place(pair, x, chars, count);
    const int top = static_cast<int>(y);
    const QRect onTarget(strip.left + static_cast<int>(t.dx()), top + static_cast<int>(t.dy()),
                         strip.width, m_lineHeight);
    if (pair.trust == Trust::Copied) {
        if (strip.width > 0 && Writable(p, *target, onTarget)) {
            // The painter made the pixels its own at begin(): scanLine() would only count a
            // detach at every call.
            const qsizetype stride = target->bytesPerLine() / 4;
            Lay(const_cast<uint32_t*>(reinterpret_cast<const uint32_t*>(target->constBits())) +
                    onTarget.y() * stride + onTarget.x(),
                stride, strip);
        } else if (strip.width > 0) {
            p.drawImage(QPoint(strip.left, top), StripImage(pair, strip));
        }
        if (!m_deferred.empty())
            drawFont(m_deferred);
        return;
    }
    // Not yet known: the font draws, and the columns only copied glyphs ink tell.
    DrawAllByFont(count, drawFont);
    if (strip.width > 0 && Writable(p, *target, onTarget))
        pair.trust = Compare(*target, onTarget.topLeft(), StripImage(pair, strip), strip);
}

CGlyphCells::Trust CGlyphCells::Compare(const QImage& target, QPoint at, const QImage& copy,
                                        const Strip& strip) const
{
    // A glyph left to the font inks its columns over the copy: those hold no evidence.
    std::vector<char> compared(static_cast<std::size_t>(strip.width), 1);
    for (const Ink& ink : m_deferredInk)
        for (int c = std::max(ink.left, strip.left);
             c < std::min(ink.right, strip.left + strip.width); ++c)
            compared[static_cast<std::size_t>(c - strip.left)] = 0;
    if (std::find(compared.begin(), compared.end(), 1) == compared.end())
        return Trust::Unchecked;
    for (int r = 0; r < m_lineHeight; ++r) {
        const auto* drawn =
            reinterpret_cast<const uint32_t*>(target.constScanLine(at.y() + r)) + at.x();
        const auto* copied = reinterpret_cast<const uint32_t*>(copy.constScanLine(r));
        for (int c = 0; c < strip.width; ++c)
            if (compared[static_cast<std::size_t>(c)] && drawn[c] != copied[c])
                return Trust::Refused;
    }
    return Trust::Copied;
}

bool CGlyphCells::Writable(QPainter& p, const QImage& target, const QRect& at)
{
    if (!target.isDetached() || !target.rect().contains(at))
        return false;
    // Outside the region being painted lie other widgets' pixels.
    const QRegion clip = p.paintEngine()->systemClip();
    return clip.isEmpty() || (clip.rectCount() == 1 ? clip.boundingRect().contains(at)
                                                    : (QRegion(at) - clip).isEmpty());
}

void CGlyphCells::DrawAllByFont(int count, const DrawByFont& drawFont)
{
    m_deferred.resize(static_cast<std::size_t>(count));
    std::iota(m_deferred.begin(), m_deferred.end(), 0);
    drawFont(m_deferred);
}

CGlyphCells::Pair& CGlyphCells::PairFor(QColor fore, QColor back)
{
    const QRgb f = fore.rgb();
    const QRgb b = back.rgb();
    for (Pair& pair : m_pairs)
        if (pair.fore == f && pair.back == b)
            return pair;
    // The nine colours, selection and marks make a handful of pairs; a new set of colours
    // starts over.
    if (m_pairs.size() >= kMaxPairs)
        m_pairs.clear();
    Pair& pair = m_pairs.emplace_back();
    pair.fore = f;
    pair.back = b;
    pair.cells.resize(kChars * kPhases);
    pair.source.fill(kUnmade);
    return pair;
}

void CGlyphCells::Make(Pair& pair, int phase) const
{
    // All characters at one phase in one image, each in a slot wide enough that ink reaching
    // the slot's edge can only be a glyph drawing far outside its cell.
    const int cellPx = static_cast<int>(std::ceil(m_cellWidth));
    const int padX = cellPx;
    const int slot = 2 * padX + cellPx;
    QImage image(kChars * slot, 3 * m_lineHeight, m_format);
    image.fill(QColor::fromRgb(pair.back));
    {
        std::vector<QPointF> places(kChars);
        for (int i = 0; i < kChars; ++i)
            places[static_cast<std::size_t>(i)] = QPointF(i * slot, 0);
        QGlyphRun run;
        run.setRawFont(m_font);
        run.setRawData(m_glyphs, places.data(), kChars);
        QPainter q(&image);
        q.setRenderHints(QPainter::RenderHints(m_hints));
        q.setPen(QColor::fromRgb(pair.fore));
        q.drawGlyphRun(QPointF(padX + qreal(phase) / kPhases, m_lineHeight + m_ascent), run);
    }
    for (int i = 0; i < kChars; ++i) {
        Cell& cell = pair.cells[static_cast<std::size_t>(i * kPhases + phase)];
        int first = slot;
        int last = -1;
        int top = image.height();
        int bottom = -1;
        for (int r = 0; r < image.height() && !cell.spills; ++r) {
            const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(r)) + i * slot;
            for (int c = 0; c < slot; ++c) {
                if (line[c] == pair.back)
                    continue;
                if (r < m_lineHeight || r >= 2 * m_lineHeight || c == 0 || c == slot - 1)
                    cell.spills = true;
                first = std::min(first, c);
                last = std::max(last, c);
                top = std::min(top, r);
                bottom = r;
            }
        }
        if (cell.spills || last < 0)
            continue;
        cell.left = first - padX;
        cell.width = last - first + 1;
        cell.top = top - m_lineHeight;
        cell.rows = bottom - top + 1;
        // The inked rows are kept a whole number of blocks wide, background after the ink, so
        // that a run is laid out in copies of a fixed size.
        const int kept = std::min(m_cellStride, slot - first);
        cell.spills = cell.width > m_cellStride;
        cell.pixels.assign(static_cast<std::size_t>(m_cellStride) * cell.rows, pair.back);
        for (int r = 0; r < cell.rows; ++r)
            std::memcpy(cell.pixels.data() + static_cast<std::size_t>(r) * m_cellStride,
                        image.constScanLine(top + r) + (i * slot + first) * 4,
                        static_cast<std::size_t>(kept) * 4);
    }
    // The font places glyphs at a few sub-pixel positions: most phases draw as another does,
    // and share its cells.
    pair.source[phase] = static_cast<int8_t>(phase);
    const auto cellAt = [&](int i, int at) -> Cell& {
        return pair.cells[static_cast<std::size_t>(i * kPhases + at)];
    };
    for (int other = 0; other < kPhases; ++other) {
        if (other == phase || pair.source[other] != other)
            continue;
        bool same = true;
        for (int i = 0; i < kChars && same; ++i)
            same = cellAt(i, phase) == cellAt(i, other);
        if (!same)
            continue;
        pair.source[phase] = static_cast<int8_t>(other);
        for (int i = 0; i < kChars; ++i)
            cellAt(i, phase) = Cell();
        return;
    }
}

bool CGlyphCells::MayMake()
{
    if (m_lastMake.isValid() && m_lastMake.elapsed() < kMakeGapMs)
        return false;
    m_lastMake.start();
    return true;
}

CGlyphCells::Strip CGlyphCells::Place(Pair& pair, qreal x, const char* chars, int count)
{
    // A glyph whose ink leaves its row, meets an earlier glyph's ink or reaches past the run's
    // whole columns (where another run drew) is left to the font, drawn after the copy in
    // order: it then blends over exactly what it would have.
    const int right = static_cast<int>(std::floor(x + count * m_cellWidth));
    int limit = static_cast<int>(std::ceil(x));
    m_placed.clear();
    m_deferredInk.clear();
    constexpr Ink kAnywhere{std::numeric_limits<int>::min(), std::numeric_limits<int>::max()};
    for (int k = 0; k < count; ++k) {
        const qreal at = x + k * m_cellWidth;
        const qreal column = std::floor(at);
        const int phase = static_cast<int>((at - column) * kPhases);
        if (pair.source[phase] == kUnmade && MayMake())
            Make(pair, phase);
        const int source = pair.source[phase];
        if (source == kUnmade) {
            // Not made yet (at most one phase is made at a time): the font draws the rest.
            for (; k < count; ++k)
                m_deferred.push_back(k);
            m_deferredInk.push_back(kAnywhere);
            break;
        }
        const Cell& cell =
            pair.cells[static_cast<std::size_t>((chars[k] - 0x20) * kPhases + source)];
        if (cell.spills) {
            m_deferred.push_back(k);
            m_deferredInk.push_back(kAnywhere);
            limit = std::numeric_limits<int>::max();
            continue;
        }
        if (cell.width == 0)
            continue;
        const int inkLeft = static_cast<int>(column) + cell.left;
        const int inkRight = inkLeft + cell.width;
        if (inkLeft < limit || inkRight > right) {
            m_deferred.push_back(k);
            m_deferredInk.push_back({inkLeft, inkRight});
        } else
            m_placed.push_back({inkLeft, &cell});
        limit = std::max(limit, inkRight);
    }
    Strip strip;
    if (m_placed.empty())
        return strip;
    strip.left = m_placed.front().left;
    strip.width = m_placed.back().left + m_placed.back().cell->width - strip.left;
    return strip;
}

void CGlyphCells::Lay(uint32_t* to, qsizetype stride, const Strip& strip) const
{
    // Whole blocks over each cell's ink, left to right: the background a block carries past
    // the ink is overwritten by the next cell's; the last cells are cut at the strip's end,
    // where another run may have drawn.
    for (const Placed& placed : m_placed) {
        const Cell& cell = *placed.cell;
        const int offset = placed.left - strip.left;
        const int inked = (cell.width + kBlock - 1) / kBlock * kBlock;
        const int columns = std::min(inked, strip.width - offset);
        const int blocks = columns / kBlock * kBlock;
        const auto rest = static_cast<std::size_t>(columns - blocks) * sizeof(uint32_t);
        const uint32_t* from = cell.pixels.data();
        uint32_t* row = to + cell.top * stride + offset;
        for (int r = 0; r < cell.rows; ++r, from += m_cellStride, row += stride) {
            for (int b = 0; b < blocks; b += kBlock)
                std::memcpy(row + b, from + b, kBlock * sizeof(uint32_t));
            if (rest > 0)
                std::memcpy(row + blocks, from + blocks, rest);
        }
    }
}

QImage CGlyphCells::StripImage(const Pair& pair, const Strip& strip)
{
    const qsizetype stride = strip.width;
    const std::size_t pixels = static_cast<std::size_t>(stride) * m_lineHeight;
    m_strip.assign(pixels, pair.back);
    Lay(m_strip.data(), stride, strip);
    return QImage(reinterpret_cast<const uchar*>(m_strip.data()), strip.width, m_lineHeight,
                  stride * 4, m_format);
}
