// What the program costs while nothing happens: the main window alone, then one monitor window
// that received 2 MB of traffic and shows it with control codes, then as hex. For each, over
// 10 s: the process's CPU time, the wake-ups of the user-interface thread and the widgets
// painted. Run it on a real display (xvfb-run -a monitor_idle) or on the offscreen platform.
#include "CDocument.h"
#include "CMdiChildFrame.h"
#include "CMonitorWindow.h"
#include "CTARVENApp.h"
#include "CTARVENView.h"
#include "ShellConstants.h"
#include "TermViewConstants.h"
#include "program_sandbox.h"

#include <QApplication>
#include <QDialog>
#include <QEventLoop>
#include <QFile>
#include <QSettings>
#include <QTcpSocket>
#include <QTimer>
#include <cstdio>
#include <ctime>
#include <unistd.h>

namespace {

constexpr int kMeasureMs = 10000;
constexpr qint64 kTrafficBytes = 2 * 1024 * 1024;
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
bool MeasureIdle(const char* what, const PaintCounter& paints)
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
    return cpuPercent < kCpuTargetPercent && painted == 0 &&
           double(wakeups) * 1000.0 / kMeasureMs < kWakeupsTargetPerSecond;
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

    InstallMonitor();
    CTARVENApp tarven;
    if (!ProgramSandbox::Start(tarven))
        return 2;
    ProgramSandbox::Pump(1000);
    bool met = MeasureIdle("main window, no monitor", paints);

    confirm.start(20);
    CDocument* document = tarven.OnFileNew(QStringLiteral("Tvn"));
    ProgramSandbox::Pump(300);
    confirm.stop();
    auto* view = document->Frame()->findChild<CTARVENView*>();
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
    std::printf("targets (under %.1f %% of a core, nothing painted, under %.0f wake-up/s) %s\n",
                kCpuTargetPercent, kWakeupsTargetPerSecond, met ? "met" : "NOT met");
    return met ? 0 : 1;
}
