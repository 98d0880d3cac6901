#include "CDecodeCtrl.h"
#include "CScriptDebugger.h"
#include "CTSL.h"
#include "EventLoopWait.h"
#include "LoadedScript.h"
#include "TcpPeer.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

// Keeps every stop a debugger tells, for the test thread to wait on.
class StopLog
{
public:
    CScriptDebugger::StopListener Listener()
    {
        return [this](const CDebugStop& stop) {
            std::lock_guard lock(m_mutex);
            m_stops.push_back(stop);
        };
    }
    std::size_t Count() const
    {
        std::lock_guard lock(m_mutex);
        return m_stops.size();
    }
    CDebugStop At(std::size_t i) const
    {
        std::lock_guard lock(m_mutex);
        return m_stops.at(i);
    }
    // Waits, with the event loop running, until the stop numbered n (from 1) is told.
    bool WaitFor(std::size_t n) const
    {
        return ::WaitFor([&] { return Count() >= n; });
    }

private:
    mutable std::mutex m_mutex;
    std::vector<CDebugStop> m_stops;
};

// A compiled script run pass after pass on a thread of its own, as the script host runs it.
class Passes
{
public:
    Passes(CTSL& tsl, CDebugHook& hook) : m_tsl(tsl)
    {
        tsl.SetRunFlag(&m_run);
        tsl.SetDebugHook(&hook);
        m_thread = std::thread([this] {
            while (m_run.IsSet())
                m_tsl.Begin(nullptr, 0);
        });
    }
    ~Passes() { Stop(); }
    void Stop()
    {
        m_run.Clear();
        if (m_thread.joinable())
            m_thread.join();
    }

private:
    CTSL& m_tsl;
    CRunFlag m_run{true};
    std::thread m_thread;
};

const CDebugVariable* Variable(const CDebugStop& stop, const std::string& name)
{
    for (const CDebugVariable& var : stop.variables) {
        if (var.strName == name)
            return &var;
    }
    return nullptr;
}

double Value(const CDebugStop& stop, const std::string& name)
{
    const CDebugVariable* var = Variable(stop, name);
    return var ? var->value : -1;
}

// Counts its passes; on the second one only, a loop of three rounds.
const char* const kLoopScript = "VAR PASS% 0\n"   // 1
                                "VAR I% 0\n"      // 2
                                "BEGIN:\n"        // 3
                                "  INC PASS\n"    // 4
                                "  MOVE I, 0\n"   // 5
                                "  CMP PASS, 2\n" // 6
                                "  JPNE END\n"    // 7
                                "LOOP:\n"         // 8
                                "  INC I\n"       // 9
                                "  CMP I, 3\n"    // 10
                                "  JPL LOOP\n"    // 11
                                "END:\n";         // 12

} // namespace

TEST(Debugger, StopsAtABreakpointInsideALoopOnTheSecondPassAtEachRound)
{
    auto tsl = CompileScript(kLoopScript);
    StopLog log;
    CScriptDebugger debugger(log.Listener());
    debugger.SetBreakpoints({9});
    Passes passes(*tsl, debugger);
    for (int round = 0; round < 3; ++round) {
        SCOPED_TRACE(round);
        ASSERT_TRUE(log.WaitFor(static_cast<std::size_t>(round) + 1));
        const CDebugStop stop = log.At(static_cast<std::size_t>(round));
        EXPECT_EQ(stop.nLine, 9);
        EXPECT_EQ(stop.strText, "INC I");
        EXPECT_EQ(Value(stop, "PASS"), 2) << "the first pass never reaches the loop";
        EXPECT_EQ(Value(stop, "I"), round) << "stopped before the command runs";
        EXPECT_TRUE(debugger.IsStopped());
        // A breakpoint on a line without a command stops at the next command below it.
        if (round == 2)
            debugger.SetBreakpoints({3});
        EXPECT_TRUE(debugger.Continue());
    }
    // The loop left after its third round, and the next pass stopped before anything else.
    ASSERT_TRUE(log.WaitFor(4));
    const CDebugStop next = log.At(3);
    EXPECT_EQ(next.nLine, 4);
    EXPECT_EQ(Value(next, "PASS"), 2);
    EXPECT_EQ(Value(next, "I"), 3);
    EXPECT_TRUE(debugger.Step());
    ASSERT_TRUE(log.WaitFor(5));
    EXPECT_EQ(log.At(4).nLine, 5);
    EXPECT_EQ(Value(log.At(4), "PASS"), 3);

    // Without breakpoints it runs on.
    debugger.SetBreakpoints({});
    EXPECT_TRUE(debugger.Continue());
    ASSERT_TRUE(WaitFor([&] { return !debugger.IsStopped(); }));
    EXPECT_FALSE(debugger.Continue()) << "not stopped any more";
}

