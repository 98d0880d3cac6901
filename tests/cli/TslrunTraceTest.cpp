// tslrun --trace: each line a script runs, on standard error, bounded and escaped.
#include "TslrunSupport.h"

using namespace TslrunTest;

namespace {

// The lines of `text` that a trace wrote.
std::vector<std::string> TraceLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (line.starts_with("+ "))
            lines.push_back(line);
    }
    return lines;
}

} // namespace

TEST(TslrunTrace, EachLineRunGoesToStandardErrorWithItsNumberAsTheTerminalMayShowIt)
{
    // Line 7 is BEGIN:. The first pass jumps to END, the second makes the SYNC. A C1 control
    // in a line that is not UTF-8 is shown in the notation; Hangul as it is.
    const ScriptFile script(TcpScript("  INC C   // one more\n"
                                      "  PRINT \"\xED\x95\x9C\"\n"
                                      "  PRINT \"\x9B"
                                      "2J\"\n"
                                      "  CMP C, 2\n"
                                      "  JPL END\n"
                                      "  SYNC 0\n"));
    const ProgramRun run = RunTslrun({"--echo", "--sync-exit", "--trace", Path(script)});
    EXPECT_EQ(run.status, 0) << run.err;
    const std::vector<std::string> pass = {"+ 8: INC C", "+ 9: PRINT \"\xED\x95\x9C\"",
                                           "+ 10: PRINT \"<9B>2J\"", "+ 11: CMP C, 2",
                                           "+ 12: JPL END"};
    std::vector<std::string> expected = pass;
    expected.insert(expected.end(), pass.begin(), pass.end());
    expected.push_back("+ 13: SYNC 0");
    EXPECT_EQ(TraceLines(run.err), expected) << run.err;
    EXPECT_EQ(run.err, run.err.substr(0, run.err.find("tslrun:"))) << "nothing else was said";
    EXPECT_EQ(run.out, "\xED\x95\x9C\n\x9B"
                       "2J\n\xED\x95\x9C\n\x9B"
                       "2J\n")
        << "standard output holds what the script printed, as before";

    const ProgramRun quiet = RunTslrun({"--echo", "--sync-exit", Path(script)});
    EXPECT_EQ(quiet.err, "") << "no trace unless asked";
}

TEST(TslrunTrace, ALongLoopTracesItsLimitSaysSoAndRunsOnUntraced)
{
    // 250,000 rounds of three commands.
    const ScriptFile loop(
        TcpScript("LOOP:\n  INC C\n  CMP C, 250000\n  JPL LOOP\n  PRINT C\n  SYNC 0\n"));
    const struct
    {
        QStringList options;
        std::size_t lines;
    } cases[] = {
        {{"--trace"}, 100000},
        {{"--trace-limit", "5"}, 5},
        {{"--trace", "--trace-limit", "1000"}, 1000},
    };
    for (const auto& c : cases) {
        const ProgramRun run =
            RunTslrun(QStringList{"--echo", "--sync-exit"} + c.options + QStringList{Path(loop)});
        EXPECT_EQ(run.status, 0) << run.err.substr(run.err.size() - 200);
        EXPECT_EQ(run.out, "250000\n") << "the whole loop ran";
        const std::vector<std::string> lines = TraceLines(run.err);
        ASSERT_EQ(lines.size(), c.lines);
        EXPECT_EQ(lines.front(), "+ 9: INC C");
        const char* const round[] = {"+ 9: INC C", "+ 10: CMP C, 250000", "+ 11: JPL LOOP"};
        EXPECT_EQ(lines.back(), round[(c.lines - 1) % 3]);
        EXPECT_TRUE(run.err.ends_with("tslrun: trace: the first " + std::to_string(c.lines) +
                                      " lines only (--trace-limit); the run goes on untraced\n"))
            << run.err.substr(run.err.size() - 200);
    }
    const ProgramRun zero = RunTslrun({"--trace-limit", "0", Path(loop)});
    EXPECT_EQ(zero.status, 64);
    EXPECT_NE(zero.err.find("--trace-limit takes a whole number above 0"), std::string::npos);
}

TEST(TslrunTrace, AStandardErrorNobodyReadsHoldsTheScriptNotMemoryAndAStopStillEndsIt)
{
    const ScriptFile endless(TcpScript("  INC C\n  JP BEGIN\n"));
    Pipe errors;
    const int nothing = open("/dev/null", O_WRONLY | O_CLOEXEC);
    SpawnedTslrun run({"--echo", "--trace-limit", "100000000", endless.Path()}, nothing,
                      errors.Writer());
    close(nothing);
    ASSERT_TRUE(errors.WaitUntilFull());
    // Written no further, the trace holds at its buffer (a megabyte) while the script waits:
    // a trace without a bound would grow by tens of megabytes a second here.
    const long full = StatusKiB(run.Pid(), "VmRSS");
    ASSERT_GT(full, 0);
    EXPECT_FALSE(PollUntil([&] { return StatusKiB(run.Pid(), "VmRSS") > full + 32 * 1024; }, 2s))
        << "grew from " << full << " KiB";
    EXPECT_EQ(run.Stop(SIGTERM).first, 143);
}
