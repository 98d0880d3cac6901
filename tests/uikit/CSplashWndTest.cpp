#include "CSplashWnd.h"

#include <QTest>
#include <gtest/gtest.h>

namespace {
QPixmap Picture()
{
    QPixmap picture(120, 80);
    picture.fill(Qt::darkBlue);
    return picture;
}
} // namespace

TEST(CSplashWnd, GoesAwayByItselfAfterItsTime)
{
    CSplashWnd splash(Picture(), 50);
    ASSERT_TRUE(splash.Create());
    EXPECT_TRUE(splash.isVisible());
    QTRY_VERIFY_WITH_TIMEOUT(!splash.isVisible(), 10000);
}

TEST(CSplashWnd, WithoutAPictureItIsNotShown)
{
    CSplashWnd splash(QPixmap(), 5000);
    EXPECT_FALSE(splash.Create());
    EXPECT_FALSE(splash.isVisible());
}
