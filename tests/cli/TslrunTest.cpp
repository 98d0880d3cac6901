// tslrun end to end: the real program, on real links, as a test bench would run it.
#include "ScriptFile.h"

#include <QProcess>
#include <QTcpServer>

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <pty.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace std::chrono_literals;

namespace {

struct Result
{
    int status = -1;
    std::string out;
    std::string err;
    std::chrono::steady_clock::duration took{};
};

Result RunTslrun(const QStringList& arguments, int timeoutMs = 20000)
{
    QProcess process;
    const auto start = std::chrono::steady_clock::now();
    process.start(TSLRUN_PATH, arguments);
    Result result;
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished();
        ADD_FAILURE() << "tslrun did not end: " << arguments.join(' ').toStdString();
    }
    result.took = std::chrono::steady_clock::now() - start;
    result.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.out = process.readAllStandardOutput().toStdString();
    result.err = process.readAllStandardError().toStdString();
    return result;
}

std::string Example(const char* name)
{
    return std::string(EXAMPLES_DIR) + "/" + name;
}

// A TCP script pointed nowhere in particular: the tests give the link on the command line.
std::string TcpScript(const std::string& body)
{
    return "OPEN MEDIA TCP\nOPEN IP 127.0.0.1\nOPEN PORT 9\nDIM BUF$ 64\nVAR N% 0\nVAR C% 0\n"
           "BEGIN:\n" +
           body + "END:\n";
}

} // namespace

TEST(Tslrun, CheckIsSilentForAValidScriptAndListsErrorsOtherwise)
{
    Result valid = RunTslrun({"--check", QString::fromStdString(Example("hello.tsl"))});
    EXPECT_EQ(valid.status, 0);
    EXPECT_EQ(valid.out, "");

    ScriptFile bad("BEGIN:\nMOVE X, 1\nFOO BAR\n");
    for (const char* mode : {"--check", "--echo"}) {
        Result invalid = RunTslrun({mode, QString::fromStdString(bad.Path())});
        EXPECT_EQ(invalid.status, 1) << mode;
        EXPECT_EQ(invalid.out, "error : line 3, 정의 되지 않은 명령어 입니다...\n"
                               "error : line -1, 종료부분'END'를 찾을수 없습니다...\n"
                               "error : line 2, 'X' 변수를 찾을수 없습니다...\n"
                               "3 개의 오류가 있습니다...\n")
            << mode;
    }
}

TEST(Tslrun, EveryExampleVerifies)
{
    for (const char* example :
         {"hello.tsl", "echo_responder.tsl", "request_check.tsl", "tag_table.tsl"}) {
        Result check = RunTslrun({"--check", QString::fromStdString(Example(example))});
        EXPECT_EQ(check.status, 0) << example << "\n" << check.out;
    }
}

TEST(Tslrun, SyncExitTurnsSyncIntoTheExitStatus)
{
    struct Case
    {
        const char* value;
        int status;
    };
    for (const Case c : {Case{"0", 0}, Case{"3", 3}, Case{"300", 255}}) {
        ScriptFile script(TcpScript(std::string("PRINT \"before\"\nSYNC ") + c.value + "\n"));
        Result run = RunTslrun({"--echo", "--sync-exit", QString::fromStdString(script.Path())});
        EXPECT_EQ(run.status, c.status) << c.value;
        EXPECT_EQ(run.out, "before\n") << "what was printed before SYNC is written";
    }
    Result check =
        RunTslrun({"--echo", "--sync-exit", QString::fromStdString(Example("request_check.tsl"))});
    EXPECT_EQ(check.status, 0);
    EXPECT_EQ(check.out, "answer: ok\n");
}

TEST(Tslrun, SecondsAndPassesEndTheRunWithStatusZero)
{
    ScriptFile counter(TcpScript("INC C\nPRINT C\n"));
    Result passes = RunTslrun({"--echo", "--passes", "3", QString::fromStdString(counter.Path())});
    EXPECT_EQ(passes.status, 0);
    EXPECT_EQ(passes.out, "1\n2\n3\n");

    Result timed =
        RunTslrun({"--echo", "--seconds", "0.5", QString::fromStdString(Example("hello.tsl"))});
    EXPECT_EQ(timed.status, 0);
    EXPECT_EQ(timed.out, "Hello !!\r\n\n");
    EXPECT_LT(timed.took, 10s);
}

