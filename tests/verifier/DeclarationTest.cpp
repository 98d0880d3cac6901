// Messages of the declaration section. Each script ends with BEGIN: and END: so that only the
// declaration messages show.
#include "VerifyScript.h"

#include <gtest/gtest.h>

TEST(VerifierDeclarations, EachFaultyLineGivesItsMessage)
{
    ExpectMessages(
        {
            {"DIM BUF$ 10 20\n", {"error : line 1, 구문에 오류가 있습니다..."}},
            {"DIM BUF$\n", {"error : line 1, 인수사용이 잘못되었습니다..."}},
            {"VAR X%\n", {"error : line 1, 인수사용이 잘못되었습니다..."}},
            {"EQU M\n", {"error : line 1, 인수사용이 잘못되었습니다..."}},
            {"ASSIGN T\n", {"error : line 1, 인수사용이 잘못되었습니다..."}},
            {"VAR X% 1\nEXPORT X Y\n", {"error : line 2, 인수사용이 잘못되었습니다..."}},
            {"DIM BUF$ 0\n", {"error : line 1, 버퍼 크기가 너무 작습니다..."}},
            {"DIM BUF$ -4\n", {"error : line 1, 버퍼 크기가 너무 작습니다..."}},
            {"DIM BUF 10\n", {"error : line 1, 변수 형태가 잘못 지정되었습니다..."}},
            {"VAR X 1\n", {"error : line 1, 변수 형태가 잘못 지정되었습니다..."}},
            {"DIM A$ 5\nVAR A% 1\n", {"error : line 2, 중복된 변수가 사용 되었습니다..."}},
            {"EQU M \"a\"\nASSIGN M \"b\"\n", {"error : line 2, 중복된 변수가 사용되었습니다..."}},
            {"VAR X% 1\nEQU X \"a\"\n", {"error : line 2, 중복된 변수가 사용되었습니다..."}},
            {"EXPORT X\nVAR X% 1\n", {"error : line 1, EXPORT 변수를 찾을 수 없습니다..."}},
            {"OPEN MEDIA SERIAL\n", {"error : line 1, 'OPEN' 인수사용이 잘못되었습니다..."}},
            {"OPEN MEDIA\n", {"error : line 1, 'OPEN' 인수사용이 잘못되었습니다..."}},
            {"OPEN SPEED 9600\n", {"error : line 1, 'OPEN' 인수사용이 잘못되었습니다..."}},
            {"OPEN BAUD_RATE 9601\n", {"error : line 1, 'OPEN' 인수사용이 잘못되었습니다..."}},
            {"OPEN IP 12345678901234567890\n",
             {"error : line 1, 'OPEN' 인수사용이 잘못되었습니다..."}},
            {"OPEN PORT COM123\n", {"error : line 1, 'OPEN' 인수사용이 잘못되었습니다..."}},
            {"OPEN MEDIA RS232C\nOPEN MEDIA TCP\n",
             {"error : line 2, 키워드 'MEDIA'가 중복 선언되었습니다..."}},
            {"OPEN BAUD_RATE 9600\nOPEN BAUD_RATE 9600\n",
             {"error : line 2, 키워드 'BAUD_RATE'가 중복 선언되었습니다..."}},
            {"TABLE_NAME PLANT\n", {"error : line 1, 'TABLE_NAME' 인수사용이 잘못되었습니다..."}},
            {"TABLE_NAME \"A\" \"B\"\n",
             {"error : line 1, 'TABLE_NAME' 인수사용이 잘못되었습니다..."}},
            {"TABLE_NAME \"A\"\nTABLE_NAME \"B\"\n",
             {"error : line 2, 키워드 '\"B\"'가 중복 선언되었습니다..."}},
            {"FOO X 1\n", {"error : line 1, 잘못된 변수형이 사용되었습니다..."}},
            {"VAR ABCDEFGHIJKLMNOPQRSTUVWXYZ012345% 1\n", {"error : line 1, 잘못된 구문입니다..."}},
        },
        Place::Declarations);
}

