// A monitor window plotting a device: a writer thread plays a pty device that prints
// "t,sin,cos" lines at a fixed rate (1 kHz by default, for 60 s), while the monitor window has the
// slave open, shows the traffic in its terminal and plots it beside it. Reports the lines
// written against the rows plotted, the longest stall of the user-interface thread, the CPU of
// the process, how often the chart was drawn, and the resident memory every ten seconds (it
// grows with the rings and the terminal's lines up to their bounds, never past them).
#include "CPlotChart.h"
#include "CPlotPanel.h"
#include "monitor_bench_support.h"
#include "raw_pty.h"

#include <QCommandLineParser>
#include <QEventLoop>
#include <QFile>
#include <QGraphicsScene>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <sys/resource.h>
#include <thread>
#include <time.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kWatchMs = 100;
constexpr int kReportEveryMs = 10000;
constexpr int kDrainIdleMs = 2000;

long StatusKiB(const char* field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.mid(qsizetype(std::strlen(field)) + 1)
                .trimmed()
                .split(' ')
                .value(0)
                .toLong();
    }
    return -1;
}

double ThreadCpuMs()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

double ProcessCpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec) + double(usage.ru_utime.tv_usec) / 1e6 +
           double(usage.ru_stime.tv_sec) + double(usage.ru_stime.tv_usec) / 1e6;
}