TEST(Tslrun, EchoDeviceSendsBackWhatTheScriptSends)
{
    ScriptFile script(TcpScript("CMP C, 0\nJPNE READ\nOUT \"ping\"\nINC C\nREAD:\nIN BUF, N\n"
                                "CMP N, 0\nJPE END\nPRINT BUF\nSYNC 0\n"));
    Result run = RunTslrun({"--echo", "--sync-exit", QString::fromStdString(script.Path())});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "ping\n");
}

TEST(Tslrun, LinkFailuresExitTwoWithTheReason)
{
    Result port =
        RunTslrun({"--port", "/dev/nonexistent-tty", QString::fromStdString(Example("hello.tsl"))});
    EXPECT_EQ(port.status, 2);
    EXPECT_EQ(port.err,
              "통신포트 생성실패 하였습니다.[/dev/nonexistent-tty] No such file or directory\n");

    // A port nobody listens on refuses at once.
    QTcpServer probe;
    ASSERT_TRUE(probe.listen(QHostAddress::LocalHost, 0));
    const QString closed = QString("127.0.0.1:%1").arg(probe.serverPort());
    probe.close();
    Result refused = RunTslrun({"--connect", closed, QString::fromStdString(Example("hello.tsl"))});
    EXPECT_EQ(refused.status, 2);
    EXPECT_NE(refused.err.find("cannot connect to " + closed.toStdString()), std::string::npos)
        << refused.err;

    // A listener whose queue is full never answers: tslrun gives up after 3 s.
    const int listener = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(listen(listener, 0), 0);
    socklen_t length = sizeof address;
    getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length);
    const int filler = socket(AF_INET, SOCK_STREAM, 0);
    ASSERT_EQ(connect(filler, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    const QString full = QString("127.0.0.1:%1").arg(ntohs(address.sin_port));
    Result silent = RunTslrun({"--connect", full, QString::fromStdString(Example("hello.tsl"))});
    EXPECT_EQ(silent.status, 2);
    EXPECT_GE(silent.took, 2500ms);
    EXPECT_NE(silent.err.find("no answer within 3 seconds"), std::string::npos) << silent.err;
    close(filler);
    close(listener);

    Result usage = RunTslrun({"--passes", "0", QString::fromStdString(Example("hello.tsl"))});
    EXPECT_EQ(usage.status, 2);
}

TEST(Tslrun, SignalsStopTheRunCleanly)
{
    for (const auto& [signal, status] : {std::pair{SIGINT, 130}, std::pair{SIGTERM, 143}}) {
        QProcess process;
        process.start(TSLRUN_PATH, {"--echo", QString::fromStdString(Example("hello.tsl"))});
        ASSERT_TRUE(process.waitForReadyRead(10000)) << "the script prints once it runs";
        kill(static_cast<pid_t>(process.processId()), signal);
        ASSERT_TRUE(process.waitForFinished(10000));
        EXPECT_EQ(process.exitCode(), status);
    }
}

TEST(Tslrun, ControlBytesAreEscapedOnlyOnATerminal)
{
    ScriptFile script(TcpScript("PRINTEX \"A<01>B<7F>\tC<1B>[2J\"\nSYNC 0\n"));
    Result piped = RunTslrun({"--echo", "--sync-exit", QString::fromStdString(script.Path())});
    EXPECT_EQ(piped.out, "A\x01"
                         "B\x7F"
                         " C\x1B[2J\n")
        << "a pipe gets the raw bytes";

    // The same run with a terminal as standard output.
    int master = -1;
    const pid_t child = forkpty(&master, nullptr, nullptr, nullptr);
    ASSERT_GE(child, 0);
    if (child == 0) {
        execl(TSLRUN_PATH, TSLRUN_PATH, "--echo", "--sync-exit", script.Path().c_str(), nullptr);
        _exit(127);
    }
    std::string seen;
    char buffer[512];
    for (;;) {
        pollfd fd{master, POLLIN, 0};
        if (poll(&fd, 1, 10000) <= 0)
            break;
        const ssize_t n = read(master, buffer, sizeof buffer);
        if (n <= 0)
            break;
        seen.append(buffer, static_cast<size_t>(n));
    }
    int status = 0;
    waitpid(child, &status, 0);
    close(master);
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_NE(seen.find("A<01>B<7F> C<1B>[2J"), std::string::npos) << seen;
}
