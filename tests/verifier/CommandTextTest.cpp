// Messages of the text commands on byte arrays (line 8 after the test declarations).
#include "VerifyScript.h"

#include "CTSLSyntax.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <cstring>

TEST(VerifierTextCommands, CopyTestsItsCountBeforeItsOtherOperands)
{
    ExpectMessages(
        {
            {"COPY BUF,MSG", {"error : line 8, 'COPY' 명령어 인수개수가 잘못되었습니다..."}},
            {"COPY BUF, , 3", {"error : line 8, 'COPY' 명령어 인수개수가 잘못되었습니다..."}},
            {"COPY BUF,MSG,Q", {"error : line 8, 'Q' 변수를 찾을수 없습니다..."}},
            {"COPY Q,R,N", {"error : line 8, 'N' 변수를 찾을수 없습니다..."}},
            {"COPY BUF,MSG,-1", {"error : line 8, '-1' 복사갯수가 0보다 커야합니다..."}},
            {"COPY Q,MSG,3", {"error : line 8, 'Q' 변수를 찾을수 없습니다..."}},
            {"COPY X,MSG,3", {"error : line 8, 'X' 배열변수가 아닙니다..."}},
            {"COPY BUF,\"\",3", {"error : line 8, '\"\"' 문자열 사용에 문제가 있습니다..."}},
            {"COPY BUF,\"AB\"C,3", {"error : line 8, '\"AB\"C' 문자열 사용에 문제가 있습니다..."}},
            {"COPY BUF,Q,3", {"error : line 8, 'Q' 변수를 찾을수 없습니다..."}},
            {"COPY BUF,X,3", {"error : line 8, 'X' 배열변수가 아닙니다..."}},
            {"COPY BUF,TAG,3", {"error : line 8, 'TAG' 배열변수가 아닙니다..."}},
        },
        Place::Main);
    ExpectValid(
        {"COPY BUF,\"ABC\",3", "COPY BUF,\"ABC\",0", "COPY BUF[2],MSG,X", "COPY BUF,W[1],W[0]"},
        Place::Main);
}

TEST(VerifierTextCommands, CatAppendsToAnArrayAndStoresTheLength)
{
    ExpectMessages(
        {
            {"CAT BUF,W", {"error : line 8, 'CAT' 명령어 사용이 잘못되었습니다..."}},
            {"CAT Q,W,X", {"error : line 8, 'Q' 변수를 찾을수 없습니다..."}},
            {"CAT X,W,X", {"error : line 8, 'X' 변수가 배열변수가 아닙니다..."}},
            {"CAT BUF[1],W,X", {"error : line 8, 'BUF[1]' 변수를 찾을수 없습니다..."}},
            {"CAT BUF,Q,X", {"error : line 8, 'Q' 변수를 찾을수 없습니다..."}},
            {"CAT BUF,MSG,X", {"error : line 8, 'MSG' 변수가 배열변수가 아닙니다..."}},
            {"CAT BUF,W,1A", {"error : line 8, '1A' 변수지정이 잘못 되었습니다..."}},
            {"CAT BUF,W,Q", {"error : line 8, 'Q' 변수를 찾을수 없습니다..."}},
            {"CAT BUF,W,MSG", {"error : line 8, 'MSG' 변수가 일반변수(VAR)가 아닙니다..."}},
        },
        Place::Main);
    ExpectValid({"CAT BUF,\"XY\",X", "CAT BUF,W,5"}, Place::Main);
}

// A quoted source without its second quote swallows the rest of the line, so the line has
// too few operands; the checker still tells the fault when it meets such a record.
TEST(VerifierTextCommands, CatReportsAQuotedSourceWithoutItsClosingQuote)
{
    // A verifier whose operand compiler the test may call, to build the record by hand.
    struct Syntax : CTSLSyntax
    {
        Syntax() : CTSLSyntax(nullptr) {}
        using CTSLSyntax::CompileOperand;
    };
    Syntax syntax;
    syntax.LoadScript(ScriptFile("DIM BUF$ 4\n").Path().c_str());
    tsl::Arena arena;
    const tsl::Operand operands[] = {*syntax.CompileOperand("BUF", arena),
                                     *syntax.CompileOperand("\"XY", arena),
                                     *syntax.CompileOperand("1", arena)};
    CCommandTable cat;
    cat.m_operand = operands;
    cat.nLine = 4;
    cat.nCode = CTSLSyntax::GetKeywordMacro("CAT");
    cat.byOperandCount = 3;
    syntax._Cat(&cat);
    EXPECT_EQ(syntax.m_arrErrors,
              std::vector<std::string>{"error : line 4, '\"XY' 문자열이 잘못 되었습니다..."});
}

TEST(VerifierTextCommands, ConvTestsItsCountFirst)
{
    ExpectMessages(
        {
            {"CONV X,BUF", {"error : line 8, 'CONV' 명령어 사용이 잘못되었습니다..."}},
            {"CONV X,BUF,0", {"error : line 8, '0' 인수부분이 잘못 되었습니다..."}},
            {"CONV Q,BUF,A", {"error : line 8, 'A' 인수부분이 잘못 되었습니다..."}},
            {"CONV X,BUF,-3", {"error : line 8, '-3' 인수부분이 잘못 되었습니다..."}},
            {"CONV Q,BUF,3", {"error : line 8, 'Q' 변수를 찾을수 없습니다..."}},
            {"CONV BUF,BUF,3", {"error : line 8, 'BUF' 변수형태가 잘못 되었습니다..."}},
            {"CONV X,X,3", {"error : line 8, 'X' 인수부분이 배열변수이어야 합니다..."}},
            {"CONV X,Q,3", {"error : line 8, 'Q' 인수부분이 배열변수이어야 합니다..."}},
        },
        Place::Main);
    ExpectValid({"CONV X,BUF,3", "CONV D,MSG,2", "CONV X,BUF[2],3"}, Place::Main);
}

TEST(VerifierTextCommands, FindLooksForAQuotedPatternInAnArray)
{
    ExpectMessages(
        {
            {"FIND BUF,\"A\"", {"error : line 8, 'FIND' 명령어 사용이 잘못되었습니다..."}},
            {"FIND Q,\"A\",X", {"error : line 8, 'Q' 변수를 찾을수 없습니다..."}},
            {"FIND X,\"A\",X", {"error : line 8, 'X' 변수가 배열변수가 아닙니다..."}},
            {"FIND BUF,A,X", {"error : line 8, 'FIND' 명령의 2번 인수부분이 잘못되었습니다..."}},
            {"FIND BUF,\"A\"B,X",
             {"error : line 8, 'FIND' 명령의 2번 인수부분이 잘못되었습니다..."}},
            {"FIND BUF,\"A\",Q", {"error : line 8, 'Q' 변수를 찾을수 없습니다..."}},
            {"FIND BUF,\"A\",BUF", {"error : line 8, 'BUF' 변수가 잘못 지정되었습니다..."}},
        },
        Place::Main);
    ExpectValid({"FIND BUF,\"<0D><0A>\",X"}, Place::Main);
}
