#include "WindowArrangement.h"

#include <gtest/gtest.h>

#include <ostream>

inline void PrintTo(const QRect& rect, std::ostream* os)
{
    *os << rect.x() << ',' << rect.y() << ' ' << rect.width() << 'x' << rect.height();
}

namespace {

const QRect kArea(0, 0, 1020, 459);

bool Overlap(const QList<QRect>& rects)
{
    for (qsizetype i = 0; i < rects.size(); ++i) {
        for (qsizetype j = i + 1; j < rects.size(); ++j) {
            if (rects[i].intersects(rects[j]))
                return true;
        }
    }
    return false;
}

} // namespace

TEST(WindowArrangement, TilesChooseTheMostEvenGridThatKeepsEveryMinimum)
{
    const QSize monitor(242, 154);
    const QSize script(283, 125);
    const QSize wide(600, 100);
    struct Case
    {
        const char* what;
        QList<QSize> minimums;
        QList<QRect> cells; // empty: only the common rules are checked
        bool overlap;
    };
    const Case cases[] = {
        {"one fills the area", {monitor}, {kArea}, false},
        {"two side by side", {monitor, script}, {{0, 0, 510, 459}, {510, 0, 510, 459}}, false},
        {"three: the last row shares the whole width",
         {monitor, script, monitor},
         {{0, 0, 510, 229}, {510, 0, 510, 229}, {0, 229, 1020, 230}},
         false},
        {"six mixed: three by two",
         {monitor, script, monitor, script, monitor, script},
         {{0, 0, 340, 229},
          {340, 0, 340, 229},
          {680, 0, 340, 229},
          {0, 229, 340, 230},
          {340, 229, 340, 230},
          {680, 229, 340, 230}},
         false},
        {"wide windows take a column of their own",
         {wide, wide, wide},
         {{0, 0, 1020, 153}, {0, 153, 1020, 153}, {0, 306, 1020, 153}},
         false},
        {"nine monitors: too many for the room, they overlap inside it",
         QList<QSize>(9, monitor),
         {},
         true},
        {"none", {}, {}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const QList<QRect> cells = WindowArrangement::Tile(c.minimums, kArea);
        ASSERT_EQ(cells.size(), c.minimums.size());
        if (!c.cells.isEmpty()) {
            EXPECT_EQ(cells, c.cells);
        }
        EXPECT_EQ(Overlap(cells), c.overlap);
        for (qsizetype i = 0; i < cells.size(); ++i) {
            EXPECT_TRUE(kArea.contains(cells[i])) << i;
            EXPECT_GE(cells[i].width(), c.minimums[i].width()) << i;
            EXPECT_GE(cells[i].height(), c.minimums[i].height()) << i;
        }
    }
}

TEST(WindowArrangement, CascadesStepDownInsideTheAreaAndStartAgainWhenFull)
{
    const QSize monitor(242, 154);
    const int step = 26;
    struct Case
    {
        int count;
        QSize size;    // of every window
        int positions; // steps before starting again at the top left
    };
    const Case cases[] = {
        {1, kArea.size(), 1},
        {6, {1020 - 5 * step, 459 - 5 * step}, 6},
        // Windows no smaller than half the area: eight steps at most here.
        {12, {1020 - 8 * step, 459 - 8 * step}, 9},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.count);
        const QList<QRect> rects =
            WindowArrangement::Cascade(QList<QSize>(c.count, monitor), kArea, step);
        ASSERT_EQ(rects.size(), c.count);
        for (int i = 0; i < c.count; ++i) {
            EXPECT_TRUE(kArea.contains(rects[i])) << i;
            EXPECT_EQ(rects[i].size(), c.size) << i;
            const int offset = (i % c.positions) * step;
            EXPECT_EQ(rects[i].topLeft(), QPoint(offset, offset)) << i;
        }
    }
    // A window larger than the area keeps its minimum, from the top left.
    const QList<QRect> big = WindowArrangement::Cascade({QSize(1500, 700)}, kArea, step);
    EXPECT_EQ(big, QList<QRect>{QRect(0, 0, 1500, 700)});
}

TEST(WindowArrangement, FitInsideShrinksToTheAreaAndMovesIn)
{
    const std::tuple<QRect, QSize, QRect> cases[] = {
        {{10, 20, 300, 200}, {100, 100}, {10, 20, 300, 200}},    // inside: left alone
        {{900, 400, 640, 400}, {100, 100}, {380, 59, 640, 400}}, // moved in
        {{0, 0, 1200, 600}, {100, 100}, kArea},                  // shrunk to the area
        {{-50, -50, 200, 200}, {100, 100}, {0, 0, 200, 200}},    // off the top left
        {{500, 300, 50, 50}, {800, 500}, {220, 0, 800, 500}},    // its minimum exceeds the area
    };
    for (const auto& [rect, minimum, expected] : cases)
        EXPECT_EQ(WindowArrangement::FitInside(rect, minimum, kArea), expected);
}

TEST(WindowArrangement, SavedPlacesGoBackOntoAScreenThereIs)
{
    const QRect left(0, 0, 1280, 1000);
    const QRect right(1280, 0, 1920, 1050);
    const std::tuple<const char*, QRect, QList<QRect>, QRect> cases[] = {
        {"where it was", {100, 80, 1024, 768}, {left}, {100, 80, 1024, 768}},
        {"on the second screen", {1400, 50, 800, 600}, {left, right}, {1400, 50, 800, 600}},
        {"the second screen is gone", {1400, 50, 800, 600}, {left}, {}},
        {"mostly off the edge: moved on", {1100, 850, 800, 600}, {left}, {480, 400, 800, 600}},
        {"larger than the screen now", {0, 0, 1920, 1050}, {left}, left},
        {"on the screen that shows most of it",
         {1000, 100, 800, 600},
         {left, right},
         {1280, 100, 800, 600}},
        {"a corner too small to take hold of", {1250, 980, 800, 600}, {left}, {}},
        {"nothing saved", {}, {left}, {}},
    };
    for (const auto& [what, saved, screens, expected] : cases)
        EXPECT_EQ(WindowArrangement::OntoScreens(saved, screens), expected) << what;
}

TEST(WindowArrangement, TheMainWindowOpensCentredOrMaximisedWhereItDoesNotFit)
{
    const QSize size(1024, 768);
    const std::tuple<QRect, WindowArrangement::Placement> cases[] = {
        {{0, 0, 1280, 1024}, {{128, 128, 1024, 768}, false}},
        {{1280, 0, 1920, 1050}, {{1728, 141, 1024, 768}, false}},
        // No room for the title bar above 768 lines: maximised, and a normal size that fits.
        {{0, 0, 1024, 768}, {{8, 24, 1008, 720}, true}},
        {{0, 0, 1280, 800}, {{128, 24, 1024, 752}, true}},
        {{0, 0, 800, 600}, {{8, 24, 784, 552}, true}},
    };
    for (const auto& [screen, expected] : cases) {
        const WindowArrangement::Placement placed =
            WindowArrangement::DefaultPlacement(size, screen);
        EXPECT_EQ(placed.geometry, expected.geometry);
        EXPECT_EQ(placed.maximized, expected.maximized);
    }
}
