#include "CTextViewPrinter.h"

#include "CTextLogStore.h"
#include "CTextViewPainter.h"
#include "HexLayout.h"

#include <QPagedPaintDevice>
#include <QPainter>
#include <algorithm>

namespace {
// Ink-friendly colours for paper: received text black, sent text navy, control codes maroon on
// light grey (COLORREF values, as SetColor takes them).
constexpr uint32_t kPrintColours[kColourCount] = {0xFFFFFF, 0x000000, 0xFFFFFF, 0x800000, 0xFFFFFF,
                                                  0x000080, 0xE0E0E0, 0x000080, 0xE0E0E0};
} // namespace

std::vector<std::vector<Glyph>> CTextViewPrinter::Wrap(std::vector<Glyph> glyphs, int cols)
{
    std::vector<std::vector<Glyph>> rows(1);
    int rowStart = 0;
    for (Glyph& g : glyphs) {
        if (g.col + g.cells - rowStart > cols && g.col > rowStart) {
            rows.emplace_back();
            rowStart = g.col;
        }
        g.col -= rowStart;
        rows.back().push_back(g);
    }
    return rows;
}

template <typename Draw>
std::size_t CTextViewPrinter::ForEachTextRow(const std::vector<RowData>& lines, int cols,
                                             Draw&& draw) const
{
    std::size_t row = 0;
    for (const RowData& line : lines) {
        for (const auto& glyphs :
             Wrap(LayoutLine(line.cells, line.start, m_bControls, m_encoding), cols))
            draw(row++, glyphs);
    }
    return row;
}

int CTextViewPrinter::Print(QPainter* painter, QPagedPaintDevice* device,
                            const QStringList& header) const
{
    const QRectF page(0, 0, device->width(), device->height());
    CTextViewPainter cells;
    cells.SetColours(kPrintColours);
    cells.SetFont(m_font, device);
    if (m_bHex && cells.CellWidth() * HexLayout::kRowCells > page.width()) {
        // A hex row is never split: shrink the font until one fits the page.
        QFont smaller = m_font;
        smaller.setPointSizeF(m_font.pointSizeF() * page.width() /
                              (cells.CellWidth() * HexLayout::kRowCells));
        cells.SetFont(smaller, device);
    }
    const qreal lineHeight = cells.LineHeight();
    const qreal bodyTop = 3 * lineHeight;
    const auto rowsPerPage =
        std::max<std::size_t>(1, static_cast<std::size_t>((page.height() - bodyTop) / lineHeight));
    const int cols = std::max(1, static_cast<int>(page.width() / cells.CellWidth()));

    // One consistent copy: a writer thread may go on adding and dropping lines meanwhile.
    uint64_t first = 0;
    std::vector<Cell> bytes;
    std::vector<RowData> lines;
    if (m_bHex)
        bytes = m_store.Range(0, UINT64_MAX, &first);
    else
        lines = m_store.Lines(0, m_store.Extent().heldLines);
    const std::size_t rows =
        m_bHex ? (bytes.empty()
                      ? 0
                      : (first + bytes.size() - 1) / kHexBytesPerRow - first / kHexBytesPerRow + 1)
               : ForEachTextRow(lines, cols, [](std::size_t, const std::vector<Glyph>&) {});
    const int pages =
        static_cast<int>(std::max<std::size_t>(1, (rows + rowsPerPage - 1) / rowsPerPage));

    const auto startPage = [&](int index) {
        if (index > 0)
            device->newPage();
        QFont bold = cells.Font();
        bold.setBold(true);
        painter->setFont(bold);
        painter->setPen(Qt::black);
        const QRectF line(0, 0, page.width(), lineHeight);
        painter->drawText(line, Qt::AlignLeft | Qt::AlignVCenter, header.value(0));
        painter->setFont(cells.Font());
        painter->drawText(line, Qt::AlignRight | Qt::AlignVCenter,
                          QStringLiteral("%1 / %2").arg(index + 1).arg(pages));
        painter->drawText(line.translated(0, lineHeight), Qt::AlignLeft | Qt::AlignVCenter,
                          header.mid(1).join(QStringLiteral("    ")));
        painter->drawLine(QPointF(0, 2.5 * lineHeight), QPointF(page.width(), 2.5 * lineHeight));
    };
    const auto origin = [&](std::size_t row) {
        if (row % rowsPerPage == 0)
            startPage(static_cast<int>(row / rowsPerPage));
        return QPointF(0, bodyTop + static_cast<qreal>(row % rowsPerPage) * lineHeight);
    };

    if (rows == 0)
        startPage(0);
    const Selection none;
    if (m_bHex) {
        const uint64_t firstRow = first / kHexBytesPerRow;
        for (std::size_t row = 0; row < rows; ++row) {
            const uint64_t rowStart = (firstRow + row) * kHexBytesPerRow;
            const uint64_t start = std::max(rowStart, first);
            const auto from = bytes.begin() + static_cast<std::ptrdiff_t>(start - first);
            const auto to = bytes.begin() + static_cast<std::ptrdiff_t>(std::min<uint64_t>(
                                                rowStart + kHexBytesPerRow - first, bytes.size()));
            cells.DrawHexRow(*painter, origin(row), start, std::vector<Cell>(from, to), m_bControls,
                             none);
        }
    } else {
        ForEachTextRow(lines, cols, [&](std::size_t row, const std::vector<Glyph>& glyphs) {
            cells.DrawTextLine(*painter, origin(row), glyphs, none, 0, page.width());
        });
    }
    return pages;
}
