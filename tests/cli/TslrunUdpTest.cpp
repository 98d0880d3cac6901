// A UDP script under tslrun: its OUT bytes leave as datagrams, datagrams that arrive reach it,
// and the echo device answers it.
#include "TcpPeer.h"
#include "TslrunSupport.h"

#include <sys/socket.h>

using namespace TslrunTest;

namespace {

// "ping" once, then every datagram that comes back is printed.
const char* const kPingBody = "CMP C, 0\nJPNE READ\nOUT \"ping\"\nINC C\nREAD:\nIN BUF, N\n"
                              "CMP N, 0\nJPE END\nPRINT BUF\n";

std::string UdpScript(const std::string& lines, const std::string& body)
{
    return "OPEN MEDIA UDP\n" + lines + "DIM BUF$ 64\nVAR N% 0\nVAR C% 0\nBEGIN:\n" + body +
           "END:\n";
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
        Pipe out;
        SpawnedTslrun spawned({"--echo", pinging.Path()}, out.Writer());
        ASSERT_TRUE(out.WaitFor("ping\n")) << spawned.Errors();
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
    Pipe out;
    SpawnedTslrun spawned({"--seconds", "20", script.Path()}, out.Writer());
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
    EXPECT_TRUE(out.WaitFor("pong\n")) << out.Read() << spawned.Errors();
    ::close(peer);

    // The UDP link is IPv4 only: an IPv6 peer is a link error that says so.
    const ProgramRun v6 = RunTslrun({"--connect", "[::1]:5000", Path(echoed)});
    EXPECT_EQ(v6.status, 2);
    EXPECT_EQ(v6.err, "tslrun: the UDP link takes IPv4 addresses and host names only, not the "
                      "IPv6 address ::1\n");
}
