#include "ProgramLanguage.h"

#include <QLocale>

#include <gtest/gtest.h>

using tsl::Language;

TEST(ProgramLanguage, OptionThenSettingThenTheSystemChooseAndMessagesStayKoreanByDefault)
{
    const QLocale korean(QLocale::Korean, QLocale::SouthKorea);
    const QLocale english(QLocale::English, QLocale::UnitedStates);
    const QLocale german(QLocale::German, QLocale::Germany);
    struct Case
    {
        const char* option;
        const char* setting;
        QLocale system;
        Language windows;
        Language messages;
    };
    const Case cases[] = {
        {"", "", korean, Language::Korean, Language::Korean},
        {"", "", english, Language::English, Language::Korean},
        {"", "", german, Language::English, Language::Korean},
        {"en", "", korean, Language::English, Language::English},
        {"ko", "en", english, Language::Korean, Language::Korean},
        {"", "en", korean, Language::English, Language::English},
        {"", "ko", german, Language::Korean, Language::Korean},
        // Words that name no language are passed over.
        {"fr", "en", korean, Language::English, Language::English},
        {"EN", "", korean, Language::Korean, Language::Korean},
    };
    for (const Case& c : cases) {
        const ProgramLanguage chosen = ProgramLanguage::Choose(
            QString::fromLatin1(c.option), QString::fromLatin1(c.setting), c.system);
        EXPECT_EQ(chosen.windows, c.windows) << c.option << "/" << c.setting;
        EXPECT_EQ(chosen.messages, c.messages) << c.option << "/" << c.setting;
    }
}
