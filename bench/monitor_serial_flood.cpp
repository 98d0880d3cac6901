// A serial flood into a monitor window: a writer thread feeds a pseudo-terminal master, as fast
// as the pty takes bytes (or at a fixed rate), while the monitor window has the slave open.
// Reports the bytes lost (written against the window's received count), the rate, the CPU the
// window's process spent, its wake-ups (voluntary context switches) for each chunk written and
// the longest stall of the user-interface thread; at a set rate also how long a chunk took from
// its write until the terminal painted it. In the same run,
// when it is installed, `tio` reads a second pty flooded the same way, as a yardstick.
#include "monitor_bench_support.h"

#include "CTextViewCtrl.h"

#include <QCommandLineParser>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QStandardPaths>

#include <algorithm>
#include <vector>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <memory>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <termios.h>
#include <thread>
#include <time.h>
#include <unistd.h>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kWriterTickMs = 1;
constexpr int kWriteBytes = 4096;
constexpr int kDrainIdleMs = 2000; // after the writer ends, waits this long for a byte more
constexpr int kWatchMs = 10;
constexpr int kQuietWatchMs = 100;
constexpr int kTioStartMs = 5000;     // tio must open the device within this
constexpr int kTioSettleMs = 200;     // and has set the line up after this
constexpr int kTioBufferBytes = 8192; // more than tio's output buffer holds

double ThreadCpuSeconds()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) / 1e9;
}

double Seconds(const timeval& tv)
{
    return double(tv.tv_sec) + double(tv.tv_usec) / 1e6;
}

double ProcessCpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return Seconds(usage.ru_utime) + Seconds(usage.ru_stime);
}

long Wakeups(int who)
{
    rusage usage{};
    getrusage(who, &usage);
    return usage.ru_nvcsw;
}

// A raw pty pair whose master does not block; the slave is closed, only its name is kept.
struct Pty
{
    int master = -1;
    char name[128] = {};

    bool Open()
    {
        int slave = -1;
        if (openpty(&master, &slave, name, nullptr, nullptr) != 0) {
            std::perror("openpty");
            return false;
        }
        termios raw{};
        tcgetattr(master, &raw);
        cfmakeraw(&raw);
        tcsetattr(master, TCSANOW, &raw);
        ::close(slave);
        fcntl(master, F_SETFL, fcntl(master, F_GETFL) | O_NONBLOCK);
        return true;
    }
    ~Pty()
    {
        if (master >= 0)
            ::close(master);
    }
};

// When each write of a paced writer ended, by the byte count after it: the user-interface
// thread reads what the writer published. Bounded: a flood records nothing.
struct WriteTimes
{
    static constexpr std::size_t kMost = 1 << 20;
    std::vector<std::pair<qint64, Clock::time_point>> writes = decltype(writes)(kMost);
    std::atomic<std::size_t> count = 0;

    void Note(qint64 end)
    {
        const std::size_t at = count.load(std::memory_order_relaxed);
        if (at < kMost) {
            writes[at] = {end, Clock::now()};
            count.store(at + 1, std::memory_order_release);
        }
    }
};

// What one writer thread did.
struct Feed
{
    std::atomic<qint64> written = -1; // -1 while writing
    double cpuSeconds = 0;
    qint64 chunks = 0; // writes the pty took
    long wakeups = 0;  // the writer's own
    WriteTimes* times = nullptr;
};

// Writes printable 64-byte lines for seconds: rate bytes per second, or as fast as the master
// takes them when rate is 0.
void FeedPty(int master, qint64 rate, int seconds, const std::atomic<bool>& stop, Feed& feed)
{
    const Clock::time_point start = Clock::now();
    const Clock::time_point end = start + std::chrono::seconds(seconds);
    qint64 written = 0;
    char chunk[kWriteBytes + 64];
    for (std::size_t i = 0; i < sizeof chunk; ++i)
        chunk[i] = (i % 64 == 63) ? '\n' : char('!' + i % 90);
    while (!stop && Clock::now() < end) {
        qint64 due = kWriteBytes;
        if (rate > 0) {
            const double elapsed = std::chrono::duration<double>(Clock::now() - start).count();
            due = qint64(elapsed * double(rate)) - written;
        }
        while (due > 0 && !stop) {
            const ssize_t put = ::write(master, chunk + written % 64,
                                        std::size_t(std::min<qint64>(due, kWriteBytes)));
            if (put > 0) {
                written += put;
                due -= put;
                ++feed.chunks;
                if (feed.times != nullptr)
                    feed.times->Note(written);
                continue;
            }
            pollfd fd = {master, POLLOUT, 0};
            ::poll(&fd, 1, kWriterTickMs);
            if (Clock::now() >= end)
                break;
        }
        if (rate > 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(kWriterTickMs));
    }
    feed.cpuSeconds = ThreadCpuSeconds();
    feed.wakeups = Wakeups(RUSAGE_THREAD);
    feed.written = written;
}

