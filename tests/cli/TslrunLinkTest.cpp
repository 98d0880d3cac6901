// A link lost in the middle of a run, received bytes that must all reach the script, the echo
// device under a peer that never reads, and UDP scripts.
#include "BytePattern.h"
#include "PtyPair.h"
#include "TcpPeer.h"
#include "TslrunSupport.h"

#include <cstring>
#include <sys/socket.h>
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

std::string Tail(const std::string& text)
{
    return text.substr(text.size() > 100 ? text.size() - 100 : 0);
}

std::string Peer(const TcpListener& listener)
{
    return "127.0.0.1:" + std::to_string(listener.Port());
}

// "ping" once, then every datagram that comes back is printed.
const char* const kPingBody = "CMP C, 0\nJPNE READ\nOUT \"ping\"\nINC C\nREAD:\nIN BUF, N\n"
                              "CMP N, 0\nJPE END\nPRINT BUF\n";

std::string UdpScript(const std::string& lines, const std::string& body)
{
    return OnLink("OPEN MEDIA UDP\n" + lines, TcpScript(body));
}

int BoundUdpSocket(quint16& port)
{
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    const sockaddr_in address = Loopback(0);
    EXPECT_EQ(::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    port = LocalPortOf(fd);
    return fd;
}

} // namespace

TEST(TslrunLink, EveryByteBeforeALossReachesASlowScriptAndTheLossIsToldOnce)
{
    constexpr int kBytes = 100'000; // twelve times the host's queue
    const std::string flood(kBytes, 'x');
    const std::string total = "\n" + std::to_string(kBytes) + "\n";
    const std::string told = "tslrun: 링크가 끊어졌습니다: ";

    // TCP: what the queue cannot take stays in the socket, even after the peer closed.
    {
        const ScriptFile script(kCounter);
        TcpListener listener;
        SpawnedTslrun run({"--connect", Peer(listener), script.Path()});
        TcpPeer peer = listener.Accept();
        ASSERT_TRUE(peer.IsOpen());
        peer.Send(QByteArray::fromStdString(flood));
        peer.Close();
        EXPECT_TRUE(run.out.WaitFor(total)) << Tail(run.out.Read());
        EXPECT_EQ(run.Wait(20s), 3) << run.Errors();
        EXPECT_EQ(Count(run.Errors(), told), 1) << run.Errors();
    }
    // Serial: what the queue cannot take stays in the driver; the writer waits meanwhile. A
    // device that goes away ends the run as a peer that closes does.
    {
        const ScriptFile script(OnLink("OPEN MEDIA RS232C\nOPEN PORT COM1\n", kCounter));
        PtyPair pty;
        SpawnedTslrun run({"--strict", "--port", pty.SlavePath(), script.Path()});
        // Opening the port clears what the line held before.
        ASSERT_TRUE(run.WaitUntil([&] { return run.HasOpen(pty.SlavePath()); }));
        std::thread writer([&] { pty.Send(flood); });
        EXPECT_TRUE(run.out.WaitFor(total)) << Tail(run.out.Read());
        writer.join();
        pty.CloseMaster();
        EXPECT_EQ(run.Wait(20s), 3) << run.Errors();
        EXPECT_EQ(run.Errors().find("lost"), std::string::npos) << run.Errors();
        EXPECT_EQ(Count(run.Errors(), told), 1) << run.Errors();
    }
    // Kept running, the run ends at its limit; the bytes sent before the close reach the script.
    const ScriptFile script(kEcho);
    TcpListener listener;
    SpawnedTslrun run(
        {"--keep-running", "--seconds", "1", "--connect", Peer(listener), script.Path()});
    TcpPeer peer = listener.Accept();
    ASSERT_TRUE(peer.IsOpen());
    peer.Send("last words");
    peer.Close();
    EXPECT_EQ(run.Wait(20s), 0) << run.Errors();
    EXPECT_TRUE(run.out.WaitForEcho("last words")) << run.out.Read();
    EXPECT_EQ(Count(run.Errors(), told), 1) << run.Errors();
}

