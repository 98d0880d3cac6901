#include "CXPropertySheet.h"
#include "CXPropertyPage.h"

#include <QPointer>
#include <gtest/gtest.h>

TEST(CXPropertySheet, AddFindAndDeletePagesByTitle)
{
    CXPropertySheet sheet;
    const QStringList titles = {"Script1", "/home/u/a.tsl", "Script3"};
    for (int i = 0; i < titles.size(); ++i) {
        EXPECT_EQ(sheet.AddPage(new CXPropertyPage(titles[i]), QIcon(), 1), i);
        // Each new page becomes the current one.
        EXPECT_EQ(sheet.currentIndex(), i);
    }
    EXPECT_EQ(sheet.Page(1)->Value(), 1);
    EXPECT_EQ(sheet.tabText(1), "/home/u/a.tsl");

    EXPECT_EQ(sheet.FindPage("Script3"), 2);
    EXPECT_EQ(sheet.FindPage("/home/u/a.tsl"), 1);
    EXPECT_LT(sheet.FindPage("Script"), 0);
    EXPECT_LT(sheet.FindPage(""), 0);

    QPointer<CXPropertyPage> removed = sheet.Page(1);
    EXPECT_EQ(sheet.DeletePage(1), 2);
    EXPECT_TRUE(removed.isNull());
    EXPECT_EQ(sheet.FindPage("Script3"), 1);
    EXPECT_EQ(sheet.DeletePage(5), -1);
    EXPECT_EQ(sheet.DeletePage(-1), -1);
    EXPECT_EQ(sheet.count(), 2);
}

TEST(CXTabCtrl, AssigningAnIndexSelectsThatTab)
{
    CXPropertySheet sheet;
    for (const char* title : {"a", "b", "c"})
        sheet.AddPage(new CXPropertyPage(title), QIcon(), 1);
    sheet.TabCtrl() = 0;
    EXPECT_EQ(sheet.currentIndex(), 0);
    sheet.TabCtrl() = sheet.count() - 1;
    EXPECT_EQ(sheet.currentIndex(), 2);
    // An index past the end leaves the selection alone.
    sheet.TabCtrl() = 7;
    EXPECT_EQ(sheet.currentIndex(), 2);
}
