// SIGINT and SIGTERM, and the time limit, end tslrun promptly in every phase, whatever the
// script and standard output do. The bounds are generous for a loaded machine; the program's
// own budget is 200 ms.
#include "TcpPeer.h"
#include "TslrunSupport.h"

using namespace TslrunTest;

namespace {

constexpr auto kPromptly = 2s;

const std::string kFlood =
    TcpScript("LOOP:\nPRINT \"a line of a flood that nobody reads\"\nJP LOOP\n");

// A script that takes a while to read and verify.
std::string LongScript()
{
    std::string body;
    for (int i = 0; i < 100'000; ++i)
        body += "INC C\n";
    return TcpScript(body);
}

} // namespace

TEST(TslrunSignals, EndTheProgramWith130Or143InEveryPhase)
{
    const ScriptFile hello(TcpScript("CMP C, 0\nJPNE END\nPRINT \"running\"\nINC C\n"));
    const ScriptFile flood(kFlood);
    const ScriptFile longScript(LongScript());
    const TcpListener silent(true); // its backlog is full: a connect to it never completes
    const std::string silentPeer = "127.0.0.1:" + std::to_string(silent.Port());

    struct Phase
    {
        const char* name;
        std::vector<std::string> arguments;
        // Waits until the run is in the phase.
        std::function<bool(SpawnedTslrun&)> reached;
    };
    const auto started = [](SpawnedTslrun& run) {
        return run.WaitUntil([&] { return run.TakesSignals(); });
    };
    const Phase phases[] = {
        {"reading and verifying", {"--echo", longScript.Path()}, started},
        {"connecting", {"--connect", silentPeer, hello.Path()}, started},
        {"running",
         {"--echo", hello.Path()},
         [](SpawnedTslrun& run) { return run.out.WaitFor("running"); }},
        {"output blocked",
         {"--echo", flood.Path()},
         [](SpawnedTslrun& run) { return run.out.WaitUntilFull(); }},
    };
    for (const Phase& phase : phases) {
        for (const auto& [signal, status] : {std::pair{SIGINT, 130}, std::pair{SIGTERM, 143}}) {
            SpawnedTslrun run(phase.arguments);
            ASSERT_TRUE(phase.reached(run)) << phase.name;
            const auto [ended, took] = run.Stop(signal);
            EXPECT_EQ(ended, status) << phase.name << ": " << run.Errors();
            EXPECT_LT(took, kPromptly) << phase.name;
        }
    }
}

TEST(TslrunSignals, TheTimeLimitEndsARunWhoseOutputNobodyReadsOrThatSleeps)
{
    const ScriptFile flood(kFlood);
    const ScriptFile sleeper(TcpScript("SLEEP 60000\n"));
    for (const ScriptFile* script : {&flood, &sleeper}) {
        const auto started = Clock::now();
        SpawnedTslrun run({"--echo", "--seconds", "1", script->Path()});
        EXPECT_EQ(run.Wait(20s), 0) << run.Errors();
        EXPECT_LT(Clock::now() - started, 1s + kPromptly);
    }
}

TEST(TslrunSignals, TheRunEndsWhenItsReaderGoesAway)
{
    const ScriptFile flood(kFlood);
    SpawnedTslrun run({"--echo", flood.Path()});
    ASSERT_TRUE(run.out.WaitFor("flood"));
    run.out.CloseWriter();
    run.out.CloseReader(); // as "tslrun ... | head" when head has had enough
    EXPECT_EQ(run.Wait(20s), 141) << run.Errors();
    EXPECT_EQ(run.Errors(), "");
}
