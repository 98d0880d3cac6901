#include "SystemErrorText.h"

#include <QFile>
#include <QTemporaryDir>

#include <cerrno>
#include <gtest/gtest.h>

TEST(SystemErrorText, CommonReasonsReadInKoreanOthersKeepTheirNumber)
{
    const std::pair<int, const char*> cases[] = {
        {ENOENT, "해당 파일이나 장치가 없습니다"},
        {EACCES, "접근 권한이 없습니다"},
        {EBUSY, "장치가 사용 중입니다"},
        {ECONNREFUSED, "상대편이 연결을 거부했습니다"},
    };
    for (const auto& [error, text] : cases)
        EXPECT_EQ(SystemErrorText(error), QString::fromUtf8(text)) << error;
    // A reason without a Korean text still says which one it was.
    EXPECT_TRUE(SystemErrorText(ENOEXEC).endsWith(QStringLiteral("(오류 번호 %1)").arg(ENOEXEC)));
    EXPECT_FALSE(SystemErrorText(ENOEXEC).startsWith(u'('));
}

TEST(SystemErrorText, FileReasonsReadInKoreanToo)
{
    QTemporaryDir dir;
    QFile plain(dir.filePath(QStringLiteral("plain")));
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.close();
    // Qt words the first in English whatever the locale, the second as the C library does.
    const std::pair<QString, const char*> cases[] = {
        {dir.filePath(QStringLiteral("missing")), "해당 파일이나 장치가 없습니다"},
        {dir.filePath(QStringLiteral("plain/inside")), "폴더가 아닙니다"},
    };
    for (const auto& [path, text] : cases) {
        QFile file(path);
        ASSERT_FALSE(file.open(QIODevice::ReadOnly)) << qPrintable(path);
        EXPECT_EQ(FileErrorText(file), QString::fromUtf8(text)) << qPrintable(path);
    }
}
