// A TCP flood into a monitor window: a peer thread connects to the window's server and writes
// 64 MB of text lines as fast as the link takes them. Reports the rate at which the window
// showed them, the bytes lost (the window's received count against the bytes sent) and the
// longest stall of the user-interface thread.
#include "monitor_bench_support.h"

#include <QCommandLineParser>

#include <arpa/inet.h>
#include <atomic>
#include <cstdio>
#include <netinet/in.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace {

constexpr qint64 kMiB = 1024 * 1024;

// Writes total bytes of numbered 64-byte lines to 127.0.0.1:port; the bytes written.
qint64 Flood(quint16 port, qint64 total)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        return 0;
    }
    char block[64 * 1024];
    for (std::size_t line = 0; line < sizeof block / 64; ++line)
        std::snprintf(block + line * 64, 65, "%-61zu\r\n", line);
    qint64 written = 0;
    while (written < total) {
        const std::size_t want = std::size_t(std::min<qint64>(sizeof block, total - written));
        const ssize_t put = ::send(fd, block, want, MSG_NOSIGNAL);
        if (put <= 0)
            break;
        written += put;
    }
    ::close(fd);
    return written;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    parser.addOption({"megabytes", "Bytes to send, in MiB (default 64).", "n", "64"});
    parser.process(app);
    const qint64 total = parser.value("megabytes").toLongLong() * kMiB;

    const quint16 port = FreeLoopbackPort();
    BenchMonitor monitor({{"Interface", 1}, {"Active", 1}, {"ServerPort", port}});
    CTARVENView* view = monitor.View();
    view->OnPortOpen();
    if (!view->IsOnline()) {
        std::fprintf(stderr, "the monitor could not listen on port %u\n", port);
        return 2;
    }

    StallMeter stalls;
    stalls.Start();
    QElapsedTimer clock;
    clock.start();
    std::atomic<qint64> sent = -1;
    std::thread peer([&] { sent = Flood(port, total); });
    // Give up when nothing arrives for 10 s: bytes were lost.
    qint64 lastCount = -1;
    QElapsedTimer quiet;
    quiet.start();
    while (sent < 0 || view->Received() < sent) {
        QApplication::processEvents(QEventLoop::AllEvents, 50);
        if (view->Received() != lastCount) {
            lastCount = view->Received();
            quiet.restart();
        } else if (quiet.elapsed() > 10000) {
            break;
        }
    }
    const double seconds = double(clock.nsecsElapsed()) / 1e9;
    peer.join();
    // Let the view catch up and repaint, as a user would see it.
    QElapsedTimer settle;
    settle.start();
    while (settle.elapsed() < 200)
        QApplication::processEvents(QEventLoop::AllEvents, 20);

    const qint64 received = view->Received();
    std::printf("sent %lld bytes, shown %lld bytes, lost %lld bytes\n", (long long)sent.load(),
                (long long)received, (long long)(sent - received));
    std::printf("%.1f MB/s (%.2f s), longest user-interface stall %.1f ms, %lld lines held\n",
                double(received) / 1e6 / seconds, seconds, stalls.LongestMs(),
                (long long)view->Lines());
    return received == sent ? 0 : 1;
}
