// A UDP flood into a monitor window: a sender thread sends 100,000 datagrams of 100 bytes to the
// window's UDP port on 127.0.0.1 as fast as the system takes them. Reports the datagrams the
// window showed against those sent (UDP may drop what the receive buffer cannot hold), the
// rate, the processor time and the longest stall of the user-interface thread. The run fails on
// a stall longer than 100 ms or bytes shown that are not whole datagrams.
#include "monitor_bench_support.h"

#include "CMonitorLink.h"
#include "CUdpCtrl.h"
#include "CUdpLink.h"

#include <QCommandLineParser>

#include <arpa/inet.h>
#include <atomic>
#include <cstdio>
#include <netinet/in.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace {

constexpr int kDatagramBytes = 100;
constexpr int kQuietEndMs = 1000; // nothing shown for this long after the last send ends the run
constexpr double kStallLimitMs = 100;

double CpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Sends count numbered datagrams to 127.0.0.1:port; the number the system took.
qint64 Flood(quint16 port, qint64 count)
{
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(port);
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    char datagram[kDatagramBytes + 1]; // and the terminator snprintf writes
    qint64 sent = 0;
    for (qint64 n = 0; n < count; ++n) {
        std::snprintf(datagram, sizeof datagram, "%-98lld\r\n", static_cast<long long>(n));
        if (::sendto(fd, datagram, kDatagramBytes, 0, reinterpret_cast<const sockaddr*>(&to),
                     sizeof to) == kDatagramBytes)
            ++sent;
    }
    ::close(fd);
    return sent;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    parser.addOption({"datagrams", "Datagrams to send (default 100000).", "n", "100000"});
    parser.process(app);
    const qint64 count = parser.value("datagrams").toLongLong();

    // Any free local port, replying to the sender: the window only listens here.
    BenchMonitor monitor({{"Interface", 2}, {"LocalPort", 0}, {"ServerIP", 0}});
    CTARVENView* view = monitor.View();
    view->OnPortOpen();
    if (!view->IsOnline()) {
        std::fprintf(stderr, "the monitor could not open its UDP port\n");
        return 2;
    }
    CUdpCtrl* udp = &qobject_cast<CUdpLink*>(view->Link()->Link())->Socket();
    const quint16 port = udp->GetLocalPort();
    int granted = 0;
    socklen_t length = sizeof granted;
    ::getsockopt(int(udp->GetHandle()), SOL_SOCKET, SO_RCVBUF, &granted, &length);

    StallMeter stalls;
    stalls.Start();
    QElapsedTimer clock;
    clock.start();
    const double cpuBefore = CpuSeconds();
    std::atomic<qint64> sent = -1;
    std::thread sender([&] { sent = Flood(port, count); });
    qint64 lastCount = -1;
    qint64 lastShownNs = 0;
    QElapsedTimer quiet;
    quiet.start();
    while (sent < 0 || view->Received() < sent * kDatagramBytes) {
        QApplication::processEvents(QEventLoop::AllEvents, 50);
        if (view->Received() != lastCount) {
            lastCount = view->Received();
            lastShownNs = clock.nsecsElapsed();
            quiet.restart();
        } else if (sent >= 0 && quiet.elapsed() > kQuietEndMs) {
            break; // the rest was dropped by the system
        }
    }
    const double seconds = double(lastShownNs) / 1e9;
    const double cpu = CpuSeconds() - cpuBefore;
    sender.join();

    const qint64 shownBytes = view->Received();
    const qint64 shown = shownBytes / kDatagramBytes;
    std::printf("receive buffer granted %d bytes\n", granted);
    std::printf("sent %lld datagrams, shown %lld (%.1f %%), lost %lld\n",
                static_cast<long long>(sent.load()), static_cast<long long>(shown),
                100.0 * double(shown) / double(std::max<qint64>(sent, 1)),
                static_cast<long long>(sent - shown));
    std::printf("%.0f datagrams/s shown (%.2f s), CPU %.2f s, longest user-interface stall "
                "%.1f ms, %lld lines held\n",
                double(shown) / seconds, seconds, cpu, stalls.LongestMs(),
                static_cast<long long>(view->Lines()));
    const bool whole = shownBytes % kDatagramBytes == 0;
    if (!whole)
        std::printf("FAIL: %lld bytes shown are not whole datagrams\n",
                    static_cast<long long>(shownBytes));
    if (stalls.LongestMs() > kStallLimitMs)
        std::printf("FAIL: a stall over %.0f ms\n", kStallLimitMs);
    return whole && stalls.LongestMs() <= kStallLimitMs ? 0 : 1;
}
