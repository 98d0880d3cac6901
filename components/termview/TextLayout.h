#pragma once

#include "CArrivalStamps.h"
#include "CByteLog.h"
#include "TextEncoding.h"

#include <QString>
#include <cstdint>
#include <vector>

// How a byte is painted: its direction picks the In or Out colours, and control codes shown by
// name use the control colours.
enum class CellStyle : uint8_t
{
    TextOut,
    TextIn,
    ControlOut,
    ControlIn,
};

CellStyle TextStyle(uint8_t attr);
CellStyle ControlStyle(uint8_t attr);

// One thing drawn in a text line: a character, a label (a control code's name, or "<XX>" for
// a byte that is no character), or an arrival stamp, placed on the character-cell grid.
struct Glyph
{
    uint64_t offset = 0; // absolute offset of its first byte
    char32_t ch = 0;     // the character; 0 for a label
    char label[5] = {};
    int col = 0;
    uint8_t bytes = 1;
    uint8_t cells = 1; // 2 for wide (Hangul, CJK) characters
    CellStyle style = CellStyle::TextOut;
    int stampMs = -1; // a stamp's time of day; a stamp covers no bytes
    int client = -1;  // a stamp's client mark
    bool IsStamp() const { return stampMs >= 0 || client >= 0; }
};

// Shown in text mode for a byte that is no character of the encoding.
inline constexpr char32_t kStrayByteMark = 0x00B7;

// Lays out one line of the log in text mode. Every character takes its cells (a wide one two);
// a byte that is no character takes one (four, as "<XX>", when control codes are shown).
// Hidden control codes take no room, except a tab, which still moves to the next tab stop.
// Each of stamps (offsets rising) goes right before the first glyph at or after its offset:
// its time unless msOfDay is -1, then its client mark if it has one.
std::vector<Glyph> LayoutLine(const std::vector<Cell>& cells, uint64_t start, bool showControls,
                              TextEncoding encoding, const std::vector<ArrivalStamp>& stamps = {});
// Columns the laid-out line takes.
int LineCells(const std::vector<Glyph>& glyphs);

// Text for the clipboard from logged bytes: line breaks become newlines (CR LF only one);
// visible control codes and stray bytes are written "<0D>" as transmit texts write them.
QString CopyText(const std::vector<Cell>& cells, bool showControls, TextEncoding encoding);
// Hex-mode clipboard text: the bytes as two-digit hex values separated by spaces.
QString CopyHex(const std::vector<Cell>& cells);

bool IsWide(char32_t ch);
