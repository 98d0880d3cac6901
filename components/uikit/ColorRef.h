#pragma once

#include <QColor>
#include <cstdint>

// Colours are stored as COLORREF integers, 0x00BBGGRR, so settings keep their old values.
using COLORREF = std::uint32_t;

constexpr COLORREF MakeColorRef(int r, int g, int b)
{
    return static_cast<COLORREF>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}

inline QColor ColourFromRef(COLORREF ref)
{
    return QColor(ref & 0xFF, (ref >> 8) & 0xFF, (ref >> 16) & 0xFF);
}

inline COLORREF RefFromColour(const QColor& colour)
{
    return MakeColorRef(colour.red(), colour.green(), colour.blue());
}