// Writes one "t,sin,cos" line every 1/rate s on schedule, for seconds; counts the lines and the
// bytes it wrote.
void PlayDevice(int master, int rate, int seconds, const std::atomic<bool>& stop,
                std::atomic<qint64>& lines, std::atomic<qint64>& bytes)
{
    const Clock::time_point start = Clock::now();
    const qint64 total = qint64(rate) * seconds;
    for (qint64 k = 0; k < total && !stop; ++k) {
        std::this_thread::sleep_until(start + std::chrono::microseconds(k * 1000000 / rate));
        const double t = double(k) / rate;
        char line[96];
        const int length = std::snprintf(line, sizeof line, "%.3f,%.6f,%.6f\r\n", t,
                                         std::sin(2 * M_PI * t), std::cos(2 * M_PI * t));
        for (int put = 0; put < length && !stop;) {
            const ssize_t n = ::write(master, line + put, std::size_t(length - put));
            if (n > 0)
                put += int(n);
            else
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        bytes += length;
        lines = k + 1;
    }
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    parser.addOption({"rate", "Lines per second (default 1000).", "n", "1000"});
    parser.addOption({"seconds", "How long the device prints (default 60).", "n", "60"});
    parser.addOption({"window", "The plot's span in seconds (default 60).", "s", "60"});
    parser.addOption({"no-plot", "The same traffic with the plot hidden, as a yardstick."});
    parser.process(app);
    const int rate = std::max(1, parser.value("rate").toInt());
    const int seconds = std::max(1, parser.value("seconds").toInt());
    const double span = parser.value("window").toDouble();

    double load[3] = {};
    getloadavg(load, 3);
    std::printf("load average %.2f %.2f %.2f; %d lines/s for %d s, plot span %g s\n", load[0],
                load[1], load[2], rate, seconds, span);

    RawPty pty;
    if (!pty.IsOpen())
        return 2;
    BenchMonitor monitor({{"Interface", 0}, {"PortName", pty.SlavePath()}});
    CTARVENView* view = monitor.View();
    auto* window = qobject_cast<CMonitorWindow*>(view->parentWidget());
    window->OnTogglePlot();
    CPlotPanel* plot = window->Plot();
    plot->SetWindow({PlotAxis::Time, span});
    const bool hidden = parser.isSet("no-plot");
    if (hidden)
        window->OnTogglePlot();
    view->OnPortOpen();
    if (!view->IsOnline()) {
        std::fprintf(stderr, "the monitor could not open %s\n", qPrintable(pty.SlavePath()));
        return 2;
    }
    int draws = 0;
    QObject::connect(plot->Chart()->scene(), &QGraphicsScene::changed, [&] { ++draws; });

    const long rssBefore = StatusKiB("VmRSS:");
    std::printf("resident before: %ld KiB\n", rssBefore);
    StallMeter stalls;
    stalls.Start();
    const double cpuBefore = ProcessCpuSeconds();
    std::atomic<bool> stop = false;
    std::atomic<qint64> written = 0;
    std::atomic<qint64> writtenBytes = 0;
    std::atomic<bool> done = false;
    QElapsedTimer clock;
    clock.start();
    std::thread device([&] {
        PlayDevice(pty.Master(), rate, seconds, stop, written, writtenBytes);
        done = true;
    });

    QEventLoop loop;
    QTimer watch;
    qint64 nextReport = kReportEveryMs;
    quint64 lastRows = 0;
    QElapsedTimer idle;
    idle.start();
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (clock.elapsed() >= nextReport) {
            std::printf("  %3lld s: rows %llu, terminal %lld bytes, resident %ld KiB\n",
                        static_cast<long long>(nextReport / 1000),
                        static_cast<unsigned long long>(plot->Samples().Rows()),
                        static_cast<long long>(view->Received()), StatusKiB("VmRSS:"));
            nextReport += kReportEveryMs;
        }
        // Hidden, the plot takes nothing: the terminal's bytes tell when all came.
        const quint64 progress = hidden ? quint64(view->Received()) : plot->Samples().Rows();
        if (progress != lastRows) {
            lastRows = progress;
            idle.restart();
        }
        const quint64 due = hidden ? quint64(writtenBytes) : quint64(written);
        if (done && (lastRows >= due || idle.elapsed() >= kDrainIdleMs))
            loop.quit();
    });
    watch.start(kWatchMs);
    loop.exec();
    stop = true;
    device.join();
    const double elapsed = clock.elapsed() / 1000.0;
    const double cpu = ProcessCpuSeconds() - cpuBefore;
    const qint64 lines = written;
    const quint64 rows = plot->Samples().Rows();
    if (hidden) {
        std::printf("written %lld lines, terminal %lld bytes; plot hidden\n",
                    static_cast<long long>(lines), static_cast<long long>(view->Received()));
        std::printf("longest user-interface stall %.1f ms; CPU %.2f s (%.0f%% of a core)\n",
                    stalls.LongestMs(), cpu, 100 * cpu / elapsed);
        return 0;
    }
    std::printf("written %lld lines, plotted %llu rows (%lld lost) of %d series; terminal %lld "
                "bytes\n",
                static_cast<long long>(lines), static_cast<unsigned long long>(rows),
                static_cast<long long>(lines - qint64(rows)), plot->Samples().SeriesCount(),
                static_cast<long long>(view->Received()));
    std::printf("longest user-interface stall %.1f ms; CPU %.2f s (%.0f%% of a core); chart "
                "scene changes %d (%.1f/s)\n",
                stalls.LongestMs(), cpu, 100 * cpu / elapsed, draws, draws / elapsed);
    std::printf("resident after: %ld KiB, peak %ld KiB\n", StatusKiB("VmRSS:"),
                StatusKiB("VmHWM:"));
    // What one drawing of the full span costs at the end, in the thread's own CPU time (the
    // machine's load does not count): reading the points from the rings, and painting.
    constexpr int kDrawings = 20;
    double pointsMs = 0;
    double paintMs = 0;
    for (int i = 0; i < kDrawings; ++i) {
        double before = ThreadCpuMs();
        plot->Refresh();
        pointsMs += ThreadCpuMs() - before;
        before = ThreadCpuMs();
        plot->Chart()->viewport()->repaint();
        paintMs += ThreadCpuMs() - before;
    }
    std::printf("one drawing of %d points a series: points %.2f ms, paint %.2f ms\n",
                int(plot->Chart()->Points(0).size()), pointsMs / kDrawings, paintMs / kDrawings);
    return lines == qint64(rows) ? 0 : 1;
}
