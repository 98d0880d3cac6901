// tslrun end to end: the real program, on real links, as a test bench would run it; inputs it
// cannot use, and its --trace.
#include "PtyPair.h"
#include "TcpPeer.h"
#include "TslrunSupport.h"

#include <cstring>
#include <sys/stat.h>

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

TEST(Tslrun, CheckIsSilentForEveryExampleAndListsScriptErrorsWithTheirCountExitingOne)
{
    for (const char* example :
         {"hello.tsl", "echo_responder.tsl", "request_check.tsl", "tag_table.tsl"}) {
        const ProgramRun valid = RunTslrun({"--check", Example(example)});
        EXPECT_EQ(valid.status, 0) << example;
        EXPECT_EQ(valid.out, "") << example;
    }
    ScriptFile bad("BEGIN:\nMOVE X, 1\nFOO BAR\n");
    for (const char* mode : {"--check", "--echo"}) {
        ProgramRun invalid = RunTslrun({mode, Path(bad)});
        EXPECT_EQ(invalid.status, 1) << mode;
        EXPECT_EQ(invalid.out, "error : line 3, 정의 되지 않은 명령어 입니다...\n"
                               "error : line -1, 종료부분'END'를 찾을수 없습니다...\n"
                               "error : line 2, 'X' 변수를 찾을수 없습니다...\n"
                               "3 개의 오류가 있습니다...\n")
            << mode;
    }
    // English on request only: scripts and bench logs compare the Korean messages.
    ProgramRun english = RunTslrun({"--lang", "en", "--check", Path(bad)});
    EXPECT_EQ(english.status, 1);
    EXPECT_EQ(english.out, "error : line 3, undefined command...\n"
                           "error : line -1, the end 'END' cannot be found...\n"
                           "error : line 2, the variable 'X' cannot be found...\n"
                           "3 error(s) found...\n");
}

TEST(Tslrun, RunsEndWithTheirSyncValueOrTheirLimitAndWriteWhatWasPrinted)
{
    const ScriptFile echo(TcpScript("CMP C, 0\nJPNE READ\nOUT \"ping\"\nINC C\nREAD:\nIN BUF, N\n"
                                    "CMP N, 0\nJPE END\nPRINT BUF\nSYNC 0\n"));
    const ScriptFile counter(TcpScript("INC C\nPRINT C\n"));
    struct Case
    {
        std::string script;
        QStringList options;
        int status;
        std::string out;
    };
    const auto sync = [](const char* value) {
        return TcpScript(std::string("PRINT \"before\"\nSYNC ") + value + "\n");
    };
    const Case cases[] = {
        {sync("0"), {"--sync-exit"}, 0, "before\n"},
        {sync("3"), {"--sync-exit"}, 3, "before\n"},
        {sync("300"), {"--sync-exit"}, 255, "before\n"},
        {"", {"--sync-exit", Example("request_check.tsl")}, 0, "answer: ok\n"},
        // The echo device sends back what the script sends.
        {"", {"--sync-exit", Path(echo)}, 0, "ping\n"},
        {"", {"--passes", "3", Path(counter)}, 0, "1\n2\n3\n"},
        {"", {"--seconds", "0.5", Example("hello.tsl")}, 0, "Hello !!\r\n\n"},
    };
    for (const Case& c : cases) {
        const ScriptFile script(c.script);
        const QStringList scripts = c.script.empty() ? QStringList() : QStringList{Path(script)};
        const ProgramRun run = RunTslrun(QStringList{"--echo"} + c.options + scripts);
        EXPECT_EQ(run.status, c.status) << c.out << run.err;
        EXPECT_EQ(run.out, c.out);
        EXPECT_LT(run.took, 10s);
    }
}

TEST(Tslrun, LoopbackGivesAScriptBackWhatItSentWhateverItsMediaWithNoDeviceOrPeer)
{
    // The script's own link would fail: no such port, nobody at the address.
    const std::string body = "CMP C, 0\nJPNE READ\nOUT \"ping<0D><0A>\"\nINC C\nREAD:\n"
                             "IN BUF, N\nCMP N, 0\nJPE END\nPRINT BUF\nSYNC 0\n";
    for (const std::string media :
         {"OPEN MEDIA TCP\nOPEN IP 127.0.0.1\nOPEN PORT 9\n", "OPEN MEDIA RS232C\nOPEN PORT COM9\n",
          "OPEN MEDIA UDP\nOPEN IP 192.0.2.1\nOPEN PORT 9\n"}) {
        const ScriptFile script(OnLink(media, TcpScript(body)));
        const ProgramRun run = RunTslrun({"--loopback", "--sync-exit", Path(script)});
        EXPECT_EQ(run.status, 0) << media << run.err;
        EXPECT_EQ(run.out, "ping\r\n\n") << media;
        EXPECT_EQ(run.err, "") << media;
    }
}

