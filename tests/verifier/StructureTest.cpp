// Messages about the main section's structure: BEGIN: and END:, labels, statements and
// keywords, and lines that do not fit the command records.
#include "VerifyScript.h"

#include "CTSLSyntax.h"
#include "TempDir.h"

namespace {

const std::string kNoBegin = "error : line -1, 시작부분'BEGIN'을 찾을수 없습니다...";
const std::string kNoEnd = "error : line -1, 종료부분'END'를 찾을수 없습니다...";

} // namespace

TEST(VerifierStructure, SectionLabelsAreRequired)
{
    ExpectMessages(
        {
            {"", {kNoBegin, kNoEnd}},
            {"VAR X% 1\n", {kNoBegin, kNoEnd}},
            {"BEGIN:\nEND:", {kNoEnd}}, // a last line without its line break yields nothing
            {"END:\n", {kNoBegin}},
            {"BEGIN:\n", {kNoEnd}},
        },
        Place::Whole);
    ExpectValid({"BEGIN:\r\nEND:\r\n"}, Place::Whole);
}

TEST(VerifierStructure, LabelStatementAndKeywordFaults)
{
    ExpectMessages(
        {
            {"BEGIN:\nL1:\nL1:\nEND:\n", {"error : line 3, 라벨명이 중복 되었습니다..."}},
            {"BEGIN:\nBEGIN:\nEND:\n", {"error : line 2, 라벨명이 중복 되었습니다..."}},
            {"BEGIN:\nHELLO\nEND:\n", {"error : line 2, 잘못된 구문입니다..."}},
            {"BEGIN:\n\n// only a keyword\nSLEEP\nEND:\n",
             {"error : line 4, 잘못된 구문입니다..."}},
            {"BEGIN:\nmove X,1\nEND:\n", {"error : line 2, 정의 되지 않은 명령어 입니다..."}},
            {"BEGIN:\nL1: SLEEP 1\nEND:\n", {"error : line 2, 정의 되지 않은 명령어 입니다..."}},
        },
        Place::Whole);
}

TEST(VerifierStructure, LinesThatDoNotFitTheRecordsAreWrongStatements)
{
    const std::string text79 = "\"" + std::string(77, 'A') + "\"";
    const std::string text80 = "\"" + std::string(78, 'A') + "\"";
    const std::string label31(31, 'L');
    const std::string label32(32, 'L');
    ExpectMessages(
        {
            {"BEGIN:\nPRINT " + text80 + "\nEND:\n", {"error : line 2, 잘못된 구문입니다..."}},
            {"BEGIN:\nPRINT A,B,C,D,E\nEND:\n", {"error : line 2, 잘못된 구문입니다..."}},
            {"BEGIN:\nPRINT \"A\",B,C,D\nEND:\n",
             {"error : line 2, 'PRINT' 명령어 사용이 잘못되었습니다..."}},
            {"BEGIN:\n" + label32 + ":\nEND:\n", {"error : line 2, 잘못된 구문입니다..."}},
            // The rejected label is not there to jump to.
            {"BEGIN:\n" + label32 + ":\nJP " + label32 + "\nEND:\n",
             {"error : line 2, 잘못된 구문입니다...",
              "error : line 3, '" + label32 + "' 라벨변수를 찾을수 없습니다..."}},
        },
        Place::Whole);
    ExpectValid({"BEGIN:\nPRINT " + text79 + "\nEND:\n",
                 "BEGIN:\n" + label31 + ":\nJP " + label31 + "\nEND:\n"},
                Place::Whole);
}

TEST(VerifierStructure, RecordsFollowTheCompilationRules)
{
    const ScriptFile file(
        "VAR X% 0\nBEGIN:\nL1:\nINC X\nL1:\nA:\nB:\nPRINT \"A, B\"\nbogus X\nEND:\n");
    CTSLSyntax syntax(nullptr);
    syntax._CompileMainScript1(syntax.LoadScript(file.Path().c_str()));

    ASSERT_EQ(syntax.m_listCommand.size(), 2u); // the unknown keyword makes no record
    EXPECT_EQ(syntax.m_listCommand[0].nLine, 4);
    EXPECT_EQ(syntax.m_listCommand[1].nLine, 8);
    EXPECT_EQ(syntax.m_listCommand[1].byOperandCount, 1);
    EXPECT_STREQ(syntax.m_listCommand[1].szOperand(0), "\"A, B\"");
    EXPECT_EQ(syntax.FindLabelTable("L1")->nCommandIndex, 0); // the first keeps its place
    EXPECT_EQ(syntax.FindLabelTable("A")->nCommandIndex, 1);
    EXPECT_EQ(syntax.FindLabelTable("B")->nCommandIndex, 1);
    EXPECT_EQ(syntax.FindLabelTable("END")->nCommandIndex, 2);
    EXPECT_EQ(syntax.m_listLabel.size(), 5u);
}

TEST(VerifierStructure, MessagesComeInPhaseOrderWhateverTheLineNumbers)
{
    EXPECT_EQ(VerifyScript("VAR X% 1\n" // 1
                           "FOO\n"      // 2: declaration
                           "BEGIN:\n"   // 3
                           "INC Q\n"    // 4: command, checked last
                           "HELLO\n"    // 5: structure
                           "DEC R\n"    // 6: command
                           "ZAP X\n"    // 7: structure
                           "FOO 1 2 3 4\n"),
              (std::vector<std::string>{
                  "error : line 2, 잘못된 변수형이 사용되었습니다...",
                  "error : line 5, 잘못된 구문입니다...",
                  "error : line 7, 정의 되지 않은 명령어 입니다...",
                  "error : line 8, 정의 되지 않은 명령어 입니다...",
                  kNoEnd,
                  "error : line 4, 'Q' 변수를 찾을수 없습니다...",
                  "error : line 6, 'R' 변수를 찾을수 없습니다...",
              }));
}

TEST(VerifierStructure, LineNumbersPast65535AreKept)
{
    std::string script = "VAR X% 0\nBEGIN:\n";
    for (int line = 3; line < 70000; ++line)
        script += line % 2 == 0 ? "INC X\n" : "; comment\n";
    script += "INC Q\nEND:\n";
    EXPECT_EQ(VerifyScript(script),
              std::vector<std::string>{"error : line 70000, 'Q' 변수를 찾을수 없습니다..."});
}
