// Messages of the arithmetic and logic commands. Each faulty line gives exactly one message,
// the first rule it breaks; every line sits on line 8 after the test declarations.
#include "VerifyScript.h"

#include <gtest/gtest.h>

TEST(VerifierArithmeticCommands, AddAndSubReportTheFirstBrokenRule)
{
    ExpectMessages(
        {
            {"ADD X", {"error : line 8, 'ADD' 명령어 사용이 잘못되었습니다..."}},
            {"ADD X,1,2", {"error : line 8, 'ADD' 명령어 사용이 잘못되었습니다..."}},
            {"ADD 5, X", {"error : line 8, 'ADD' 명령에서 첫번째 인자는 변수이어야 합니다..."}},
            {"ADD Q,1", {"error : line 8, 'Q' 변수를 찾을수 없습니다..."}},
            {"ADD X[1],1", {"error : line 8, 'X[1]' 변수를 찾을수 없습니다..."}},
            {"ADD X,Q", {"error : line 8, 'Q' 변수를 찾을수 없습니다..."}},
            {"ADD X,BUF[-1]", {"error : line 8, 'BUF[-1]' 변수를 찾을수 없습니다..."}},
            {"ADD X,BUF[1-2]", {"error : line 8, 'BUF[1-2]' 변수를 찾을수 없습니다..."}},
            {"ADD X,BUF[Q]", {"error : line 8, 'BUF[Q]' 변수를 찾을수 없습니다..."}},
            {"ADD X,BUF[1", {"error : line 8, 'BUF[1' 변수를 찾을수 없습니다..."}},
            {"ADD X, 12Z", {"error : line 8, '12Z' 변수(상수)형태가 잘못되었습니다..."}},
            {"ADD X, 0FGH", {"error : line 8, '0FGH' 변수(상수)형태가 잘못되었습니다..."}},
            {"ADD X, 102B", {"error : line 8, '102B' 변수(상수)형태가 잘못되었습니다..."}},
            {"ADD X, x", {"error : line 8, 'x' 변수(상수)형태가 잘못되었습니다..."}},
            {"ADD X, .5", {"error : line 8, '.5' 변수(상수)형태가 잘못되었습니다..."}},
            {"SUB X", {"error : line 8, 'SUB' 명령어 사용이 잘못되었습니다..."}},
            {"SUB 1,X", {"error : line 8, 'SUB' 명령에서 첫번째 인자는 변수이어야 합니다..."}},
            {"SUB Q,1", {"error : line 8, 'Q' 변수를 찾을수 없습니다..."}},
            {"SUB X,Q", {"error : line 8, 'Q' 변수를 찾을수 없습니다..."}},
            {"SUB X,1.2e", {"error : line 8, '1.2e' 변수(상수)형태가 잘못되었습니다..."}},
        },
        Place::Main);
    ExpectValid({"ADD X, 0FFH", "ADD X, 1010B", "ADD X, -2.7", "ADD X, +anything", "ADD X, 2.5",
                 "ADD X, \"5\"", "ADD X, D", "ADD X, W[2]", "ADD X, BUF[X+1]", "ADD X, BUF[W[0]]",
                 "ADD BUF, 1", "SUB X, 7"},
                Place::Main);
}

TEST(VerifierArithmeticCommands, BitwiseCommandsWantScalarVariables)
{
    ExpectMessages(
        {
            {"AND X", {"error : line 8, 'AND' 명령어 사용이 잘못되었습니다..."}},
            {"AND 1,X", {"error : line 8, 'AND' 명령에서 첫번째 인자는 변수이어야 합니다..."}},
            {"AND Q,1", {"error : line 8, 'Q' 변수를 찾을수 없습니다..."}},
            {"AND BUF,1", {"error : line 8, 'BUF' 변수형태가 잘못되었습니다..."}},
            {"AND X,Q", {"error : line 8, 'Q' 변수를 찾을수 없습니다..."}},
            {"AND X,MSG", {"error : line 8, 'MSG' 변수형태가 잘못되었습니다..."}},
            {"AND X,1Z", {"error : line 8, '1Z' 변수(상수)형태가 잘못되었습니다..."}},
            {"OR X,1,2", {"error : line 8, 'OR' 명령어 사용이 잘못되었습니다..."}},
            {"OR 1,X", {"error : line 8, 'OR' 명령에서 첫번째 인자는 변수이어야 합니다..."}},
            {"OR TAG,1", {"error : line 8, 'TAG' 변수형태가 잘못되었습니다..."}},
            {"XOR X", {"error : line 8, 'XOR' 명령어 사용이 잘못되었습니다..."}},
            {"XOR -X,1", {"error : line 8, 'XOR' 명령에서 첫번째 인자는 변수이어야 합니다..."}},
            {"XOR X,W", {"error : line 8, 'W' 변수형태가 잘못되었습니다..."}},
            {"NOT X,1", {"error : line 8, 'NOT' 명령어 사용이 잘못되었습니다..."}},
            {"NOT 1", {"error : line 8, 'NOT' 명령에서 첫번째 인자는 변수이어야 합니다..."}},
            {"NOT Q", {"error : line 8, 'Q' 변수를 찾을수 없습니다..."}},
            {"NOT BUF", {"error : line 8, 'BUF' 변수형태가 잘못되었습니다..."}},
        },
        Place::Main);
    ExpectValid({"AND X,0FH", "AND X,D", "OR X,11B", "XOR X,255", "NOT X"}, Place::Main);
}

TEST(VerifierArithmeticCommands, StepMoveAndClear)
{
    ExpectMessages(
        {
            {"INC X,1", {"error : line 8, 'INC' 명령어 사용이 잘못되었습니다..."}},
            {"INC Q", {"error : line 8, 'Q' 변수를 찾을수 없습니다..."}},
            {"INC BUF[-1]", {"error : line 8, 'BUF[-1]' 변수를 찾을수 없습니다..."}},
            {"INC 5", {}}, // only a name is checked
            {"DEC X,1", {"error : line 8, 'DEC' 명령어 사용이 잘못되었습니다..."}},
            {"DEC Q", {"error : line 8, 'Q' 변수를 찾을수 없습니다..."}},
            {"MOVE X", {"error : line 8, 'MOVE' 명령어 사용이 잘못되었습니다..."}},
            {"MOVE Q,1", {"error : line 8, 'Q' 변수를 찾을수 없습니다..."}},
            {"MOVE BUF,1", {"error : line 8, 'BUF' 인수부분이 잘못되었습니다..."}},
            {"MOVE X,Q", {"error : line 8, 'Q' 변수를 찾을수 없습니다..."}},
            {"MOVE X,W[-2]", {"error : line 8, 'W[-2]' 변수를 찾을수 없습니다..."}},
            {"MOVE X,1Z", {"error : line 8, '1Z' 잘못된 인자입니다..."}},
            {"MOVE X,.5", {"error : line 8, '.5' 잘못된 인자입니다..."}},
            {"CLEAR X,BUF", {"error : line 8, 'CLEAR' 명령어 사용이 잘못되었습니다..."}},
            {"CLEAR Q", {"error : line 8, 'Q' 변수를 찾을수 없습니다..."}},
        },
        Place::Main);
    ExpectValid({"INC X", "INC BUF[2]", "DEC D", "MOVE X,W[3]", "MOVE X,0FFH", "MOVE D,-1.5",
                 "CLEAR BUF", "CLEAR MSG"},
                Place::Main);
}
