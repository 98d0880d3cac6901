#include "LoadedScript.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

using namespace std::chrono_literals;

TEST(Interpreter, CmpWritesTheWholeFlagWord)
{
    struct Case
    {
        const char* declarations;
        const char* compare;
        uint16_t flags;
    };
    const Case cases[] = {
        {"VAR X% 10", "CMP X, 10", 0x29},
        {"VAR X% 5", "CMP X, 10", 0x0E},
        {"VAR X% 12", "CMP X, 10", 0x32},
        {"VAR X% 0", "CMP X, 0FFH", 0x29}, // hexadecimal is not read here: 0FFH is 0
        {"VAR X% 1010", "CMP X, 1010B", 0x29},
        {"VAR X# -2.5", "CMP X, -2.5", 0x29},
        {"VAR X% 3\nVAR Y% 4", "CMP X, Y", 0x0E},
        {"DIM X$ 4", "CMP X[1], 0", 0x29},  // not a plain name: the left value is 0
        {"VAR X$ 200", "CMP X, -56", 0x29}, // bytes read signed
    };
    for (const Case& c : cases) {
        auto tsl =
            CompileScript(std::string(c.declarations) + "\nBEGIN:\n" + c.compare + "\nEND:\n");
        ASSERT_EQ(tsl->Begin(nullptr, 0), 0);
        EXPECT_EQ(tsl->GetCmpFlags(), c.flags) << c.declarations << " / " << c.compare;
    }
}

TEST(Interpreter, ClearedRunFlagEndsThePassBeforeTheNextCommand)
{
    auto tsl = CompileScript("VAR A% 0\nBEGIN:\nINC A\nJP BEGIN\nEND:\n");
    CRunFlag run(true);
    tsl->SetRunFlag(&run);
    std::thread pass([&] { tsl->Begin(nullptr, 0); });
    std::this_thread::sleep_for(20ms);
    run.Clear();
    pass.join();
    EXPECT_GT(tsl->FindVariableTable("A")->value.lValue, 0) << "the loop ran until stopped";

    const int32_t before = tsl->FindVariableTable("A")->value.lValue;
    EXPECT_EQ(tsl->Begin(nullptr, 0), 0);
    EXPECT_EQ(tsl->FindVariableTable("A")->value.lValue, before) << "no command runs when stopped";
}

TEST(Interpreter, InWithNothingReceivedEmptiesTheArray)
{
    auto tsl =
        CompileScript("DIM BUF$ 4\nVAR N% 9\nBEGIN:\nCOPY BUF, \"AB\", 2\nIN BUF, N\nEND:\n");
    ASSERT_EQ(tsl->Begin(nullptr, 0), 0);
    EXPECT_EQ(tsl->GetBufferValue("BUF[0]"), 0);
    EXPECT_EQ(tsl->GetBufferValue("N"), 0);
}
