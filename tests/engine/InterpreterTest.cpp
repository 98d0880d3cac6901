#include "LoadedScript.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

using namespace std::chrono_literals;

namespace {

// The flag word CMP writes when its left value is equal to, less or greater than its right.
constexpr uint16_t kEqual = CMP_EQ | CMP_LE | CMP_GE;   // 0x29
constexpr uint16_t kLess = CMP_NE | CMP_LT | CMP_LE;    // 0x0E
constexpr uint16_t kGreater = CMP_NE | CMP_GT | CMP_GE; // 0x32

} // namespace

TEST(Interpreter, CmpWritesTheWholeFlagWord)
{
    struct Case
    {
        const char* declarations;
        const char* compare;
        uint16_t flags;
    };
    const Case cases[] = {
        {"VAR X% 10", "CMP X, 10", kEqual},
        {"VAR X% 5", "CMP X, 10", kLess},
        {"VAR X% 12", "CMP X, 10", kGreater},
        {"VAR X% 0", "CMP X, 0FFH", kEqual}, // hexadecimal is not read here: 0FFH is 0
        {"VAR X% 1010", "CMP X, 1010B", kEqual},
        {"VAR X# -2.5", "CMP X, -2.5", kEqual},
        {"VAR X% 3\nVAR Y% 4", "CMP X, Y", kLess},
        {"DIM X$ 4", "CMP X[1], 0", kEqual},  // not a plain name: the left value is 0
        {"VAR X$ 200", "CMP X, -56", kEqual}, // bytes read signed
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
    auto tsl = CompileScript("VAR A% 0\nBEGIN:\nINC A\nPRINT \"x\"\nJP BEGIN\nEND:\n");
    CRunFlag run(true);
    tsl->SetRunFlag(&run);
    std::thread pass([&] { tsl->Begin(nullptr, 0); });
    // The loop prints as it goes: once a line is queued, it is running.
    const bool printed = tsl->WaitForPrint(10s);
    run.Clear();
    pass.join();
    EXPECT_TRUE(printed);
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
