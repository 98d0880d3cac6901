// A serial flood into a monitor window: a writer thread feeds a pseudo-terminal master at a
// fixed rate (1 MB/s for 30 s by default) while the monitor window has the slave open. Reports
// the bytes dropped (written against the window's received count), the rate and the longest
// stall of the user-interface thread.
#include "monitor_bench_support.h"

#include <QCommandLineParser>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kWriterTickMs = 1;

// Writes rate bytes per second of printable text for seconds; the bytes written.
qint64 Feed(int master, qint64 rate, int seconds, const std::atomic<bool>& stop)
{
    const Clock::time_point start = Clock::now();
    const Clock::time_point end = start + std::chrono::seconds(seconds);
    qint64 written = 0;
    char chunk[8192];
    for (std::size_t i = 0; i < sizeof chunk; ++i)
        chunk[i] = (i % 64 == 63) ? '\n' : char('!' + i % 90);
    while (!stop && Clock::now() < end) {
        const double elapsed = std::chrono::duration<double>(Clock::now() - start).count();
        qint64 due = qint64(elapsed * double(rate)) - written;
        while (due > 0 && !stop) {
            const ssize_t put =
                ::write(master, chunk + written % 64, std::size_t(std::min<qint64>(due, 4096)));
            if (put > 0) {
                written += put;
                due -= put;
                continue;
            }
            pollfd fd = {master, POLLOUT, 0};
            ::poll(&fd, 1, kWriterTickMs);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(kWriterTickMs));
    }
    return written;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    parser.addOption({"rate", "Bytes per second (default 1000000).", "n", "1000000"});
    parser.addOption({"seconds", "How long to write (default 30).", "n", "30"});
    parser.process(app);
    const qint64 rate = parser.value("rate").toLongLong();
    const int seconds = parser.value("seconds").toInt();

    int master = -1;
    int slave = -1;
    char name[128] = {};
    if (openpty(&master, &slave, name, nullptr, nullptr) != 0) {
        std::perror("openpty");
        return 2;
    }
    termios raw{};
    tcgetattr(master, &raw);
    cfmakeraw(&raw);
    tcsetattr(master, TCSANOW, &raw);

    BenchMonitor monitor({{"Interface", 0}, {"PortName", QString::fromLocal8Bit(name)}});
    ::close(slave);
    CTARVENView* view = monitor.View();
    view->OnPortOpen();
    if (!view->IsOnline()) {
        std::fprintf(stderr, "the monitor could not open %s\n", name);
        return 2;
    }

    StallMeter stalls;
    stalls.Start();
    std::atomic<bool> stop = false;
    std::atomic<qint64> written = -1;
    std::thread writer([&] { written = Feed(master, rate, seconds, stop); });
    QElapsedTimer clock;
    clock.start();
    while (written < 0)
        QApplication::processEvents(QEventLoop::AllEvents, 50);
    // What is still on its way through the pty and the queue.
    QElapsedTimer drain;
    drain.start();
    while (view->Received() < written && drain.elapsed() < 2000)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    writer.join();
    const double elapsed = double(clock.nsecsElapsed()) / 1e9;

    const qint64 received = view->Received();
    std::printf("written %lld bytes in %d s, shown %lld bytes, dropped %lld bytes\n",
                (long long)written.load(), seconds, (long long)received,
                (long long)(written - received));
    std::printf("%.3f MB/s, longest user-interface stall %.1f ms\n",
                double(received) / 1e6 / elapsed, stalls.LongestMs());
    ::close(master);
    return received == written ? 0 : 1;
}
