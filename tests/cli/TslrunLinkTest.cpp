// A link lost in the middle of a run, and received bytes that must all reach the script.
#include "PtyPair.h"
#include "TcpPeer.h"
#include "TslrunSupport.h"

#include <thread>

using namespace TslrunTest;

namespace {

const std::string kEcho = TcpScript("IN BUF, N\nCMP N, 0\nJPE END\nPRINT BUF\n");
// Counts every received byte, a little slowly, and prints the total after each pass.
const std::string kCounter =
    TcpScript("IN BUF, N\nCMP N, 0\nJPE END\nADD T, N\nPRINT T\nSLEEP 2\n", "VAR T% 0\n");

std::string SerialScript(const std::string& tcpScript)
{
    const std::string tcpHead = "OPEN MEDIA TCP\nOPEN IP 127.0.0.1\nOPEN PORT 9\n";
    return "OPEN MEDIA RS232C\nOPEN PORT COM1\n" + tcpScript.substr(tcpHead.size());
}

std::string Tail(const std::string& text)
{
    return text.substr(text.size() > 100 ? text.size() - 100 : 0);
}

std::string Peer(const TcpListener& listener)
{
    return "127.0.0.1:" + std::to_string(listener.Port());
}

} // namespace

TEST(TslrunLink, APeerThatClosesEndsTheRunWithThreeUnlessKeptRunningAndIsToldOnce)
{
    const ScriptFile script(kEcho);
    // The bytes sent before the close reach the script either way.
    const std::pair<std::vector<std::string>, int> cases[] = {
        {{}, 3},
        {{"--keep-running", "--seconds", "1"}, 0},
    };
    for (const auto& [options, status] : cases) {
        TcpListener listener;
        Pipe out;
        std::vector<std::string> arguments = options;
        arguments.insert(arguments.end(), {"--connect", Peer(listener), script.Path()});
        SpawnedTslrun run(arguments, out.Writer());
        TcpPeer peer = listener.Accept();
        ASSERT_TRUE(peer.IsOpen());
        peer.Send("last words");
        peer.Close();
        EXPECT_EQ(run.Wait(20s), status) << run.Errors();
        EXPECT_TRUE(out.WaitForEcho("last words")) << out.Read();
        EXPECT_EQ(Count(run.Errors(), "링크가 끊어졌습니다: "), 1) << run.Errors();
    }
}

TEST(TslrunLink, ASerialDeviceThatGoesAwayEndsTheRunWithThree)
{
    const ScriptFile script(SerialScript(kEcho));
    PtyPair pty;
    Pipe out;
    SpawnedTslrun run({"--port", pty.SlavePath(), script.Path()}, out.Writer());
    // Opening the port clears what the line held before.
    ASSERT_TRUE(run.WaitUntil([&] { return run.HasOpen(pty.SlavePath()); }));
    pty.Send("ping");
    ASSERT_TRUE(out.WaitForEcho("ping")) << run.Errors();
    pty.CloseMaster();
    EXPECT_EQ(run.Wait(20s), 3) << run.Errors();
    EXPECT_EQ(Count(run.Errors(), "링크가 끊어졌습니다: "), 1) << run.Errors();
}

TEST(TslrunLink, EveryByteOfAFloodReachesASlowScript)
{
    constexpr int kBytes = 100'000; // twelve times the host's queue
    const std::string flood(kBytes, 'x');
    const std::string total = "\n" + std::to_string(kBytes) + "\n";

    // TCP: what the queue cannot take stays in the socket, even after the peer closed.
    {
        const ScriptFile script(kCounter);
        TcpListener listener;
        Pipe out;
        SpawnedTslrun run({"--connect", Peer(listener), script.Path()}, out.Writer());
        TcpPeer peer = listener.Accept();
        peer.Send(QByteArray::fromStdString(flood));
        peer.Close();
        EXPECT_TRUE(out.WaitFor(total)) << Tail(out.Read());
        EXPECT_EQ(run.Wait(20s), 3) << run.Errors();
    }
    // Serial: what the queue cannot take stays in the driver; the writer waits meanwhile.
    {
        const ScriptFile script(SerialScript(kCounter));
        PtyPair pty;
        Pipe out;
        SpawnedTslrun run({"--strict", "--port", pty.SlavePath(), script.Path()}, out.Writer());
        ASSERT_TRUE(run.WaitUntil([&] { return run.HasOpen(pty.SlavePath()); }));
        std::thread writer([&] { pty.Send(flood); });
        EXPECT_TRUE(out.WaitFor(total)) << Tail(out.Read());
        writer.join();
        pty.CloseMaster();
        EXPECT_EQ(run.Wait(20s), 3) << run.Errors();
        EXPECT_EQ(run.Errors().find("lost"), std::string::npos) << run.Errors();
    }
}