TEST(Debugger, StepRunsOneCommandAcrossJumpsAndPasses)
{
    auto tsl = CompileScript(kLoopScript);
    StopLog log;
    CScriptDebugger debugger(log.Listener());
    debugger.BreakNext();
    Passes passes(*tsl, debugger);
    // Where each step stops, and the counters then: the first pass jumps to END, which ends
    // it; the second goes into the loop, jumps back twice and leaves it.
    const struct
    {
        int line;
        double pass;
        double i;
    } steps[] = {
        {4, 0, 0},  {5, 1, 0},  {6, 1, 0},  {7, 1, 0},  // JPNE END taken: the pass ends
        {4, 1, 0},  {5, 2, 0},  {6, 2, 0},  {7, 2, 0},  // not taken: on into the loop
        {9, 2, 0},  {10, 2, 1}, {11, 2, 1}, {9, 2, 1},  // JPL LOOP taken: back to its label
        {10, 2, 2}, {11, 2, 2}, {9, 2, 2},  {10, 2, 3}, //
        {11, 2, 3}, {4, 2, 3},                          // not taken: the pass ends
    };
    std::size_t told = 0;
    for (const auto& step : steps) {
        SCOPED_TRACE(told);
        ASSERT_TRUE(log.WaitFor(++told));
        const CDebugStop stop = log.At(told - 1);
        EXPECT_EQ(stop.nLine, step.line);
        EXPECT_EQ(Value(stop, "PASS"), step.pass);
        EXPECT_EQ(Value(stop, "I"), step.i);
        EXPECT_EQ(stop.nStop, told);
        ASSERT_TRUE(debugger.Step());
    }
}

TEST(Debugger, AVarSetWhileStoppedIsWhatTheScriptGoesOnWith)
{
    auto tsl = CompileScript("VAR N% 0\nVAR D# 0\nVAR B$ 0\nDIM BUF$ 4\nEQU TEXT \"A<0D>\"\n"
                             "BEGIN:\n  INC N\n  PRINT N\nEND:\n");
    StopLog log;
    CScriptDebugger debugger(log.Listener());
    debugger.SetBreakpoints({8});
    Passes passes(*tsl, debugger);
    ASSERT_TRUE(log.WaitFor(1));
    EXPECT_EQ(Value(log.At(0), "N"), 1);
    EXPECT_FALSE(debugger.SetVariable("BUF", 1)) << "only a VAR takes a value";
    EXPECT_FALSE(debugger.SetVariable("TEXT", 1));
    EXPECT_FALSE(debugger.SetVariable("NONE", 1));
    // Stored as the script's own commands store: a long is cut to a whole number, a byte
    // wraps.
    ASSERT_TRUE(debugger.SetVariable("N", 41.7));
    ASSERT_TRUE(debugger.SetVariable("D", 2.5));
    ASSERT_TRUE(debugger.SetVariable("B", 300));
    ASSERT_TRUE(::WaitFor([&] {
        const auto stop = debugger.LastStop();
        return stop && Value(*stop, "N") == 41 && Value(*stop, "D") == 2.5 &&
               Value(*stop, "B") == 44;
    }));
    EXPECT_EQ(debugger.LastStop()->nLine, 8) << "still stopped where it was";
    const CDebugVariable* text = Variable(*debugger.LastStop(), "TEXT");
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->bytes, "A<0D>") << "a text as written";
    EXPECT_EQ(text->byKind, KIND_EQU);
    debugger.SetBreakpoints({});
    EXPECT_TRUE(debugger.Continue());
    ASSERT_TRUE(tsl->WaitForPrint(std::chrono::milliseconds(kEventWaitMs)));
    passes.Stop();
    EXPECT_EQ(TakePrinted(*tsl).front(), "41");
}

TEST(Debugger, ClearingTheRunFlagEndsTheWaitAndRunsNothingMore)
{
    auto tsl = CompileScript("VAR N% 0\nBEGIN:\n  INC N\n  INC N\nEND:\n");
    StopLog log;
    CScriptDebugger debugger(log.Listener());
    debugger.SetBreakpoints({4});
    Passes passes(*tsl, debugger);
    ASSERT_TRUE(log.WaitFor(1));
    passes.Stop(); // joins: the wait ended
    EXPECT_FALSE(debugger.IsStopped());
    EXPECT_EQ(tsl->FindVariableTable("N")->value.lValue, 1) << "the command stopped at never ran";
}