struct Result
{
    qint64 written = 0;
    qint64 received = 0;
    double seconds = 0;
    double cpuSeconds = 0;
    double stallMs = -1; // -1: no user interface to stall
    qint64 chunks = 0;
    long wakeups = 0;
    std::vector<double> latencyMs; // write to paint, per chunk
};

double Percentile(std::vector<double> values, double share)
{
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1, std::size_t(share * double(values.size())))];
}

void Print(const char* who, const Result& r)
{
    std::printf("%-8s written %lld bytes, received %lld, lost %lld; %.3f MB/s; CPU %.2f s "
                "(%.0f%% of a core)",
                who, static_cast<long long>(r.written), static_cast<long long>(r.received),
                static_cast<long long>(r.written - r.received),
                double(r.received) / 1e6 / r.seconds, r.cpuSeconds,
                100.0 * r.cpuSeconds / r.seconds);
    if (r.chunks > 0)
        std::printf("; %.2f wake-ups a chunk", double(r.wakeups) / double(r.chunks));
    if (r.stallMs >= 0)
        std::printf("; longest user-interface stall %.1f ms", r.stallMs);
    if (!r.latencyMs.empty())
        std::printf("; write to paint median %.1f ms, 99th %.1f, max %.1f",
                    Percentile(r.latencyMs, 0.5), Percentile(r.latencyMs, 0.99),
                    Percentile(r.latencyMs, 1.0));
    std::printf("\n");
}

// A chunk is on screen at the first paint of the terminal after the view showed its bytes.
class PaintLatency : public QObject
{
public:
    PaintLatency(CTARVENView* view, qint64 before, const WriteTimes& times,
                 std::vector<double>& latencyMs)
        : m_view(view), m_times(times), m_latencyMs(latencyMs)
    {
        QObject::connect(view->TextView(), &CTextViewCtrl::dataShown, this,
                         [this, before] { m_nShown = m_view->Received() - before; });
        view->TextView()->viewport()->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() != QEvent::Paint)
            return false;
        const Clock::time_point now = Clock::now();
        const std::size_t count = m_times.count.load(std::memory_order_acquire);
        while (m_nNext < count && m_times.writes[m_nNext].first <= m_nShown) {
            m_latencyMs.push_back(
                std::chrono::duration<double, std::milli>(now - m_times.writes[m_nNext].second)
                    .count());
            ++m_nNext;
        }
        return false;
    }

private:
    CTARVENView* m_view;
    const WriteTimes& m_times;
    std::vector<double>& m_latencyMs;
    qint64 m_nShown = 0;
    std::size_t m_nNext = 0;
};

