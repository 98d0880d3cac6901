// What the program costs while nothing happens: the main window alone, then one monitor window
// that received 2 MB of traffic and shows it with control codes, then as hex, then a serial
// monitor on a pseudo-terminal with arrival times and the line indicators shown, and last the
// line watch's polling as a port with modem lines would run it. For each, over 10 s: the
// process's CPU time, the wake-ups of the user-interface thread and the widgets painted. Run it
// on a real display (xvfb-run -a monitor_idle) or on the offscreen platform.
#include "CDocument.h"
#include "CMdiChildFrame.h"
#include "CMonitorWindow.h"
#include "CTARVENApp.h"
#include "CTARVENView.h"
#include "ShellConstants.h"
#include "TermViewConstants.h"
#include "TransportConstants.h"
#include "program_sandbox.h"
#include "raw_pty.h"

#include <QApplication>
#include <QDialog>
#include <QEventLoop>
#include <QFile>
#include <QSettings>
#include <QTcpSocket>
#include <QTimer>
#include <atomic>
#include <cstdio>
#include <ctime>
#include <poll.h>
#include <sys/ioctl.h>
#include <thread>
#include <unistd.h>

namespace {

constexpr int kMeasureMs = 10000;
constexpr qint64 kTrafficBytes = 2 * 1024 * 1024;
constexpr int kStampedChunks = 50;
constexpr int kChunkPauseMs = 30; // longer than the arrival gap: every chunk gets its time
// A port's line watch may cost this much on its own.
constexpr double kLineWatchCpuTargetPercent = 0.5;
// Targets: under 0.2 % of a core, nothing painted, whatever the window holds, and no timer
// that ticks (the one that ends the measurement wakes the thread once).
constexpr double kCpuTargetPercent = 0.2;
constexpr double kWakeupsTargetPerSecond = 1.0;

// Counts the paint events of every widget.
class PaintCounter : public QObject
{
public:
    int Count() const { return m_nPaints; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            ++m_nPaints;
        return QObject::eventFilter(watched, event);
    }

private:
    int m_nPaints = 0;
};

double ProcessCpuSeconds()
{
    timespec now = {};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

// Context switches of this thread so far: each is a wake-up of a thread that was waiting.
long ThreadSwitches()
{
    QFile status(QStringLiteral("/proc/self/task/%1/status").arg(gettid()));
    long switches = 0;
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.contains("ctxt_switches:"))
            switches += line.mid(line.indexOf(':') + 1).trimmed().toLong();
    }
    return switches;
}

// Lets the program sit in its event loop for the measured time; true when it met the targets.
bool MeasureIdle(const char* what, const PaintCounter& paints,
                 double cpuTargetPercent = kCpuTargetPercent)
{
    const int paintsBefore = paints.Count();
    const long switchesBefore = ThreadSwitches();
    const double cpuBefore = ProcessCpuSeconds();
    QEventLoop loop;
    QTimer::singleShot(kMeasureMs, &loop, &QEventLoop::quit);
    loop.exec();
    const double cpuPercent = (ProcessCpuSeconds() - cpuBefore) * 100.0 * 1000.0 / kMeasureMs;
    const long wakeups = ThreadSwitches() - switchesBefore;
    const int painted = paints.Count() - paintsBefore;
    std::printf("%-40s cpu %.3f %% of a core, %.1f wake-ups/s, %d widgets painted in %d s\n", what,
                cpuPercent, double(wakeups) * 1000.0 / kMeasureMs, painted, kMeasureMs / 1000);
    return cpuPercent < cpuTargetPercent && painted == 0 &&
           double(wakeups) * 1000.0 / kMeasureMs < kWakeupsTargetPerSecond;
}

// The line watch of a port with modem lines, as its reader thread runs it while no byte comes:
// a wait of kModemPollMs on the device, then a look at the lines. A pseudo-terminal has no
// modem lines, so the look fails as cheaply as it would succeed.
class LineWatchStandIn
{
public:
    explicit LineWatchStandIn(int fd)
        : m_thread([this, fd] {
              while (m_bRun) {
                  pollfd wait = {fd, POLLIN, 0};
                  ::poll(&wait, 1, kModemPollMs);
                  int lines = 0;
                  ::ioctl(fd, TIOCMGET, &lines);
              }
          })
    {}
    ~LineWatchStandIn()
    {
        m_bRun = false;
        m_thread.join();
    }

private:
    std::atomic<bool> m_bRun = true;
    std::thread m_thread;
};

