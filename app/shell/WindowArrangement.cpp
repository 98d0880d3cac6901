#include "WindowArrangement.h"

#include <QWidget>

#include <algorithm>
#include <cmath>

namespace WindowArrangement {

namespace {

int RowsFor(int count, int columns)
{
    return (count + columns - 1) / columns;
}

// Column counts from the most even grid outwards: 3, 2, 4, 1, 5, 6 for six windows.
QList<int> ColumnChoices(int count)
{
    const int even = std::max(1, static_cast<int>(std::ceil(std::sqrt(double(count)))));
    QList<int> choices{even};
    for (int distance = 1; choices.size() < count; ++distance) {
        if (even - distance >= 1)
            choices.append(even - distance);
        if (even + distance <= count)
            choices.append(even + distance);
    }
    return choices;
}

bool EachFits(const QList<QSize>& minimumSizes, const QList<QRect>& cells)
{
    for (qsizetype i = 0; i < cells.size(); ++i) {
        if (minimumSizes[i].width() > cells[i].width() ||
            minimumSizes[i].height() > cells[i].height())
            return false;
    }
    return true;
}

QSize LargestMinimum(const QList<QSize>& minimumSizes)
{
    QSize largest(0, 0);
    for (const QSize& minimum : minimumSizes)
        largest = largest.expandedTo(minimum);
    return largest;
}

} // namespace

QList<QRect> TileCells(int count, int columns, const QRect& area)
{
    QList<QRect> cells;
    if (count <= 0 || columns <= 0)
        return cells;
    columns = std::min(columns, count);
    const int rows = RowsFor(count, columns);
    for (int row = 0; row < rows; ++row) {
        const int inRow = row < rows - 1 ? columns : count - columns * (rows - 1);
        // Edges by proportion, so the cells meet and the last one ends at the area's edge.
        const int top = area.top() + area.height() * row / rows;
        const int bottom = area.top() + area.height() * (row + 1) / rows;
        for (int column = 0; column < inRow; ++column) {
            const int left = area.left() + area.width() * column / inRow;
            const int right = area.left() + area.width() * (column + 1) / inRow;
            cells.append(QRect(left, top, right - left, bottom - top));
        }
    }
    return cells;
}

QList<QRect> Tile(const QList<QSize>& minimumSizes, const QRect& area)
{
    const int count = static_cast<int>(minimumSizes.size());
    if (count == 0)
        return {};
    const QList<int> choices = ColumnChoices(count);
    for (int columns : choices) {
        const QList<QRect> cells = TileCells(count, columns, area);
        if (EachFits(minimumSizes, cells))
            return cells;
    }
    // Too many windows for the room: they overlap rather than leave it.
    QList<QRect> cells = TileCells(count, choices.first(), area);
    for (qsizetype i = 0; i < cells.size(); ++i)
        cells[i] = FitInside(cells[i], minimumSizes[i], area);
    return cells;
}

QList<QRect> Cascade(const QList<QSize>& minimumSizes, const QRect& area, int step)
{
    const int count = static_cast<int>(minimumSizes.size());
    if (count == 0)
        return {};
    step = std::max(step, 1);
    const QSize smallest = LargestMinimum(minimumSizes).expandedTo(area.size() / 2);
    int positions = count;
    while (positions > 1 && (area.width() - (positions - 1) * step < smallest.width() ||
                             area.height() - (positions - 1) * step < smallest.height()))
        --positions;
    const QSize size(area.width() - (positions - 1) * step, area.height() - (positions - 1) * step);
    QList<QRect> rects;
    for (int i = 0; i < count; ++i) {
        const int offset = (i % positions) * step;
        rects.append(
            FitInside(QRect(area.topLeft() + QPoint(offset, offset), size), minimumSizes[i], area));
    }
    return rects;
}

QRect FitInside(const QRect& rect, const QSize& minimum, const QRect& area)
{
    const QSize size = rect.size().boundedTo(area.size()).expandedTo(minimum);
    const int left = std::max(area.left(), std::min(rect.left(), area.right() + 1 - size.width()));
    const int top = std::max(area.top(), std::min(rect.top(), area.bottom() + 1 - size.height()));
    return QRect(QPoint(left, top), size);
}

QRect OntoScreens(const QRect& saved, const QList<QRect>& screens)
{
    // Enough of the window to see it and take hold of it.
    constexpr int kSeenWidthPx = 100;
    constexpr int kSeenHeightPx = 50;
    if (!saved.isValid())
        return {};
    QRect best;
    qint64 bestArea = 0;
    for (const QRect& screen : screens) {
        const QRect seen = saved.intersected(screen);
        if (seen.width() < std::min(saved.width(), kSeenWidthPx) ||
            seen.height() < std::min(saved.height(), kSeenHeightPx))
            continue;
        const qint64 area = qint64(seen.width()) * seen.height();
        if (area > bestArea) {
            bestArea = area;
            best = FitInside(saved, QSize(0, 0), screen);
        }
    }
    return best;
}

Placement DefaultPlacement(const QSize& size, const QRect& screen)
{
    // What a window manager adds around a window, generously: a title bar and borders.
    const QSize decoration(16, 48);
    const QSize room = (screen.size() - decoration).expandedTo(QSize(1, 1));
    Placement placement;
    placement.maximized = size.width() > room.width() || size.height() > room.height();
    const QSize fitted = size.boundedTo(room);
    placement.geometry = QRect(QPoint(0, 0), fitted);
    placement.geometry.moveCenter(screen.center());
    return placement;
}

QSize SmallestSize(const QWidget* window)
{
    return window->minimumSizeHint().expandedTo(window->minimumSize());
}

} // namespace WindowArrangement
