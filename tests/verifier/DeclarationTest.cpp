// Messages of the declaration section. Each script ends with BEGIN: and END: so that only the
// declaration messages show.
#include "VerifyScript.h"

#include <gtest/gtest.h>

namespace {

std::string Script(const std::string& declarations)
{
    return declarations + "BEGIN:\nEND:\n";
}

} // namespace

TEST(VerifierDeclarations, EachFaultyLineGivesItsMessage)
{
    ExpectMessages(
        {
            {Script("DIM BUF$ 10 20\n"), {"error : line 1, 구문에 오류가 있습니다..."}},
            {Script("DIM BUF$\n"), {"error : line 1, 인수사용이 잘못되었습니다..."}},
            {Script("VAR X%\n"), {"error : line 1, 인수사용이 잘못되었습니다..."}},
            {Script("EQU M\n"), {"error : line 1, 인수사용이 잘못되었습니다..."}},
            {Script("ASSIGN T\n"), {"error : line 1, 인수사용이 잘못되었습니다..."}},
            {Script("VAR X% 1\nEXPORT X Y\n"), {"error : line 2, 인수사용이 잘못되었습니다..."}},
            {Script("DIM BUF$ 0\n"), {"error : line 1, 버퍼 크기가 너무 작습니다..."}},
            {Script("DIM BUF$ -4\n"), {"error : line 1, 버퍼 크기가 너무 작습니다..."}},
            {Script("DIM BUF 10\n"), {"error : line 1, 변수 형태가 잘못 지정되었습니다..."}},
            {Script("VAR X 1\n"), {"error : line 1, 변수 형태가 잘못 지정되었습니다..."}},
            {Script("DIM A$ 5\nVAR A% 1\n"), {"error : line 2, 중복된 변수가 사용 되었습니다..."}},
            {Script("EQU M \"a\"\nASSIGN M \"b\"\n"),
             {"error : line 2, 중복된 변수가 사용되었습니다..."}},
            {Script("VAR X% 1\nEQU X \"a\"\n"),
             {"error : line 2, 중복된 변수가 사용되었습니다..."}},
            {Script("EXPORT X\nVAR X% 1\n"), {"error : line 1, EXPORT 변수를 찾을 수 없습니다..."}},
            {Script("OPEN MEDIA SERIAL\n"),
             {"error : line 1, 'OPEN' 인수사용이 잘못되었습니다..."}},
            {Script("OPEN MEDIA\n"), {"error : line 1, 'OPEN' 인수사용이 잘못되었습니다..."}},
            {Script("OPEN SPEED 9600\n"), {"error : line 1, 'OPEN' 인수사용이 잘못되었습니다..."}},
            {Script("OPEN BAUD_RATE 9601\n"),
             {"error : line 1, 'OPEN' 인수사용이 잘못되었습니다..."}},
            {Script("OPEN IP 12345678901234567890\n"),
             {"error : line 1, 'OPEN' 인수사용이 잘못되었습니다..."}},
            {Script("OPEN PORT COM123\n"), {"error : line 1, 'OPEN' 인수사용이 잘못되었습니다..."}},
            {Script("OPEN MEDIA RS232C\nOPEN MEDIA TCP\n"),
             {"error : line 2, 키워드 'MEDIA'가 중복 선언되었습니다..."}},
            {Script("OPEN BAUD_RATE 9600\nOPEN BAUD_RATE 9600\n"),
             {"error : line 2, 키워드 'BAUD_RATE'가 중복 선언되었습니다..."}},
            {Script("TABLE_NAME PLANT\n"),
             {"error : line 1, 'TABLE_NAME' 인수사용이 잘못되었습니다..."}},
            {Script("TABLE_NAME \"A\" \"B\"\n"),
             {"error : line 1, 'TABLE_NAME' 인수사용이 잘못되었습니다..."}},
            {Script("TABLE_NAME \"A\"\nTABLE_NAME \"B\"\n"),
             {"error : line 2, 키워드 '\"B\"'가 중복 선언되었습니다..."}},
            {Script("FOO X 1\n"), {"error : line 1, 잘못된 변수형이 사용되었습니다..."}},
            {Script("VAR ABCDEFGHIJKLMNOPQRSTUVWXYZ012345% 1\n"),
             {"error : line 1, 잘못된 구문입니다..."}},
        },
        false);
}

TEST(VerifierDeclarations, ValidLinesGiveNoMessage)
{
    ExpectMessages(
        {
            {Script("\n   \n\t\n// comment\n; comment\n"), {}},
            {Script("VAR B$ 300\nVAR X# 2.5\nVAR H% 0FFH\n"), {}},
            {Script("DIM BUF$ 100 // a buffer\nDIM W% 10 ; words\n"), {}},
            {Script("EQU MSG\t\t\t\"Hello !!<0D><0A>\"\n"), {}},
            {Script("EQU URL \"http://host\"\nASSIGN T \"A B\"\n"), {}},
            {Script("VAR X% 1\nEXPORT X\n"), {}},
            {Script("OPEN DATA_BIT 08\nOPEN STOP_BIT 1.5\nOPEN PORT 50000\n"), {}},
            {Script("TABLE_NAME \"PLANT\"\n"), {}},
            {Script("VAR ABCDEFGHIJKLMNOPQRSTUVWXYZ01234% 1\n"), {}},
        },
        false);
}

TEST(VerifierDeclarations, AFaultyDeclarationDefinesNothing)
{
    EXPECT_EQ(VerifyScript("DIM BUF$ 0\nDIM BUF$ 10 20\nBEGIN:\nCLEAR BUF\nEND:\n"),
              (std::vector<std::string>{
                  "error : line 1, 버퍼 크기가 너무 작습니다...",
                  "error : line 2, 구문에 오류가 있습니다...",
                  "error : line 4, 'BUF' 변수를 찾을수 없습니다...",
              }));
}

TEST(VerifierDeclarations, ACommentHoldingEndStartsTheMainSection)
{
    // The VAR line below the comment is read as a main line with an unknown keyword, and the
    // comment itself, yielding no main line, does not count as BEGIN:.
    EXPECT_EQ(VerifyScript("// BEGIN: here\nVAR X% 1\nEND:\n"),
              (std::vector<std::string>{
                  "error : line 2, 정의 되지 않은 명령어 입니다...",
                  "error : line -1, 시작부분'BEGIN'을 찾을수 없습니다...",
              }));
}
