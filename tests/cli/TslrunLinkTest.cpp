// A link lost in the middle of a run, received bytes that must all reach the script, and the
// echo device under a peer that never reads.
#include "PtyPair.h"
#include "TcpPeer.h"
#include "TslrunSupport.h"

#include <cstring>

#include <thread>

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true; // freed memory is held back on purpose: no bound to check
#else
constexpr bool kSanitized = false;
#endif

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
        EXPECT_EQ(Count(run.Errors(), "tslrun: 링크가 끊어졌습니다: "), 1) << run.Errors();
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
    EXPECT_EQ(Count(run.Errors(), "tslrun: 링크가 끊어졌습니다: "), 1) << run.Errors();
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

TEST(TslrunLink, TheEchoDeviceHoldsBackAPeerThatNeverReadsAndLosesNothing)
{
    // The script leaves the echo device to the test's own client.
    const ScriptFile script(TcpScript("SLEEP 20\n"));
    Pipe out;
    SpawnedTslrun run({"--echo", script.Path()}, out.Writer());
    HeldSocket listener;
    ASSERT_TRUE(run.WaitUntil([&] {
        for (const HeldSocket& socket : SocketsOf(run.Pid(), "tcp")) {
            if (socket.state == "0A")
                listener = socket;
        }
        return listener.port != 0;
    })) << run.Errors();
    EXPECT_EQ(listener.address, "0100007F") << "on 127.0.0.1 only";

    const int client = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const sockaddr_in device = Loopback(listener.port);
    ASSERT_EQ(::connect(client, reinterpret_cast<const sockaddr*>(&device), sizeof device), 0);
    const long before = StatusKiB(run.Pid(), "VmRSS");
    const auto pattern = [](std::size_t at) { return static_cast<char>(at % 251); };

    // Far more than every buffer on the way holds: an echo that takes it all has no bound.
    constexpr std::size_t kFlood = 256u << 20;
    std::size_t sent = 0;
    bool heldBack = false;
    std::string chunk(1 << 16, '\0');
    while (sent < kFlood && !heldBack) {
        for (std::size_t i = 0; i < chunk.size(); ++i)
            chunk[i] = pattern(sent + i);
        const ssize_t put = ::send(client, chunk.data(), chunk.size(), MSG_DONTWAIT | MSG_NOSIGNAL);
        if (put > 0) {
            sent += static_cast<std::size_t>(put);
            continue;
        }
        ASSERT_EQ(errno, EAGAIN) << std::strerror(errno);
        pollfd room = {client, POLLOUT, 0};
        heldBack = ::poll(&room, 1, 3000) == 0;
    }
    EXPECT_TRUE(heldBack) << sent << " bytes taken from a peer that reads none";
    EXPECT_LT(sent, 64u << 20);
    if (!kSanitized) {
        EXPECT_LT(StatusKiB(run.Pid(), "VmRSS") - before, 16 * 1024) << "KiB more than before";
    }

    // Once the peer reads, every byte comes back, in order.
    std::size_t received = 0;
    std::size_t firstWrong = std::string::npos;
    std::vector<char> buffer(1 << 16);
    while (received < sent) {
        pollfd readable = {client, POLLIN, 0};
        if (::poll(&readable, 1, 20000) <= 0)
            break;
        const ssize_t got = ::recv(client, buffer.data(), buffer.size(), 0);
        if (got <= 0)
            break;
        for (ssize_t i = 0; i < got && firstWrong == std::string::npos; ++i) {
            if (buffer[static_cast<std::size_t>(i)] !=
                pattern(received + static_cast<std::size_t>(i)))
                firstWrong = received + static_cast<std::size_t>(i);
        }
        received += static_cast<std::size_t>(got);
    }
    ::close(client);
    EXPECT_EQ(received, sent);
    EXPECT_EQ(firstWrong, std::string::npos);
    EXPECT_EQ(run.Stop(SIGTERM).first, 143) << run.Errors();
}
