// Messages of the I/O and tag commands (line 8 after the test declarations).
#include "VerifyScript.h"

#include <gtest/gtest.h>

TEST(VerifierIoCommands, InTakesAnArrayAndAScalar)
{
    ExpectMessages(
        {
            {"IN BUF", {"error : line 8, 'IN' 명령어 사용이 잘못되었습니다..."}},
            {"IN Q,X", {"error : line 8, 'Q' 변수를 찾을수 없습니다..."}},
            {"IN X,X", {"error : line 8, 'X' 변수가 배열변수가 아닙니다..."}},
            {"IN BUF,Q", {"error : line 8, 'Q' 변수를 찾을수 없습니다..."}},
            {"IN BUF,MSG", {"error : line 8, 'MSG' 변수가 잘못 지정되었습니다..."}},
        },
        Place::Main);
    ExpectValid({"IN BUF,X"}, Place::Main);
}

TEST(VerifierIoCommands, OutSendsAQuotedTextAnArrayOrAText)
{
    ExpectMessages(
        {
            {"OUT MSG,BUF", {"error : line 8, 'OUT' 명령어 사용이 잘못되었습니다..."}},
            {"OUT \"AB", {"error : line 8, 'OUT' 명령의 인수부분이 잘못되었습니다..."}},
            {"OUT \"", {"error : line 8, 'OUT' 명령의 인수부분이 잘못되었습니다..."}},
            {"OUT Q", {"error : line 8, 'Q' 변수를 찾을수 없습니다..."}},
            {"OUT X", {"error : line 8, 'OUT' 명령의 인수부분이 잘못되었습니다..."}},
            {"OUT TAG", {"error : line 8, 'OUT' 명령의 인수부분이 잘못되었습니다..."}},
            // Notation that cannot be translated would send nothing at all.
            {"OUT \"<0D\"", {"error : line 8, 'OUT' 명령의 인수부분이 잘못되었습니다..."}},
            {"OUT \"<0D0>\"", {"error : line 8, 'OUT' 명령의 인수부분이 잘못되었습니다..."}},
            {"OUT \"A>B\"", {"error : line 8, 'OUT' 명령의 인수부분이 잘못되었습니다..."}},
        },
        Place::Main);
    ExpectValid({"OUT \"<0D><0A>\"", "OUT \"<<OK>>\"", "OUT \"\"", "OUT MSG", "OUT BUF"},
                Place::Main);
}

TEST(VerifierIoCommands, PrintAndPrintExTakeAnOperandAndAMode)
{
    ExpectMessages(
        {
            {"PRINT MSG,T,H", {"error : line 8, 'PRINT' 명령어 사용이 잘못되었습니다..."}},
            {"PRINT \"", {"error : line 8, 'PRINT' 명령의 인수부분이 잘못되었습니다..."}},
            {"PRINT \"AB", {"error : line 8, 'PRINT' 명령의 인수부분이 잘못되었습니다..."}},
            {"PRINT Q", {"error : line 8, 'Q' 변수를 찾을수 없습니다..."}},
            {"PRINT \"ABC\", X", {"error : line 8, 'X' 인자지정이 잘못되었습니다..."}},
            {"PRINT X,t", {"error : line 8, 't' 인자지정이 잘못되었습니다..."}},
            {"PRINTEX MSG,T,H", {"error : line 8, 'PRINTEX' 명령어 사용이 잘못되었습니다..."}},
            {"PRINTEX \"", {"error : line 8, 'PRINTEX' 명령의 인수부분이 잘못되었습니다..."}},
            {"PRINTEX Q", {"error : line 8, 'Q' 변수를 찾을수 없습니다..."}},
            {"PRINTEX BUF,HEX", {"error : line 8, 'HEX' 인자지정이 잘못되었습니다..."}},
        },
        Place::Main);
    ExpectValid({"PRINT \"A, B\"", "PRINT \"\"", "PRINT X,H", "PRINT MSG,T", "PRINTEX \"<41>\",H",
                 "PRINTEX TAG"},
                Place::Main);
}

TEST(VerifierIoCommands, SyncTakesDecimalDigits)
{
    ExpectMessages(
        {
            {"SYNC 1,2", {"error : line 8, 'SYNC' 명령어 사용이 잘못되었습니다..."}},
            {"SYNC X", {"error : line 8, 'X' 잘못된 인자입니다..."}},
            {"SYNC -5", {"error : line 8, '-5' 잘못된 인자입니다..."}},
        },
        Place::Main);
    ExpectValid({"SYNC 5"}, Place::Main);
}

TEST(VerifierIoCommands, GetReadsATagIntoAVariable)
{
    ExpectMessages(
        {
            {"GET X", {"error : line 8, 'GET' 명령어 사용이 잘못되었습니다..."}},
            {"GET X,TAG,1,2", {"error : line 8, 'GET' 명령어 사용이 잘못되었습니다..."}},
            {"GET 5,TAG", {"error : line 8, '5' 인자지정이 잘못되었습니다..."}},
            {"GET -X,TAG", {"error : line 8, '-X' 인자지정이 잘못되었습니다..."}},
            {"GET Q,TAG", {"error : line 8, 'Q' 변수를 찾을수 없습니다..."}},
            {"GET X[1],TAG", {"error : line 8, 'X[1]' 인자지정이 잘못되었습니다..."}},
            {"GET X,tag", {"error : line 8, 'tag' 태그명 설정이 잘못되었습니다..."}},
            {"GET X,NOTAG", {"error : line 8, 'NOTAG' 태그명을 찾을수 없습니다..."}},
            {"GET D,X", {"error : line 8, 'X' 태그명을 찾을수 없습니다..."}},
            {"GET BUF,TAG,0", {"error : line 8, '0' 인자지정이 잘못되었습니다..."}},
            {"GET BUF,TAG,N", {"error : line 8, 'N' 인자지정이 잘못되었습니다..."}},
        },
        Place::Main);
    ExpectValid({"GET X,TAG", "GET BUF[2],TAG,4"}, Place::Main);
}

TEST(VerifierIoCommands, PutWritesAValueToATag)
{
    ExpectMessages(
        {
            {"PUT TAG", {"error : line 8, 'PUT' 명령어 사용이 잘못되었습니다..."}},
            {"PUT NOTAG,1", {"error : line 8, 'NOTAG' 태그명을 찾을수 없습니다..."}},
            {"PUT X,1", {"error : line 8, 'X' 태그명을 찾을수 없습니다..."}},
            {"PUT TAG,\"AB", {"error : line 8, '\"AB' 인자지정이 잘못되었습니다..."}},
            {"PUT TAG,Q", {"error : line 8, 'Q' 변수를 찾을수 없습니다..."}},
            {"PUT TAG,X[1]", {"error : line 8, 'X[1]' 인자지정이 잘못되었습니다..."}},
            {"PUT TAG,BUF,0", {"error : line 8, '0' 인자지정이 잘못되었습니다..."}},
            {"PUT TAG,BUF,Q", {"error : line 8, 'Q' 변수를 찾을수 없습니다..."}},
        },
        Place::Main);
    ExpectValid({"PUT MSG,1", "PUT TAG,1", "PUT TAG,-2.5", "PUT TAG,\"AB\",2", "PUT TAG,BUF,X",
                 "PUT TAG,BUF[1],3"},
                Place::Main);
}
