// UDP flood through CUdpCtrl on loopback, both ways. In: a sender thread sends numbered
// datagrams of 100 bytes as fast as the system takes them to a CUdpCtrl, which a consumer on the
// Qt event loop drains on every notice, as a monitor window would. Out: CUdpCtrl::Send on the
// event loop's thread sends as many to a plain socket that a thread drains. Reports datagrams
// sent and received, lost, out of order, the longest stall of the event loop, rate and CPU time.
// UDP may drop datagrams; the run fails only on a datagram that arrives damaged or a stall
// longer than 100 ms.
#include "CUdpCtrl.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <arpa/inet.h>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <netinet/in.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace {

constexpr int kDatagramBytes = 100;
constexpr int kStallProbeMs = 1;   // the event loop is looked at this often
constexpr int kQuietEndMs = 500;   // no datagram for this long ends a direction
constexpr int kStallLimitMs = 100; // a longer stall fails the run
constexpr int kDatagramsPerNotice = 256;
constexpr int kBaselineMs = 2000;

sockaddr_in Loopback(quint16 port)
{
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

// A datagram numbered n: the number, then bytes that follow from it.
void Fill(char* datagram, uint32_t n)
{
    std::memcpy(datagram, &n, sizeof n);
    for (int i = sizeof n; i < kDatagramBytes; ++i)
        datagram[i] = static_cast<char>(n + static_cast<uint32_t>(i));
}

// The datagram's number, or -1 when it is damaged.
int64_t NumberOf(const char* datagram, qsizetype size)
{
    uint32_t n = 0;
    if (size != kDatagramBytes)
        return -1;
    std::memcpy(&n, datagram, sizeof n);
    for (int i = sizeof n; i < kDatagramBytes; ++i) {
        if (datagram[i] != static_cast<char>(n + static_cast<uint32_t>(i)))
            return -1;
    }
    return n;
}

double CpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

struct Tally
{
    uint64_t sent = 0;
    uint64_t received = 0;
    uint64_t damaged = 0;
    uint64_t outOfOrder = 0;
    int64_t last = -1;

    void Take(const char* datagram, qsizetype size)
    {
        const int64_t n = NumberOf(datagram, size);
        if (n < 0) {
            ++damaged;
            return;
        }
        ++received;
        if (n < last)
            ++outOfOrder;
        last = n;
    }
};

// Measures the longest time the event loop did not get round to a 1 ms timer.
class StallProbe : public QObject
{
public:
    StallProbe()
    {
        m_timer.setInterval(kStallProbeMs);
        connect(&m_timer, &QTimer::timeout, this,
                [this] { longestMs = std::max(longestMs, m_since.restart()); });
        m_since.start();
        m_timer.start();
    }
    qint64 longestMs = 0;

private:
    QTimer m_timer;
    QElapsedTimer m_since;
};

// Runs the event loop until progress has stood still for kQuietEndMs.
void RunUntilQuiet(const std::function<uint64_t()>& progress)
{
    QElapsedTimer quiet;
    quiet.start();
    uint64_t seen = progress();
    while (quiet.elapsed() < kQuietEndMs) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, kStallProbeMs);
        const uint64_t now = progress();
        if (now != seen) {
            seen = now;
            quiet.restart();
        }
    }
}

void Report(const char* direction, const Tally& tally, qint64 stallMs, double seconds,
            double cpuSeconds)
{
    std::printf("%s: sent %llu, received %llu (%.2f%%), lost %llu, damaged %llu, out of order "
                "%llu; %.3f s (%.0f datagrams/s received); longest event-loop stall %lld ms; "
                "process CPU %.2f s\n",
                direction, static_cast<unsigned long long>(tally.sent),
                static_cast<unsigned long long>(tally.received),
                tally.sent ? 100.0 * double(tally.received) / double(tally.sent) : 0.0,
                static_cast<unsigned long long>(tally.sent - tally.received - tally.damaged),
                static_cast<unsigned long long>(tally.damaged),
                static_cast<unsigned long long>(tally.outOfOrder), seconds,
                double(tally.received) / seconds, static_cast<long long>(stallMs), cpuSeconds);
}