// Writes lines 64-byte lines and waits until the window shows them all: a window that has run
// for a while holds a long log, and its scroll bar no longer changes at every frame.
bool Prefill(int master, CTARVENView* view, int lines)
{
    const qint64 total = qint64(lines) * 64;
    QByteArray text;
    for (int i = 0; i < lines; ++i)
        text += QByteArray(63, char('a' + i % 26)) + '\n';
    qint64 put = 0;
    QElapsedTimer clock;
    clock.start();
    while (view->Received() < total && clock.elapsed() < 30000) {
        if (put < total) {
            const ssize_t n = ::write(master, text.constData() + put, std::size_t(total - put));
            put += std::max<ssize_t>(n, 0);
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    // Let the last frame be painted before the count starts.
    QElapsedTimer settle;
    settle.start();
    while (settle.elapsed() < 200)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return view->Received() == total;
}

bool RunMonitor(qint64 rate, int seconds, bool meterStalls, int prefill, Result& out)
{
    Pty pty;
    if (!pty.Open())
        return false;
    BenchMonitor monitor({{"Interface", 0}, {"PortName", QString::fromLocal8Bit(pty.name)}});
    CTARVENView* view = monitor.View();
    view->OnPortOpen();
    if (!view->IsOnline()) {
        std::fprintf(stderr, "the monitor could not open %s\n", pty.name);
        return false;
    }

    // The meter's ticks and the watch below wake the window's thread too; without the meter
    // the watch looks less often, and the wake-ups are nearly all the window's own.
    if (prefill > 0 && !Prefill(pty.master, view, prefill)) {
        std::fprintf(stderr, "the monitor did not show the %d lines written first\n", prefill);
        return false;
    }
    const qint64 before = view->Received();
    StallMeter stalls;
    if (meterStalls)
        stalls.Start();
    std::atomic<bool> stop = false;
    Feed feed;
    auto times = std::make_unique<WriteTimes>();
    if (rate > 0)
        feed.times = times.get();
    PaintLatency latency(view, before, *times, out.latencyMs);
    const double cpuBefore = ProcessCpuSeconds();
    const long wakeupsBefore = Wakeups(RUSAGE_SELF);
    QElapsedTimer clock;
    clock.start();
    std::thread writer([&] { FeedPty(pty.master, rate, seconds, stop, feed); });
    // The event loop sleeps between events, as the program's own does; a timer looks at the
    // counts. After the writer ends, what is still on its way through the pty and the port.
    qint64 shown = 0;
    qint64 lastArrivalNs = 0;
    QElapsedTimer idle;
    QEventLoop loop;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (view->Received() - before != shown) {
            shown = view->Received() - before;
            lastArrivalNs = clock.nsecsElapsed();
            idle.restart();
        }
        const qint64 written = feed.written;
        if (written >= 0 && (shown >= written || idle.elapsed() >= kDrainIdleMs))
            loop.quit();
    });
    idle.start();
    watch.start(meterStalls ? kWatchMs : kQuietWatchMs);
    loop.exec();
    writer.join();
    out.written = feed.written;
    out.received = view->Received() - before;
    out.seconds = double(lastArrivalNs) / 1e9;
    out.cpuSeconds = ProcessCpuSeconds() - cpuBefore - feed.cpuSeconds;
    out.wakeups = Wakeups(RUSAGE_SELF) - wakeupsBefore - feed.wakeups;
    out.chunks = feed.chunks;
    out.stallMs = meterStalls ? stalls.LongestMs() : -1;
    return true;
}

// Counts what a child writes to the pipe until it closes; the time of the last byte is kept.
struct PipeCounter
{
    std::atomic<qint64> bytes = 0;
    std::atomic<qint64> lastNs = 0;

    void Run(int fd, const QElapsedTimer& clock)
    {
        char buf[65536];
        ssize_t got = 0;
        while ((got = ::read(fd, buf, sizeof buf)) > 0 || (got < 0 && errno == EINTR)) {
            if (got > 0) {
                bytes += got;
                lastNs = clock.nsecsElapsed();
            }
        }
    }
};

// Whether process pid has the device open.
bool HasOpen(pid_t pid, const char* device)
{
    const QDir fds(QStringLiteral("/proc/%1/fd").arg(pid));
    for (const QFileInfo& fd : fds.entryInfoList(QDir::Files | QDir::System)) {
        if (fd.symLinkTarget() == QString::fromLocal8Bit(device))
            return true;
    }
    return false;
}

// Writes all of bytes to the master, waiting for room.
void WriteAll(int master, const std::string& bytes)
{
    for (std::size_t put = 0; put < bytes.size();) {
        const ssize_t n = ::write(master, bytes.data() + put, bytes.size() - put);
        put += std::size_t(std::max<ssize_t>(n, 0));
        if (n <= 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(kWriterTickMs));
    }
}

