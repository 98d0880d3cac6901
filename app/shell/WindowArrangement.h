#pragma once

#include <QList>
#include <QRect>
#include <QSize>

class QWidget;

// Where the arranging commands of the 창 menu put the child windows, worked out from the area
// behind them and the smallest size each window can take. Every result lies inside the area
// whenever the windows' minimum sizes allow it, so arranging never pushes a window (and its
// status bar) out of sight or makes the main window grow.
namespace WindowArrangement {

// The cells of a grid of `columns` per row that fills area, row by row; a last row with fewer
// windows shares the whole width between them.
QList<QRect> TileCells(int count, int columns, const QRect& area);

// Tiles windows of these minimum sizes: the most even grid in which every window keeps at
// least its minimum size, else the most even grid with the windows fitted inside the area.
QList<QRect> Tile(const QList<QSize>& minimumSizes, const QRect& area);

// Cascades windows of these minimum sizes: one size for all, each one step right of and below
// the one before, starting again at the top left where one more step would make the windows
// smaller than half the area or than a window's minimum.
QList<QRect> Cascade(const QList<QSize>& minimumSizes, const QRect& area, int step);

// rect made no larger than area (nor smaller than minimum) and moved inside it; a window whose
// minimum exceeds the area keeps its top left corner in the area.
QRect FitInside(const QRect& rect, const QSize& minimum, const QRect& area);

// Where a window saved at `saved` goes back on the screens there are now (their available
// geometries): onto the screen that shows most of it, made no larger than that screen and moved
// wholly onto it. A null rect when no screen would show a good part of it: the screen it was on
// is gone, and the window takes its default place instead.
QRect OntoScreens(const QRect& saved, const QList<QRect>& screens);

// Where a main window of `size` first opens on a screen of this available geometry: centred,
// and when it would not fit there with its title bar and borders (a 1024 x 768 screen),
// maximised, with a normal geometry that does fit.
struct Placement
{
    QRect geometry;
    bool maximized = false;
    bool operator==(const Placement&) const = default;
};
Placement DefaultPlacement(const QSize& size, const QRect& screen);

// The smallest size window takes: its layout's minimum, or a minimum set on it.
QSize SmallestSize(const QWidget* window);

} // namespace WindowArrangement