TEST(Debugger, CommandsKnowTheLineOfTheFileTheyWereWrittenOn)
{
    // CR LF ends, comment lines longer than a read line, a label, a blank line, tabs, Hangul.
    const std::string longComment = "// " + std::string(400, 'x');
    auto tsl =
        CompileScript("VAR N% 0\r\n" + longComment + "\r\nBEGIN:\r\n\r\n  INC\t\tN ; one\r\n" +
                      longComment + "\r\nLOOP: \r\n  PRINT \t \"한  글\"\r\n  JP END\r\nEND:\r\n");
    const struct
    {
        int line;
        std::string text;
    } expected[] = {{5, "INC N"}, {8, "PRINT \"한  글\""}, {9, "JP END"}};
    ASSERT_EQ(tsl->m_listCommand.size(), std::size(expected));
    for (std::size_t position = 0; position < std::size(expected); ++position) {
        EXPECT_EQ(tsl->CommandLine(position), expected[position].line) << position;
        EXPECT_EQ(tsl->CommandText(position), expected[position].text);
    }
    EXPECT_EQ(tsl->CommandLine(99), 0);
    EXPECT_EQ(tsl->CommandText(99), "");
}

// A TCP peer for a script host on 127.0.0.1: the script connects, the test sends and closes.
class DebuggedHost : public ::testing::Test
{
protected:
    void Start(const std::string& body, std::vector<int> breakpoints)
    {
        m_file = std::make_unique<ScriptFile>(
            "OPEN MEDIA TCP\nOPEN IP 127.0.0.1\nOPEN PORT " + std::to_string(m_listener.Port()) +
            "\nDIM BUF$ 16\nVAR N% 0\nBEGIN:\n" + body + "END:\n");
        m_debugger.SetBreakpoints(std::move(breakpoints));
        m_host.SetScriptName(m_file->Path().c_str());
        m_host.SetDebugHook(&m_debugger);
        ASSERT_EQ(m_host.VerifyScript(), 0);
        ASSERT_EQ(m_host.Run(), 0);
        m_peer = m_listener.Accept();
        ASSERT_TRUE(m_peer.IsOpen());
    }
    void TearDown() override { m_host.Stop(); }

    TcpListener m_listener;
    StopLog m_log;
    CScriptDebugger m_debugger{m_log.Listener()};
    std::unique_ptr<ScriptFile> m_file;
    CDecodeCtrl m_host;
    TcpPeer m_peer;
};

TEST_F(DebuggedHost, ShowsWhatArrayAndPassReceivedFromTheFarEnd)
{
    // Line 10 is reached in a pass that received something.
    Start("  IN BUF, N\n  CMP N, 0\n  JPE END\n  PRINT BUF, H\n", {10});
    const QByteArray sent("AB\r\n\x01\xC7\xD1", 7);
    m_peer.Send(sent);
    ASSERT_TRUE(m_log.WaitFor(1));
    const CDebugStop stop = m_log.At(0);
    EXPECT_EQ(stop.nLine, 10);
    EXPECT_EQ(stop.received, sent.toStdString());
    EXPECT_EQ(stop.nReceived, 7);
    EXPECT_EQ(Value(stop, "N"), 7);
    const CDebugVariable* buf = Variable(stop, "BUF");
    ASSERT_NE(buf, nullptr);
    EXPECT_EQ(buf->byKind, KIND_DIM);
    EXPECT_EQ(buf->nBytes, 16);
    EXPECT_EQ(buf->bytes, sent.toStdString()) << "the bytes, without the array's empty room";
    EXPECT_EQ(stop.wCmpFlags, CMP_NE | CMP_GT | CMP_GE);
}

TEST_F(DebuggedHost, ALinkLostWhileStoppedLeavesAStopThatEndsTheRun)
{
    Start("  IN BUF, N\n  CMP N, 0\n  JPE END\n  PRINT BUF\n", {10});
    m_peer.Send("x");
    ASSERT_TRUE(m_log.WaitFor(1));
    m_peer.Abort();
    ASSERT_TRUE(WaitFor([&] { return !m_host.GetLinkLoss().empty(); }));
    EXPECT_TRUE(m_debugger.IsStopped()) << "a lost link alone does not run the script on";
    // What the program does then: the run is stopped, which ends the wait and joins.
    m_host.Stop();
    EXPECT_FALSE(m_host.IsRunning());
    EXPECT_FALSE(m_debugger.IsStopped());
    EXPECT_FALSE(m_debugger.Continue());
}