CTARVENView* NewMonitor(CTARVENApp& tarven, QTimer& confirm)
{
    confirm.start(20);
    CDocument* document = tarven.OnFileNew(QStringLiteral("Tvn"));
    ProgramSandbox::Pump(300);
    confirm.stop();
    return document->Frame()->findChild<CTARVENView*>();
}

} // namespace

int main(int argc, char** argv)
{
    ProgramSandbox sandbox;
    QApplication app(argc, argv);
    PaintCounter paints;
    app.installEventFilter(&paints);

    const quint16 port = ProgramSandbox::ServeOnFreePort();
    {
        QSettings settings(kCompanyName, kApplicationName);
        settings.setValue("TARVEN/MaxLine", 50000);
        settings.setValue("TARVEN/WelcomeFlag", 0);
    }
    // The start-up port settings dialog is confirmed as it stands.
    QTimer confirm;
    QObject::connect(&confirm, &QTimer::timeout, [] {
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
            dialog->accept();
    });

    CProgram program;
    CTARVENApp& tarven = program.App();
    if (!ProgramSandbox::Start(program))
        return 2;
    ProgramSandbox::Pump(1000);
    bool met = MeasureIdle("main window, no monitor", paints);

    CTARVENView* view = NewMonitor(tarven, confirm);
    view->OnControlView();
    view->OnPortOpen();

    // A device that sends lines with control codes, Hangul and stray bytes, then falls quiet.
    QTcpSocket device;
    device.connectToHost(QHostAddress::LocalHost, port);
    if (!device.waitForConnected(5000)) {
        std::fprintf(stderr, "the monitor does not listen on port %u\n", port);
        return 2;
    }
    const QByteArray line = QByteArray("\x02STATUS ") +
                            QString::fromUtf8("온도 21.5 정상").toUtf8() +
                            QByteArray(" \x80\xFF \x1B[1m\x07\x03\r\n");
    QByteArray traffic;
    for (int n = 0; traffic.size() < kTrafficBytes; ++n)
        traffic += QByteArray::number(n).rightJustified(6, '0') + ' ' + line;
    traffic.truncate(kTrafficBytes);
    device.write(traffic);
    while (view->Received() < kTrafficBytes)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    // The caret blinks for a while after the last activity, then rests.
    ProgramSandbox::Pump(kCaretBlinkTimeoutMs + 1000);
    met = MeasureIdle("monitor after 2 MB, control codes shown", paints) && met;
    view->OnHexView();
    ProgramSandbox::Pump(kCaretBlinkTimeoutMs + 1000);
    met = MeasureIdle("monitor after 2 MB, hex", paints) && met;

    // A serial monitor on a pseudo-terminal: time stamps on, the line indicators greyed.
    RawPty pty;
    if (!pty.IsOpen())
        return 2;
    {
        QSettings settings(kCompanyName, kApplicationName);
        settings.setValue("TARVEN/Interface", 0);
        settings.setValue("TARVEN/PortName", pty.SlavePath());
        settings.setValue("TARVEN/ShowTimeStamp", 1);
    }
    CTARVENView* serial = NewMonitor(tarven, confirm);
    serial->OnPortOpen();
    if (!serial->IsOnline() || !serial->ShowsTimeStamps()) {
        std::fprintf(stderr, "the serial monitor did not open on %s\n",
                     qPrintable(pty.SlavePath()));
        return 2;
    }
    for (int i = 0; i < kStampedChunks; ++i) {
        const QByteArray chunk = "reading " + QByteArray::number(i) + " ok\r\n";
        if (::write(pty.Master(), chunk.constData(), size_t(chunk.size())) != chunk.size())
            return 2;
        ProgramSandbox::Pump(kChunkPauseMs);
    }
    ProgramSandbox::Pump(kCaretBlinkTimeoutMs + 1000);
    met = MeasureIdle("serial monitor, time stamps, line panes", paints) && met;
    {
        LineWatchStandIn watch(pty.Slave());
        met =
            MeasureIdle("the same with a line watch polling", paints, kLineWatchCpuTargetPercent) &&
            met;
    }
    std::printf("targets (under %.1f %% of a core, %.1f %% with a line watch, nothing painted, "
                "under %.0f wake-up/s) %s\n",
                kCpuTargetPercent, kLineWatchCpuTargetPercent, kWakeupsTargetPerSecond,
                met ? "met" : "NOT met");
    return met ? 0 : 1;
}