TEST(Tslrun, LinkFailuresExitTwoWithTheReason)
{
    ProgramRun port = RunTslrun({"--port", "/dev/nonexistent-tty", Example("hello.tsl")});
    EXPECT_EQ(port.status, 2);
    EXPECT_EQ(port.err, "tslrun: 통신포트 생성실패 하였습니다.[/dev/nonexistent-tty] No such file "
                        "or directory\n");
    port = RunTslrun({"--lang", "en", "--port", "/dev/nonexistent-tty", Example("hello.tsl")});
    EXPECT_EQ(port.err, "tslrun: Could not open the communication port.[/dev/nonexistent-tty] No "
                        "such file or directory\n");

    // A port nobody listens on refuses at once.
    const QString closed = QString("127.0.0.1:%1").arg(FreePort());
    ProgramRun refused = RunTslrun({"--connect", closed, Example("hello.tsl")});
    EXPECT_EQ(refused.status, 2);
    EXPECT_NE(refused.err.find("cannot connect to " + closed.toStdString()), std::string::npos)
        << refused.err;

    // A listener whose queue is full never answers: tslrun gives up after 3 s.
    const TcpListener listener(true);
    const QString full = QString("127.0.0.1:%1").arg(listener.Port());
    ProgramRun silent = RunTslrun({"--connect", full, Example("hello.tsl")});
    EXPECT_EQ(silent.status, 2);
    EXPECT_GE(silent.took, 2500ms);
    EXPECT_NE(silent.err.find("no answer within 3 seconds"), std::string::npos) << silent.err;

    // A host name as long as DNS allows reaches the link whole, and is named whole.
    const std::string name = std::string(63, 'a') + "." + std::string(63, 'b') + "." +
                             std::string(63, 'c') + "." + std::string(61, 'd');
    ASSERT_EQ(name.size(), 253u);
    const ProgramRun unknown =
        RunTslrun({"--connect", QString::fromStdString(name + ":5000"), Example("hello.tsl")});
    EXPECT_EQ(unknown.status, 2);
    EXPECT_NE(unknown.err.find("tslrun: cannot connect to " + name + ":5000: "), std::string::npos)
        << unknown.err;
}

