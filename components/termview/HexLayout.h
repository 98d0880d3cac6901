#pragma once

#include "TermViewConstants.h"

// Columns of the hex dump row: "00000010  41 42 43 44 45 46 47 48  49 4A ...  ABCDEFGHIJ...".
namespace HexLayout {

inline constexpr int kOffsetCells = 8;
inline constexpr int kFirstHexCol = kOffsetCells + 2;
// A wider gap after the eighth byte.
inline constexpr int HexCol(int i)
{
    return kFirstHexCol + 3 * i + (i >= kHexBytesPerRow / 2 ? 1 : 0);
}
inline constexpr int kFirstAsciiCol = HexCol(kHexBytesPerRow - 1) + 2 + 2;
inline constexpr int AsciiCol(int i)
{
    return kFirstAsciiCol + i;
}
inline constexpr int kRowCells = AsciiCol(kHexBytesPerRow);

// Byte index (0..15) shown at a column, in either the hex or the character part; -1 between.
// A column in the gap right after a hex pair counts for that byte.
inline int ByteAtColumn(int col)
{
    if (col >= kFirstAsciiCol && col < kRowCells)
        return col - kFirstAsciiCol;
    for (int i = 0; i < kHexBytesPerRow; ++i) {
        if (col >= HexCol(i) && col < HexCol(i) + 3)
            return i;
    }
    return -1;
}

} // namespace HexLayout