TEST(VerifierDeclarations, ValidLinesGiveNoMessage)
{
    ExpectValid({"\n   \n\t\n// comment\n; comment\n", "VAR B$ 300\nVAR X# 2.5\nVAR H% 0FFH\n",
                 "DIM BUF$ 100 // a buffer\nDIM W% 10 ; words\n",
                 "EQU MSG\t\t\t\"Hello !!<0D><0A>\"\n",
                 "EQU URL \"http://host\"\nASSIGN T \"A B\"\n", "VAR X% 1\nEXPORT X\n",
                 "OPEN DATA_BIT 08\nOPEN STOP_BIT 1.5\nOPEN PORT 50000\n", "TABLE_NAME \"PLANT\"\n",
                 "VAR ABCDEFGHIJKLMNOPQRSTUVWXYZ01234% 1\n"},
                Place::Declarations);
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

TEST(VerifierDeclarations, ArraysPastTheirBoundsAreRefused)
{
    auto at = [](int line) {
        return "error : line " + std::to_string(line) + ", 버퍼 크기가 너무 큽니다...";
    };
    ExpectMessages(
        {
            // One array: 256 MiB at most, whatever its element type.
            {"DIM B$ 268435457\n", {at(1)}},
            {"DIM B% 67108865\n", {at(1)}},
            {"DIM B# 33554433\n", {at(1)}},
            {"DIM B$ 4000000000\n", {at(1)}},
            // All arrays: 1 GiB; the line that passes it is refused and declares nothing.
            {"DIM A$ 268435456\nDIM B$ 268435456\nDIM C$ 268435456\nDIM D$ 268435456\n"
             "DIM E$ 1\nVAR E% 1\n",
             {at(5)}},
        },
        Place::Declarations);
    ExpectValid({"DIM B$ 268435456\n", "DIM B# 33554432\nDIM C% 67108864\n"}, Place::Declarations);
}

TEST(VerifierDeclarations, PortsOutsideTheTcpRangeAreRefused)
{
    const std::vector<std::string> refused = {
        "error : line 1, 'OPEN' 인수사용이 잘못되었습니다..."};
    ExpectMessages(
        {
            {"OPEN PORT 73037\n", refused},
            {"OPEN PORT 65536\n", refused},
            {"OPEN PORT 0\n", refused},
            {"OPEN PORT -1\n", refused},
            {"OPEN PORT +80\n", refused},
            {"OPEN PORT 80A\n", refused},
            // A TCP or UDP link takes a port number whichever line comes first.
            {"OPEN MEDIA TCP\nOPEN PORT COM1\n",
             {"error : line 2, 'OPEN' 인수사용이 잘못되었습니다..."}},
            {"OPEN PORT COM1\nOPEN MEDIA UDP\n",
             {"error : line 2, 'OPEN' 인수사용이 잘못되었습니다..."}},
        },
        Place::Declarations);
    ExpectValid({"OPEN PORT 1\n", "OPEN PORT 65535\n", "OPEN PORT 08080\n",
                 "OPEN MEDIA TCP\nOPEN PORT 7501\n", "OPEN PORT COM1\nOPEN MEDIA RS232C\n"},
                Place::Declarations);
}

TEST(VerifierDeclarations, FlowControlAndLocalPortTakeTheirWordsOnce)
{
    const std::vector<std::string> refused = {
        "error : line 1, 'OPEN' 인수사용이 잘못되었습니다..."};
    ExpectMessages(
        {
            {"OPEN FLOW_CONTROL RTS\n", refused},
            {"OPEN FLOW_CONTROL xonxoff\n", refused},
            {"OPEN FLOW_CONTROL\n", refused},
            {"OPEN LOCAL_PORT 0\n", refused},
            {"OPEN LOCAL_PORT 65536\n", refused},
            {"OPEN LOCAL_PORT COM1\n", refused},
            {"OPEN FLOW_CONTROL NONE\nOPEN FLOW_CONTROL RTSCTS\n",
             {"error : line 2, 키워드 'FLOW_CONTROL'가 중복 선언되었습니다..."}},
            {"OPEN LOCAL_PORT 5000\nOPEN LOCAL_PORT 5001\n",
             {"error : line 2, 키워드 'LOCAL_PORT'가 중복 선언되었습니다..."}},
        },
        Place::Declarations);
    ExpectValid({"OPEN FLOW_CONTROL NONE\n", "OPEN FLOW_CONTROL RTSCTS\n",
                 "OPEN FLOW_CONTROL XONXOFF\n", "OPEN MEDIA UDP\nOPEN LOCAL_PORT 1\n",
                 "OPEN LOCAL_PORT 65535\nOPEN MEDIA UDP\nOPEN PORT 7000\n"},
                Place::Declarations);
}

TEST(VerifierDeclarations, TableNamesThatCannotNameATableAreRefused)
{
    const std::vector<std::string> refused = {
        "error : line 1, 'TABLE_NAME' 인수사용이 잘못되었습니다..."};
    ExpectMessages(
        {
            {"TABLE_NAME \"\"\n", refused},
            {"TABLE_NAME \"PLANT/1\"\n", refused},
            {"TABLE_NAME \"..\"\n", refused},
        },
        Place::Declarations);
}
