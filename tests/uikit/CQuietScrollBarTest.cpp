#include "CQuietScrollBar.h"

#include <QApplication>
#include <QImage>
#include <QPaintEvent>
#include <QScreen>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// Counts its own paints.
class CountingBar : public CQuietScrollBar
{
public:
    CountingBar() : CQuietScrollBar(Qt::Vertical) {}
    int nPaints = 0;

protected:
    void paintEvent(QPaintEvent* event) override
    {
        ++nPaints;
        CQuietScrollBar::paintEvent(event);
    }
};

// What the window shows, then what it shows drawn anew: equal unless the shown one is stale.
std::pair<QImage, QImage> ShownAndFresh(CQuietScrollBar& bar)
{
    // The bar looks again after the changes of one pass (later while changes keep coming), and
    // its repaint is posted from there.
    EXPECT_TRUE(QTest::qWaitFor([&] { return !bar.LookCheckPending(); }));
    QApplication::processEvents();
    QApplication::processEvents();
    const QImage shown = bar.screen()->grabWindow(bar.winId()).toImage();
    bar.repaint();
    return {shown, bar.screen()->grabWindow(bar.winId()).toImage()};
}

} // namespace

TEST(CQuietScrollBar, PaintsWhenTheThumbMovesAndOnlyThen)
{
    CountingBar bar;
    bar.resize(14, 400);
    bar.setPageStep(40);
    bar.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&bar));
    bar.setRange(0, 100);
    bar.setValue(100);
    auto [shown, fresh] = ShownAndFresh(bar);
    EXPECT_EQ(shown, fresh);

    // A long log, followed: rows added keep the thumb at the bottom and its length at the least.
    bar.setRange(0, 50000);
    bar.setValue(50000);
    std::tie(shown, fresh) = ShownAndFresh(bar);
    EXPECT_EQ(shown, fresh);
    const int paints = bar.nPaints;
    for (int maximum = 50001; maximum < 50040; ++maximum) {
        bar.setRange(0, maximum);
        bar.setValue(maximum);
        QApplication::processEvents();
    }
    EXPECT_EQ(bar.nPaints, paints);
    std::tie(shown, fresh) = ShownAndFresh(bar);
    EXPECT_EQ(shown, fresh);

    // The reader scrolls up: the thumb moves and is drawn where it went.
    const QImage bottom = fresh;
    bar.setValue(0);
    std::tie(shown, fresh) = ShownAndFresh(bar);
    EXPECT_EQ(shown, fresh);
    EXPECT_NE(shown, bottom);
}
