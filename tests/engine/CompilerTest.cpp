#include "LoadedScript.h"
#include "TempDir.h"

#include <gtest/gtest.h>

TEST(Compiler, LabelsPointAtTheNextCommand)
{
    auto tsl = CompileScript("VAR A% 0\nBEGIN:\nFIRST:\nSECOND:\n  INC A\nLOOP:\n  JP LOOP\n"
                             "ORPHAN\nEND:\n");
    ASSERT_EQ(tsl->m_listCommand.size(), 2u) << "a lone word without a colon makes nothing";
    struct Case
    {
        const char* label;
        int index;
    };
    for (const Case& c :
         {Case{"BEGIN", 0}, Case{"FIRST", 0}, Case{"SECOND", 0}, Case{"LOOP", 1}, Case{"END", 2}}) {
        const CLabelTable* label = tsl->FindLabelTable(c.label);
        ASSERT_NE(label, nullptr) << c.label;
        EXPECT_EQ(label->nCommandIndex, c.index) << c.label;
    }
    EXPECT_EQ(tsl->m_listCommand[1].m_nJumpTarget, 1);
}

TEST(Compiler, CommandsKeepTheirOperandTexts)
{
    const std::string longOperand(100, 'Q');
    auto tsl = CompileScript("BEGIN:\n"
                             "PRINT \"a, b\"\n"
                             "COPY BUF, , 3\n"
                             "move A,1\n"
                             "LOOP: INC A\n"
                             "ADD A,1,2,3,4,5\n"
                             "OUT " +
                             longOperand +
                             "\n"
                             "INC\n"
                             "END:\n");
    struct Case
    {
        int code;
        int line;
        std::vector<std::string> operands;
    };
    const Case cases[] = {
        {15, 2, {"\"a, b\""}}, {19, 3, {"BUF", "3"}},         {0, 4, {"A", "1"}},
        {0, 5, {"INCA"}},      {22, 6, {"A", "1", "2", "3"}}, {2, 7, {longOperand.substr(0, 79)}},
    };
    ASSERT_EQ(tsl->m_listCommand.size(), std::size(cases));
    for (size_t i = 0; i < std::size(cases); ++i) {
        const CCommandTable& command = tsl->m_listCommand[i];
        EXPECT_EQ(command.nCode, cases[i].code) << i;
        EXPECT_EQ(command.nLine, cases[i].line) << i;
        ASSERT_EQ(command.byOperandCount, cases[i].operands.size()) << i;
        for (size_t k = 0; k < cases[i].operands.size(); ++k)
            EXPECT_EQ(command.szOperand(static_cast<int>(k)), cases[i].operands[k])
                << i << "/" << k;
    }
}

TEST(Compiler, LabelsOnlyCompileToNoCommands)
{
    auto tsl = CompileScript("BEGIN:\nEND:\n");
    EXPECT_TRUE(tsl->m_listCommand.empty());
    EXPECT_EQ(tsl->Begin(nullptr, 0), -1);
    auto missing = std::make_unique<CTSL>(nullptr, "");
    EXPECT_EQ(missing->LoadScript("/nonexistent/script.tsl"), 0);
}

TEST(Compiler, NamesAndLabelsAreFoundInLongScripts)
{
    // 50,000 names and as many labels: every operand and jump finds its own record. The pass
    // jumps to the middle label and runs the second half's INC once each.
    constexpr int kCount = 50000;
    std::string script;
    for (int i = 0; i < kCount; ++i)
        script += "VAR V" + std::to_string(i) + "% " + std::to_string(i) + "\n";
    script += "BEGIN:\nJP L" + std::to_string(kCount / 2) + "\n";
    for (int i = 0; i < kCount; ++i)
        script += "L" + std::to_string(i) + ":\nINC V" + std::to_string(i) + "\n";
    script += "END:\n";
    auto tsl = CompileScript(script);
    ASSERT_EQ(tsl->m_listCommand.size(), static_cast<size_t>(kCount) + 1);
    EXPECT_EQ(tsl->m_listCommand[0].m_nJumpTarget, kCount / 2 + 1);
    for (int i : {0, kCount / 2, kCount - 1}) {
        const std::string name = "V" + std::to_string(i);
        EXPECT_EQ(tsl->m_listCommand[static_cast<size_t>(i) + 1].m_operand[0].exact,
                  tsl->FindVariableTable(name.c_str()));
    }
    ASSERT_EQ(tsl->Begin(nullptr, 0), 0);
    EXPECT_EQ(tsl->GetBufferValue("V0"), 0);
    EXPECT_EQ(tsl->GetBufferValue(("V" + std::to_string(kCount / 2)).c_str()), kCount / 2 + 1);
    EXPECT_EQ(tsl->GetBufferValue(("V" + std::to_string(kCount - 1)).c_str()), kCount);
}

TEST(Compiler, AStopEndsLoadingAndCompilingWithNoCommand)
{
    const ScriptFile file("VAR A% 0\nBEGIN:\nINC A\nEND:\n");
    CRunFlag stopped(false);
    CTSL loading(nullptr, "");
    loading.SetRunFlag(&stopped);
    EXPECT_EQ(loading.LoadScript(file.Path().c_str()), 0);

    CTSL compiling(nullptr, "");
    const int lines = compiling.LoadScript(file.Path().c_str());
    ASSERT_EQ(lines, 3);
    compiling.SetRunFlag(&stopped);
    compiling._CompileMainScript1(lines);
    EXPECT_TRUE(compiling.m_listCommand.empty());
    EXPECT_EQ(compiling.Begin(nullptr, 0), -1);
}
