#pragma once

#include "CTextLogStore.h"
#include "TextLayout.h"

#include <QFont>
#include <QString>
#include <QStringList>
#include <vector>

class QPagedPaintDevice;
class QPainter;

// Prints the whole log, paginated, in the view's display mode: a header with the caller's texts
// and "page / pages" on every page; long text lines continue on the next printed row.
class CTextViewPrinter
{
public:
    CTextViewPrinter(const CTextLogStore& store, bool hex, bool showControls, TextEncoding encoding,
                     const QFont& font)
        : m_store(store), m_bHex(hex), m_bControls(showControls), m_encoding(encoding), m_font(font)
    {}

    // Draws on painter, which is active on device; starts new pages on device as needed.
    // Returns the number of pages printed.
    int Print(QPainter* painter, QPagedPaintDevice* device, const QStringList& header) const;

private:
    // Visual rows of one text line, at most cols wide, each shifted to start at column 0.
    static std::vector<std::vector<Glyph>> Wrap(std::vector<Glyph> glyphs, int cols);
    // Calls draw(rowIndex, glyphs) for every printed text row; returns the row count.
    template <typename Draw>
    std::size_t ForEachTextRow(const std::vector<RowData>& lines, int cols, Draw&& draw) const;

    const CTextLogStore& m_store;
    bool m_bHex;
    bool m_bControls;
    TextEncoding m_encoding;
    QFont m_font;
};
