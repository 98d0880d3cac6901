// Messages of the comparison, jump and timing commands (line 8 after the test declarations).
#include "VerifyScript.h"

#include <gtest/gtest.h>

TEST(VerifierFlowCommands, CompareWantsAKnownLeftNameAndAValidRightValue)
{
    ExpectMessages(
        {
            {"CMP X", {"error : line 8, 'CMP' 명령어 사용이 잘못되었습니다..."}},
            {"CMP X,1,2", {"error : line 8, 'CMP' 명령어 사용이 잘못되었습니다..."}},
            {"CMP Q,1", {"error : line 8, 'Q' 변수를 찾을수 없습니다..."}},
            {"CMP X,Q", {"error : line 8, 'Q' 변수를 찾을수 없습니다..."}},
            {"CMP X,W[-1]", {"error : line 8, 'W[-1]' 변수를 찾을수 없습니다..."}},
        },
        Place::Main);
    ExpectValid({"CMP X,10", "CMP X,W[1]", "CMP D,-2.5"}, Place::Main);
}

TEST(VerifierFlowCommands, JumpsNameALabelAnywhereInTheMainSection)
{
    ExpectMessages(
        {
            {"JP END,BEGIN", {"error : line 8, 'JP' 명령어 사용이 잘못되었습니다..."}},
            {"JP NOWHERE", {"error : line 8, 'NOWHERE' 라벨변수를 찾을수 없습니다..."}},
            {"JP end", {"error : line 8, 'end' 라벨변수를 찾을수 없습니다..."}},
            {"JPE END,END", {"error : line 8, 'JPXX' 명령어 사용이 잘못되었습니다..."}},
            {"JPNE A,B", {"error : line 8, 'JPXX' 명령어 사용이 잘못되었습니다..."}},
            {"JPL A,B", {"error : line 8, 'JPXX' 명령어 사용이 잘못되었습니다..."}},
            {"JPLE A,B", {"error : line 8, 'JPXX' 명령어 사용이 잘못되었습니다..."}},
            {"JPG A,B", {"error : line 8, 'JPXX' 명령어 사용이 잘못되었습니다..."}},
            {"JPGE A,B", {"error : line 8, 'JPXX' 명령어 사용이 잘못되었습니다..."}},
            {"JPNE NOWHERE", {"error : line 8, 'NOWHERE' 라벨변수를 찾을수 없습니다..."}},
            {"JPGE X", {"error : line 8, 'X' 라벨변수를 찾을수 없습니다..."}},
        },
        Place::Main);
    ExpectValid({"JP END", "JP BEGIN", "JPE END", "JPNE BEGIN", "JPL END", "JPLE END", "JPG END",
                 "JPGE END"},
                Place::Main);
}

TEST(VerifierFlowCommands, DelayAndSleepTakeDigitsOnly)
{
    ExpectMessages(
        {
            {"DELAY 1,2", {"error : line 8, 'DELAY' 명령어 사용이 잘못되었습니다..."}},
            {"DELAY 1.5", {"error : line 8, 'DELAY' 인수 사용이 잘못되었습니다..."}},
            {"DELAY X", {"error : line 8, 'DELAY' 인수 사용이 잘못되었습니다..."}},
            {"DELAY -1", {"error : line 8, 'DELAY' 인수 사용이 잘못되었습니다..."}},
            {"SLEEP 1,2", {"error : line 8, 'SLEEP' 명령어 사용이 잘못되었습니다..."}},
            {"SLEEP 0FFH", {"error : line 8, 'SLEEP' 인수 사용이 잘못되었습니다..."}},
        },
        Place::Main);
    ExpectValid({"DELAY 10", "SLEEP 1000"}, Place::Main);
}