TEST(Tslrun, ConnectReachesPeersByHostNameAndByIpv6Address)
{
    const ScriptFile script(TcpScript("IN BUF, N\nCMP N, 0\nJPE END\nPRINT BUF\nSYNC 0\n"));
    // The run connects to `host` and prints what the peer there says: `host` itself.
    const auto reach = [&](int listener, const std::string& host, quint16 port) {
        ASSERT_EQ(::listen(listener, 1), 0);
        SpawnedTslrun run(
            {"--sync-exit", "--connect", host + ":" + std::to_string(port), script.Path()});
        pollfd waiting = {listener, POLLIN, 0};
        ASSERT_GT(::poll(&waiting, 1, 20000), 0) << run.Errors();
        const int peer = ::accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
        ASSERT_GE(peer, 0);
        EXPECT_EQ(::send(peer, host.data(), host.size(), MSG_NOSIGNAL), ssize_t(host.size()));
        EXPECT_EQ(run.Wait(20s), 0) << run.Errors();
        EXPECT_TRUE(run.out.WaitForEcho(host)) << run.out.Read();
        ::close(peer);
    };
    // By name.
    const int v4 = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const sockaddr_in loopback = Loopback(0);
    ASSERT_EQ(::bind(v4, reinterpret_cast<const sockaddr*>(&loopback), sizeof loopback), 0);
    reach(v4, "localhost", LocalPortOf(v4));
    ::close(v4);
    // By IPv6 address, in brackets.
    const int v6 = ::socket(AF_INET6, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in6 address = {};
    address.sin6_family = AF_INET6;
    address.sin6_addr = in6addr_loopback;
    if (::bind(v6, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        ::close(v6);
        GTEST_SKIP() << "no IPv6 loopback address here: " << std::strerror(errno);
    }
    socklen_t length = sizeof address;
    ::getsockname(v6, reinterpret_cast<sockaddr*>(&address), &length);
    reach(v6, "[::1]", ntohs(address.sin6_port));
    ::close(v6);
}

TEST(Tslrun, UsageMistakesExit64WithOneLineAndWhereToReadMore)
{
    const QString script = Example("hello.tsl");
    const std::pair<QStringList, const char*> cases[] = {
        {{}, "no script given"},
        {{"--bogus", script}, "Unknown option 'bogus'"},
        {{script, "--port"}, "Missing value after '--port'"},
        {{"--passes", "0", script}, "--passes takes a whole number above 0"},
        {{"--passes", "-3", script}, "--passes takes"},
        {{"--seconds", "0", script}, "--seconds takes"},
        {{"--seconds", "-1", script}, "--seconds takes"},
        {{"--seconds", "31536000.5", script}, "--seconds takes"},
        {{"--seconds", "3e9", script}, "--seconds takes"},
        {{"--seconds", "nan", script}, "--seconds takes"},
        {{"--seconds", "inf", script}, "--seconds takes"},
        {{"--seconds", "2s", script}, "--seconds takes"},
        {{"--timeout", "0", script}, "--timeout takes"},
        {{"--timeout", "1y", script}, "--timeout takes"},
        {{"--junit", "", script}, "--junit takes the name of the report file"},
        {{"--connect", "localhost", script}, "--connect takes HOST:PORT"},
        {{"--connect", "localhost:65536", script}, "--connect takes HOST:PORT"},
        {{"--connect", "127.0.0.1:5000:1", script}, "--connect takes HOST:PORT"},
        {{"--connect", "::1:5000", script}, "--connect takes HOST:PORT"},
        {{"--connect", "[::1]5000", script}, "--connect takes HOST:PORT"},
        {{"--connect", "[::g]:5000", script}, "--connect takes HOST:PORT"},
        {{"--connect", ":5000", script}, "--connect takes HOST:PORT"},
        {{"--connect", "bench 7:5000", script}, "--connect takes HOST:PORT"},
        {{"--connect", "bench..lab:5000", script}, "--connect takes HOST:PORT"},
        {{"--connect", QString(254, 'h') + ":5000", script}, "--connect takes HOST:PORT"},
        {{"--echo", "--port", "/dev/null", script}, "give one of them"},
        {{"--loopback", "--connect", "127.0.0.1:9", script}, "give one of them"},
        {{"--lang", "fr", script}, "--lang takes ko or en"},
    };
    for (const auto& [arguments, reason] : cases) {
        const ProgramRun run = RunTslrun(arguments);
        EXPECT_EQ(run.status, 64) << reason;
        EXPECT_TRUE(run.err.starts_with("tslrun: ")) << run.err;
        EXPECT_NE(run.err.find(reason), std::string::npos) << run.err;
        EXPECT_TRUE(run.err.ends_with("\nTry 'tslrun --help'\n")) << run.err;
        EXPECT_EQ(Count(run.err, "\n"), 2) << run.err;
        EXPECT_EQ(run.out, "");
    }
    EXPECT_EQ(RunTslrun({"--check", "--seconds", "31536000", script}).status, 0)
        << "a year is the longest limit";

    const ProgramRun help = RunTslrun({"--help"});
    EXPECT_EQ(help.status, 0);
    for (const char* text : {"--sync-exit", "--junit FILE", "--loopback", "64   usage error",
                             "124  no SYNC within --timeout", "143 SIGTERM",
                             "3    the link was lost", "the first script that did not end with 0"})
        EXPECT_NE(help.out.find(text), std::string::npos) << text;
}

TEST(Tslrun, ControlBytesAreEscapedOnlyOnATerminal)
{
    ScriptFile script(TcpScript("PRINTEX \"A<01>B<7F>\tC<1B>[2J\"\nSYNC 0\n"));
    ProgramRun piped = RunTslrun({"--echo", "--sync-exit", Path(script)});
    EXPECT_EQ(piped.out, "A\x01"
                         "B\x7F"
                         " C\x1B[2J\n")
        << "a pipe gets the raw bytes";

    // The same run with a terminal as standard output.
    PtyPair pty;
    const int terminal = open(pty.SlavePath().c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    ASSERT_GE(terminal, 0);
    SpawnedTslrun onTerminal({"--echo", "--sync-exit", script.Path()}, terminal);
    EXPECT_EQ(onTerminal.Wait(20s), 0) << onTerminal.Errors();
    const std::string seen = pty.Receive(1 << 16, 1s); // all written by now
    close(terminal);
    EXPECT_NE(seen.find("A<01>B<7F> C<1B>[2J"), std::string::npos) << seen;
}

TEST(TslrunInputs, ScriptsThatCannotBeReadExitTwoWithTheReason)
{
    TempDir dir;
    const QString fifo = dir.Path("script.fifo");
    ASSERT_EQ(mkfifo(fifo.toLocal8Bit().constData(), 0600), 0);
    const QString huge = dir.Write("huge.tsl", "; more than 64 MiB\n");
    ASSERT_EQ(truncate(huge.toLocal8Bit().constData(), 64 * 1024 * 1024 + 1), 0);
    const QString locked = dir.Write("locked.tsl", "BEGIN:\nEND:\n");
    ASSERT_EQ(chmod(locked.toLocal8Bit().constData(), 0), 0);

    const std::pair<QString, const char*> cases[] = {
        {dir.Root(), "it is a directory"}, {fifo, "it is a FIFO"},
        {"/dev/zero", "it is a device"},   {dir.Path("missing.tsl"), "No such file or directory"},
        {huge, "larger than 64 MiB"},      {locked, "Permission denied"},
    };
    for (const auto& [path, reason] : cases) {
        // Root reads any file, whatever its mode.
        if (path == locked && geteuid() == 0)
            continue;
        for (const char* mode : {"--check", "--echo"}) {
            const ProgramRun run = RunTslrun({mode, path});
            EXPECT_EQ(run.status, 2) << reason << " " << mode;
            EXPECT_EQ(run.err, "tslrun: cannot read script \"" + path.toStdString() +
                                   "\": " + reason + "\n");
            EXPECT_EQ(run.out, "");
        }
    }
}

TEST(TslrunInputs, AScriptThatNamesNoUsableLinkSaysWhichAndExitsTwo)
{
    const std::pair<std::string, const char*> cases[] = {
        {"VAR C% 0\nBEGIN:\nINC C\nEND:\n", "the script opens no link (no OPEN MEDIA line)"},
        {"OPEN MEDIA UDP\nOPEN IP 127.0.0.1\nBEGIN:\nEND:\n",
         "the script's UDP link names an address but no port"},
        {"OPEN MEDIA UDP\nBEGIN:\nEND:\n", "the script's UDP link names no port"},
    };
    for (const auto& [text, reason] : cases) {
        ScriptFile script(text);
        const ProgramRun run = RunTslrun({Path(script)});
        EXPECT_EQ(run.status, 2) << reason;
        EXPECT_NE(run.err.find(reason), std::string::npos) << run.err;
        EXPECT_LT(run.took, 10s);
        // A link given on the command line is all it needs.
        const ProgramRun echoed = RunTslrun({"--echo", "--passes", "1", Path(script)});
        EXPECT_EQ(echoed.status, 0) << echoed.err;
    }
}

TEST(TslrunInputs, DiagnosticsSpellOutControlBytesWhereverTheyGo)
{
    // A table name with an escape sequence is refused at its line, and never reaches the
    // terminal; a path from the command line is quoted with its escapes spelled out.
    ScriptFile script(TcpScript("", "TABLE_NAME \"\x1b[31m/x\"\n"));
    const ProgramRun table = RunTslrun({"--echo", Path(script)});
    EXPECT_EQ(table.status, 1);
    EXPECT_EQ((table.out + table.err).find('\x1b'), std::string::npos) << table.out;
    EXPECT_NE(table.out.find("'TABLE_NAME' 인수사용이"), std::string::npos) << table.out;

    const ProgramRun missing = RunTslrun({"--check", "no\x1b]0;title\x07.tsl"});
    EXPECT_EQ(missing.status, 2);
    EXPECT_NE(missing.err.find("no<1B>]0;title<07>.tsl"), std::string::npos) << missing.err;
}

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