// tio (quiet, its output into a pipe, so as fast as it goes) on the slave of a fresh pty. 0 when
// run, 1 when tio is not installed, 2 when it failed.
int RunTio(qint64 rate, int seconds, Result& out)
{
    const QString tio = QStandardPaths::findExecutable(QStringLiteral("tio"));
    if (tio.isEmpty())
        return 1;
    Pty pty;
    if (!pty.Open())
        return 2;
    int toChild[2] = {-1, -1};
    int fromChild[2] = {-1, -1};
    if (pipe2(toChild, O_CLOEXEC) != 0 || pipe2(fromChild, O_CLOEXEC) != 0)
        return 2;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, toChild[0], STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, fromChild[1], STDOUT_FILENO);
    const QByteArray path = tio.toLocal8Bit();
    char* args[] = {const_cast<char*>(path.constData()), const_cast<char*>("--mute"), pty.name,
                    nullptr};
    pid_t child = -1;
    const int spawned = posix_spawn(&child, args[0], &actions, nullptr, args, environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(toChild[0]);
    ::close(fromChild[1]);
    if (spawned != 0) {
        ::close(toChild[1]);
        ::close(fromChild[0]);
        return 2;
    }
    QElapsedTimer clock;
    clock.start();
    PipeCounter counter;
    std::thread reader([&] { counter.Run(fromChild[0], clock); });
    // tio says nothing when quiet: it is ready a moment after it opened the device (it empties
    // the device's buffer as it sets the line up).
    bool ready = false;
    while (!ready && clock.elapsed() < kTioStartMs) {
        std::this_thread::sleep_for(std::chrono::milliseconds(kWatchMs));
        ready = HasOpen(child, pty.name);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(kTioSettleMs));

    std::atomic<bool> stop = false;
    Feed feed;
    const qint64 startNs = clock.nsecsElapsed();
    if (ready) {
        FeedPty(pty.master, rate, seconds, stop, feed);
        // tio's own output buffer holds the flood's tail until more comes.
        WriteAll(pty.master, std::string(kTioBufferBytes, '.'));
        QElapsedTimer idle;
        idle.start();
        qint64 seen = counter.bytes;
        while (counter.bytes < feed.written && idle.elapsed() < kDrainIdleMs) {
            std::this_thread::sleep_for(std::chrono::milliseconds(kWatchMs));
            if (counter.bytes != seen) {
                seen = counter.bytes;
                idle.restart();
            }
        }
    }
    out.written = feed.written;
    out.received = std::min<qint64>(counter.bytes, feed.written);
    out.seconds = double(counter.lastNs - startNs) / 1e9;
    kill(child, SIGTERM);
    ::close(toChild[1]);
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    reader.join();
    ::close(fromChild[0]);
    if (!ready) {
        std::fprintf(stderr, "tio did not open %s\n", pty.name);
        return 2;
    }
    out.cpuSeconds = Seconds(usage.ru_utime) + Seconds(usage.ru_stime);
    out.wakeups = usage.ru_nvcsw;
    out.chunks = feed.chunks;
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    parser.addOption(
        {"rate", "Bytes per second; 0 (the default) writes as fast as the pty takes.", "n", "0"});
    parser.addOption({"seconds", "How long to write (default 10).", "n", "10"});
    parser.addOption({"no-tio", "Leave out the run of tio."});
    parser.addOption({"prefill",
                      "Lines the window shows before the count starts, as one that has run for a "
                      "while (default 0).",
                      "n", "0"});
    parser.addOption({"no-stall-meter",
                      "Do not measure stalls: the meter's 5 ms ticks would count as the window's "
                      "wake-ups."});
    parser.process(app);
    const qint64 rate = parser.value("rate").toLongLong();
    const int seconds = parser.value("seconds").toInt();

    double load[3] = {};
    getloadavg(load, 3);
    std::printf("load average %.2f %.2f %.2f; %s for %d s\n", load[0], load[1], load[2],
                rate > 0 ? qPrintable(QStringLiteral("%1 bytes/s").arg(rate)) : "full speed",
                seconds);

    Result monitor;
    if (!RunMonitor(rate, seconds, !parser.isSet("no-stall-meter"), parser.value("prefill").toInt(),
                    monitor))
        return 2;
    Print("monitor", monitor);

    if (!parser.isSet("no-tio")) {
        Result tio;
        const int ran = RunTio(rate, seconds, tio);
        if (ran == 0)
            Print("tio", tio);
        else if (ran == 1)
            std::printf("tio not installed\n");
    }
    return monitor.received == monitor.written ? 0 : 1;
}
