#include "SearchHistory.h"
#include "CTARVENApp.h"
#include "ShellConstants.h"
#include "ShellTestEnv.h"

using SearchHistoryTest = ShellTest;

TEST_F(SearchHistoryTest, LoadsAtMostAHundredNonBlankEntriesAndSavesThemBackAtExit)
{
    {
        QSettings settings(kCompanyName, kApplicationName);
        settings.beginGroup("EDIT");
        settings.setValue("FINDSTRINGCOUNT", 150);
        for (int i = 0; i < 150; ++i)
            settings.setValue(QString("FINDSTRING%1").arg(i), QString("find%1").arg(i));
        settings.setValue("FINDSTRING3", "   ");
        settings.setValue("FINDSTRING4", "");
        settings.setValue("FINDSTRING5", "  \tpadded ");
        settings.remove("FINDSTRING6");
        settings.setValue("REPLACESTRINGCOUNT", 2);
        settings.setValue("REPLACESTRING0", "one");
        settings.setValue("REPLACESTRING1", "two");
        settings.setValue("REPLACESTRING2", "beyond the count");
    }
    {
        QSettings settings(kCompanyName, kApplicationName);
        const SearchHistory history = SearchHistory::Load(settings);
        ASSERT_EQ(history.find.size(), 100 - 3);
        EXPECT_EQ(history.find[0], "find0");
        EXPECT_EQ(history.find[3], "padded ");
        EXPECT_EQ(history.find[4], "find7");
        EXPECT_EQ(history.find.last(), "find99");
        EXPECT_EQ(history.replace, QStringList({"one", "two"}));
    }
    {
        auto app = StartApp();
        EXPECT_EQ(app->m_history.find.size(), 97);
        app->m_history.find = {"OUT", "IN"};
        app->m_history.replace = {"<0D><0A>"};
        app->ExitInstance();
        EXPECT_TRUE(app->m_history.find.isEmpty());
    }
    QSettings settings(kCompanyName, kApplicationName);
    settings.beginGroup("EDIT");
    EXPECT_EQ(settings.value("FINDSTRINGCOUNT").toInt(), 2);
    EXPECT_EQ(settings.value("FINDSTRING1").toString(), "IN");
    EXPECT_EQ(settings.value("REPLACESTRINGCOUNT").toInt(), 1);
    EXPECT_EQ(settings.value("REPLACESTRING0").toString(), "<0D><0A>");
    // Entries of the longer list saved before are gone.
    EXPECT_FALSE(settings.contains("FINDSTRING4"));
    EXPECT_FALSE(settings.contains("REPLACESTRING1"));
    settings.endGroup();
    auto app = StartApp();
    EXPECT_EQ(app->m_history.find, QStringList({"OUT", "IN"}));
}
