#include "TextLayout.h"

#include "ControlCodeNames.h"
#include "TermViewConstants.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

CellStyle TextStyle(uint8_t attr)
{
    return IsInbound(attr) ? CellStyle::TextIn : CellStyle::TextOut;
}

CellStyle ControlStyle(uint8_t attr)
{
    return IsInbound(attr) ? CellStyle::ControlIn : CellStyle::ControlOut;
}

bool IsWide(char32_t ch)
{
    return (ch >= 0x1100 && ch <= 0x115F) || (ch >= 0x2E80 && ch <= 0xA4CF && ch != 0x303F) ||
           (ch >= 0xAC00 && ch <= 0xD7A3) || (ch >= 0xF900 && ch <= 0xFAFF) ||
           (ch >= 0xFE30 && ch <= 0xFE4F) || (ch >= 0xFF00 && ch <= 0xFF60) ||
           (ch >= 0xFFE0 && ch <= 0xFFE6) || (ch >= 0x20000 && ch <= 0x3FFFD);
}

namespace {
Glyph Label(uint64_t offset, int col, uint8_t attr, const char* text)
{
    Glyph g;
    g.offset = offset;
    g.col = col;
    g.style = ControlStyle(attr);
    const std::size_t length = std::min(std::strlen(text), sizeof g.label - 1);
    std::memcpy(g.label, text, length);
    g.label[length] = '\0';
    g.cells = static_cast<uint8_t>(length);
    return g;
}
} // namespace

std::vector<Glyph> LayoutLine(const std::vector<Cell>& cells, uint64_t start, bool showControls,
                              TextEncoding encoding, const std::vector<ArrivalStamp>& stamps)
{
    std::vector<Glyph> glyphs;
    glyphs.reserve(cells.size() + stamps.size());
    CTextDecoder decoder(cells, encoding);
    int col = 0;
    auto stamp = stamps.begin();
    for (std::size_t i = 0; i < cells.size();) {
        const Cell cell = cells[i];
        const uint64_t offset = start + i;
        for (; stamp != stamps.end() && stamp->offset <= offset; ++stamp) {
            Glyph s;
            s.offset = offset;
            s.col = col;
            s.bytes = 0;
            s.stampMs = stamp->msOfDay;
            s.client = stamp->client;
            s.cells = static_cast<uint8_t>(CArrivalStamps::LeadText(s.stampMs, s.client).size());
            col += s.cells;
            glyphs.push_back(s);
        }
        Glyph g;
        g.offset = offset;
        g.col = col;
        g.style = TextStyle(cell.attr);
        if (IsControlCode(cell.byte)) {
            ++i;
            if (showControls) {
                g = Label(offset, col, cell.attr, ControlCodeName(cell.byte));
            } else if (cell.byte == '\t') {
                g.ch = ' ';
                g.cells = static_cast<uint8_t>(kTabCells - col % kTabCells);
            } else {
                continue;
            }
        } else if (cell.byte < 0x80) {
            g.ch = cell.byte;
            ++i;
        } else if (const int length = decoder.Decode(i, &g.ch); length > 0) {
            g.bytes = static_cast<uint8_t>(length);
            g.cells = IsWide(g.ch) ? 2 : 1;
            i += static_cast<std::size_t>(length);
        } else {
            ++i;
            if (showControls) {
                char hex[5];
                std::snprintf(hex, sizeof hex, "<%02X>", cell.byte);
                g = Label(offset, col, cell.attr, hex);
            } else {
                // A stray byte keeps the control colours, so it never passes for text.
                g.ch = kStrayByteMark;
                g.style = ControlStyle(cell.attr);
            }
        }
        col += g.cells;
        glyphs.push_back(g);
    }
    return glyphs;
}

int LineCells(const std::vector<Glyph>& glyphs)
{
    return glyphs.empty() ? 0 : glyphs.back().col + glyphs.back().cells;
}

QString CopyText(const std::vector<Cell>& cells, bool showControls, TextEncoding encoding)
{
    QString text;
    CTextDecoder decoder(cells, encoding);
    const auto code = [&](uint8_t b) {
        text += QStringLiteral("<%1>").arg(b, 2, 16, QLatin1Char('0')).toUpper();
    };
    for (std::size_t i = 0; i < cells.size();) {
        const uint8_t b = cells[i].byte;
        char32_t ch = 0;
        if (b == '\r' || b == '\n') {
            const bool pair = b == '\r' && i + 1 < cells.size() && cells[i + 1].byte == '\n';
            if (showControls) {
                code(b);
                if (pair)
                    code('\n');
            }
            text += QLatin1Char('\n');
            i += pair ? 2 : 1;
        } else if (IsControlCode(b)) {
            if (showControls)
                code(b);
            else if (b == '\t')
                text += QLatin1Char('\t');
            ++i;
        } else if (b < 0x80) {
            text += QLatin1Char(static_cast<char>(b));
            ++i;
        } else if (const int length = decoder.Decode(i, &ch); length > 0) {
            text += QString::fromUcs4(&ch, 1);
            i += length;
        } else {
            if (showControls)
                code(b);
            else
                text += QChar(0xFFFD);
            ++i;
        }
    }
    return text;
}

QString CopyHex(const std::vector<Cell>& cells)
{
    QString text;
    for (const Cell& cell : cells) {
        if (!text.isEmpty())
            text += QLatin1Char(' ');
        text += QStringLiteral("%1").arg(cell.byte, 2, 16, QLatin1Char('0')).toUpper();
    }
    return text;
}
