// A TCP flood into a monitor window: a peer thread connects to the window's server and writes
// 64 MB of text lines as fast as the link takes them. Reports the rate at which the window
// showed them, the bytes lost (the window's received count against the bytes sent), the CPU the
// window's process spent and the longest stall of the user-interface thread. In the same run,
// when it is installed, `socat` takes the same flood into /dev/null, as a yardstick.
#include "monitor_bench_support.h"

#include <QCommandLineParser>
#include <QEventLoop>
#include <QStandardPaths>
#include <QTimer>

#include <arpa/inet.h>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <netinet/in.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <time.h>
#include <unistd.h>

extern char** environ;

namespace {

constexpr qint64 kMiB = 1024 * 1024;
constexpr int kSocatStartMs = 5000;

double Seconds(const timeval& tv)
{
    return double(tv.tv_sec) + double(tv.tv_usec) / 1e6;
}

double CpuSeconds(int who)
{
    rusage usage{};
    getrusage(who, &usage);
    return Seconds(usage.ru_utime) + Seconds(usage.ru_stime);
}

double ThreadCpuSeconds()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) / 1e9;
}

// Writes total bytes of numbered 64-byte lines to 127.0.0.1:port; the bytes written. A server
// that is still starting is tried again for up to kSocatStartMs.
qint64 Flood(quint16 port, qint64 total)
{
    int fd = -1;
    for (int tries = 0; fd < 0 && tries < kSocatStartMs / 10; ++tries) {
        fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(port);
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
            ::close(fd);
            fd = -1;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }
    if (fd < 0)
        return 0;
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

// socat listening on a free port and writing what comes to /dev/null, flooded the same way.
// false when socat is not installed or did not take the flood.
bool RunSocat(qint64 total, double& seconds, double& cpuSeconds)
{
    const QString socat = QStandardPaths::findExecutable(QStringLiteral("socat"));
    if (socat.isEmpty())
        return false;
    const quint16 port = FreeLoopbackPort();
    const QByteArray path = socat.toLocal8Bit();
    const QByteArray listen = QStringLiteral("TCP-LISTEN:%1,bind=127.0.0.1").arg(port).toLatin1();
    char* args[] = {const_cast<char*>(path.constData()), const_cast<char*>("-u"),
                    const_cast<char*>(listen.constData()), const_cast<char*>("OPEN:/dev/null"),
                    nullptr};
    pid_t child = 0;
    if (posix_spawn(&child, args[0], nullptr, nullptr, args, environ) != 0)
        return false;
    QElapsedTimer clock;
    clock.start();
    const qint64 sent = Flood(port, total);
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    seconds = double(clock.nsecsElapsed()) / 1e9;
    cpuSeconds = Seconds(usage.ru_utime) + Seconds(usage.ru_stime);
    return sent == total;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    parser.addOption({"megabytes", "Bytes to send, in MiB (default 64).", "n", "64"});
    parser.process(app);
    const qint64 total = parser.value("megabytes").toLongLong() * kMiB;
    double load[3] = {};
    getloadavg(load, 3);
    std::printf("load average %.2f %.2f %.2f\n", load[0], load[1], load[2]);

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
    const double cpuBefore = CpuSeconds(RUSAGE_SELF);
    std::atomic<qint64> sent = -1;
    std::atomic<double> peerCpu = 0;
    std::thread peer([&] {
        sent = Flood(port, total);
        peerCpu = ThreadCpuSeconds();
    });
    // The event loop sleeps between events, as the program's own does; a timer looks at the
    // count. Give up when nothing arrives for 10 s: bytes were lost.
    qint64 lastCount = -1;
    qint64 doneNs = 0;
    QElapsedTimer quiet;
    quiet.start();
    QEventLoop loop;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (view->Received() != lastCount) {
            lastCount = view->Received();
            doneNs = clock.nsecsElapsed();
            quiet.restart();
        }
        if ((sent >= 0 && view->Received() >= sent) || quiet.elapsed() > 10000)
            loop.quit();
    });
    watch.start(5);
    loop.exec();
    peer.join();
    const double seconds = double(doneNs) / 1e9;
    const double cpu = CpuSeconds(RUSAGE_SELF) - cpuBefore - peerCpu;
    // Let the view catch up and repaint, as a user would see it.
    QElapsedTimer settle;
    settle.start();
    while (settle.elapsed() < 200)
        QApplication::processEvents(QEventLoop::AllEvents, 20);

    const qint64 received = view->Received();
    std::printf("sent %lld bytes, shown %lld bytes, lost %lld bytes\n", (long long)sent.load(),
                (long long)received, (long long)(sent - received));
    std::printf("%.1f MB/s (%.2f s), CPU %.2f s (%.1f ns a byte), longest user-interface stall "
                "%.1f ms, %lld lines held\n",
                double(received) / 1e6 / seconds, seconds, cpu, cpu * 1e9 / double(received),
                stalls.LongestMs(), (long long)view->Lines());
    double socatSeconds = 0;
    double socatCpu = 0;
    if (RunSocat(total, socatSeconds, socatCpu))
        std::printf("socat    %.1f MB/s (%.2f s), CPU %.2f s (%.1f ns a byte); monitor at %.2fx "
                    "its rate, %.2fx its CPU a byte\n",
                    double(total) / 1e6 / socatSeconds, socatSeconds, socatCpu,
                    socatCpu * 1e9 / double(total), socatSeconds / seconds, cpu / socatCpu);
    else
        std::printf("socat not run\n");
    return received == sent ? 0 : 1;
}