TEST(TslrunLink, TheEchoDeviceHoldsBackAPeerThatNeverReadsAndLosesNothing)
{
    // The script leaves the echo device to the test's own client.
    const ScriptFile script(TcpScript("SLEEP 20\n"));
    SpawnedTslrun run({"--echo", script.Path()});
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

    // Far more than every buffer on the way holds: an echo that takes it all has no bound.
    constexpr std::size_t kFlood = 256u << 20;
    std::size_t sent = 0;
    bool heldBack = false;
    while (sent < kFlood && !heldBack) {
        const std::string chunk = BytePattern(sent, 1 << 16);
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
    std::string back;
    std::vector<char> buffer(1 << 16);
    for (pollfd readable = {client, POLLIN, 0};
         back.size() < sent && ::poll(&readable, 1, 20000) > 0;) {
        const ssize_t got = ::recv(client, buffer.data(), buffer.size(), 0);
        if (got <= 0)
            break;
        back.append(buffer.data(), static_cast<std::size_t>(got));
    }
    ::close(client);
    EXPECT_EQ(back.size(), sent);
    EXPECT_TRUE(back == BytePattern(0, back.size())) << "changed or out of order";
    EXPECT_EQ(run.Stop(SIGTERM).first, 143) << run.Errors();
}

TEST(TslrunUdp, DatagramsGoToThePeerOrTheEchoDeviceAndComeBackOnTheLocalPort)
{
    const ScriptFile echoed(
        UdpScript("OPEN IP 127.0.0.1\nOPEN PORT 9\n", kPingBody + std::string("SYNC 0\n")));
    const ProgramRun run = RunTslrun({"--echo", "--sync-exit", Path(echoed)});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "ping\n");

    // The echo device and the script's own socket both listen on 127.0.0.1 alone.
    {
        const ScriptFile pinging(UdpScript("OPEN IP 127.0.0.1\nOPEN PORT 9\n", kPingBody));
        SpawnedTslrun spawned({"--echo", pinging.Path()});
        ASSERT_TRUE(spawned.out.WaitFor("ping\n")) << spawned.Errors();
        const std::vector<HeldSocket> sockets = SocketsOf(spawned.Pid(), "udp");
        EXPECT_EQ(sockets.size(), 2u);
        for (const HeldSocket& socket : sockets)
            EXPECT_EQ(socket.address, "0100007F") << "port " << socket.port;
    }

    quint16 peerPort = 0;
    const int peer = BoundUdpSocket(peerPort);
    quint16 localPort = 0;
    ::close(BoundUdpSocket(localPort)); // a port that was free a moment ago
    const ScriptFile script(UdpScript("OPEN IP 127.0.0.1\nOPEN PORT " + std::to_string(peerPort) +
                                          "\nOPEN LOCAL_PORT " + std::to_string(localPort) + "\n",
                                      kPingBody));
    SpawnedTslrun spawned({"--seconds", "20", script.Path()});
    char buf[128];
    sockaddr_in from = {};
    socklen_t length = sizeof from;
    pollfd readable = {peer, POLLIN, 0};
    ASSERT_GT(::poll(&readable, 1, 20000), 0) << spawned.Errors();
    const ssize_t got =
        ::recvfrom(peer, buf, sizeof buf, 0, reinterpret_cast<sockaddr*>(&from), &length);
    EXPECT_EQ(std::string(buf, size_t(std::max<ssize_t>(got, 0))), "ping");
    EXPECT_EQ(ntohs(from.sin_port), localPort) << "it sends from the port it receives on";

    // An empty datagram reaches nothing, the next one is printed.
    const sockaddr_in to = Loopback(localPort);
    for (const std::string& datagram : {std::string(), std::string("pong")})
        ::sendto(peer, datagram.data(), datagram.size(), 0, reinterpret_cast<const sockaddr*>(&to),
                 sizeof to);
    EXPECT_TRUE(spawned.out.WaitFor("pong\n")) << spawned.out.Read() << spawned.Errors();
    EXPECT_EQ(spawned.out.Read(), "pong\n") << "the empty one printed nothing";
    ::close(peer);

    // The UDP link is IPv4 only: an IPv6 peer is a link error that says so.
    const ProgramRun v6 = RunTslrun({"--connect", "[::1]:5000", Path(echoed)});
    EXPECT_EQ(v6.status, 2);
    EXPECT_EQ(v6.err, "tslrun: the UDP link takes IPv4 addresses and host names only, not the "
                      "IPv6 address ::1\n");
}
