#include "SystemErrorText.h"

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