bool FloodIn(uint32_t count)
{
    CUdpCtrl link;
    if (!link.Create(0, QStringLiteral("127.0.0.1"))) {
        std::perror("bind");
        return false;
    }
    Tally tally;
    QObject::connect(&link, &CUdpCtrl::receiveReady, &link, [&] {
        // A bounded batch per notice: against a sender as fast as the receiver, "until none is
        // left" would never end. The notice comes again while datagrams wait.
        QByteArray datagram;
        for (int i = 0; i < kDatagramsPerNotice && link.Receive(datagram) >= 0; ++i)
            tally.Take(datagram.constData(), datagram.size());
    });
    StallProbe probe;
    const double cpuBefore = CpuSeconds();
    QElapsedTimer clock;
    clock.start();
    std::atomic<bool> done = false;
    std::thread sender([&] {
        const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        const sockaddr_in to = Loopback(link.GetLocalPort());
        char datagram[kDatagramBytes];
        for (uint32_t n = 0; n < count; ++n) {
            Fill(datagram, n);
            if (::sendto(fd, datagram, sizeof datagram, 0, reinterpret_cast<const sockaddr*>(&to),
                         sizeof to) == kDatagramBytes)
                ++tally.sent; // read by the main thread only after the join
        }
        ::close(fd);
        done = true;
    });
    while (!done)
        QCoreApplication::processEvents(QEventLoop::AllEvents, kStallProbeMs);
    sender.join();
    RunUntilQuiet([&] { return tally.received + tally.damaged; });
    const double seconds = double(clock.elapsed() - kQuietEndMs) / 1000.0;
    Report("in  (peer -> CUdpCtrl)", tally, probe.longestMs, seconds, CpuSeconds() - cpuBefore);
    return tally.damaged == 0 && probe.longestMs <= kStallLimitMs;
}

bool FloodOut(uint32_t count)
{
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    const int size = 4 * 1024 * 1024;
    ::setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &size, sizeof size);
    sockaddr_in address = Loopback(0);
    socklen_t length = sizeof address;
    ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address);
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);

    CUdpCtrl link;
    if (!link.Create(0, QStringLiteral("127.0.0.1")) ||
        !link.SetRemote(QStringLiteral("127.0.0.1"), ntohs(address.sin_port))) {
        std::perror("udp link");
        return false;
    }
    Tally tally;
    std::atomic<bool> stop = false;
    std::atomic<uint64_t> progress = 0;
    std::thread receiver([&] {
        char datagram[CUdpCtrl::kMaxDatagramBytes + 1];
        while (!stop) {
            pollfd readable = {fd, POLLIN, 0};
            if (::poll(&readable, 1, kStallProbeMs) <= 0)
                continue;
            const ssize_t got = ::recv(fd, datagram, sizeof datagram, MSG_DONTWAIT);
            if (got >= 0) {
                tally.Take(datagram, got);
                ++progress;
            }
        }
    });
    StallProbe probe;
    const double cpuBefore = CpuSeconds();
    QElapsedTimer clock;
    clock.start();
    char datagram[kDatagramBytes];
    for (uint32_t n = 0; n < count; ++n) {
        Fill(datagram, n);
        if (link.Send(datagram, kDatagramBytes) == kDatagramBytes)
            ++tally.sent;
        if (n % 1000 == 0)
            QCoreApplication::processEvents(); // as a window sending from its own thread would
    }
    RunUntilQuiet([&] { return progress.load(); });
    stop = true;
    receiver.join();
    const double seconds = double(clock.elapsed() - kQuietEndMs) / 1000.0;
    Report("out (CUdpCtrl -> peer)", tally, probe.longestMs, seconds, CpuSeconds() - cpuBefore);
    return tally.damaged == 0 && probe.longestMs <= kStallLimitMs;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    const QCommandLineOption countOption("count", "datagrams each way (100000)", "N", "100000");
    parser.addOption(countOption);
    parser.process(app);
    const uint32_t count = parser.value(countOption).toUInt();
    {
        // What the machine alone costs the event loop, to read the stalls below against.
        StallProbe idle;
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < kBaselineMs)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, kStallProbeMs);
        std::printf("baseline: longest event-loop stall with nothing to do %lld ms in %d ms\n",
                    static_cast<long long>(idle.longestMs), kBaselineMs);
    }
    const bool in = FloodIn(count);
    const bool out = FloodOut(count);
    return in && out ? 0 : 1;
}
