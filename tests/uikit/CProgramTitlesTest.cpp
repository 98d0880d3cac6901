#include "CProgramTitles.h"
#include "MessageCapture.h"

#include <QWidget>
#include <gtest/gtest.h>

TEST(CProgramTitles, TheModifiedMarkReadsAsTheTitleBarShowsIt)
{
    const std::tuple<const char*, bool, const char*> cases[] = {
        {"Script1[*]", false, "Script1"}, {"Script1[*]", true, "Script1*"},
        {"Tvn4", true, "Tvn4"},           {"[*][*]literal", true, "[*]literal"},
        {"a[*][*][*]b", true, "a[*]*b"},  {"a[*] b[*]", false, "a b"},
    };
    QWidget window;
    for (const auto& [title, modified, shown] : cases) {
        window.setWindowTitle(QString::fromUtf8(title));
        window.setWindowModified(modified);
        EXPECT_EQ(ShownWindowTitle(&window), QString::fromUtf8(shown)) << title;
    }

    const CProgramTitles titles(QStringLiteral("TARVEN"), nullptr);
    const std::pair<const char*, const char*> bars[] = {
        {"통신포트 설정", "통신포트 설정 — TARVEN"},
        {"TARVEN 환경설정", "TARVEN 환경설정"},
        {"TARVEN - [Tvn4]", "TARVEN - [Tvn4]"},
        {"", "TARVEN"},
    };
    window.setWindowModified(false);
    for (const auto& [title, bar] : bars) {
        window.setWindowTitle(QString::fromUtf8(title));
        EXPECT_EQ(titles.BarTitle(&window), QString::fromUtf8(bar)) << title;
    }
}
