// Running a script from the editor: time from the run command to the script's first command
// executing (its first byte arriving at the far end of a pseudo-terminal), and how many printed
// lines a second the watch window shows while a script prints as fast as it can.
#include "CDecodeCtrl.h"
#include "CMainFrame.h"
#include "CMdiClientWnd.h"
#include "CScriptChildFrame.h"
#include "CScriptEditCtrl.h"
#include "CScriptEditView.h"
#include "CScriptWatchDlg.h"
#include "CTARVENApp.h"
#include "CTSL.h"
#include "CommandIds.h"
#include "program_sandbox.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QMdiSubWindow>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <optional>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kRounds = 20;
constexpr int kFloodSeconds = 3;
constexpr int kFirstByteWaitMs = 10000;

const QByteArray kSerialHeader = "OPEN MEDIA RS232C\nOPEN PORT COM8\nOPEN BAUD_RATE 115200\n"
                                 "OPEN PARITY_BIT NONE\nOPEN DATA_BIT 8\nOPEN STOP_BIT 1\n";

// The far end of the script's serial line.
struct Pty
{
    Pty()
    {
        int slave = -1;
        char name[128] = {};
        openpty(&master, &slave, name, nullptr, nullptr);
        termios raw{};
        tcgetattr(master, &raw);
        cfmakeraw(&raw);
        tcsetattr(master, TCSANOW, &raw);
        path = name;
        ::close(slave);
    }
    ~Pty() { ::close(master); }
    // When the first byte arrives, waiting at most ms; nothing when none came.
    std::optional<Clock::time_point> FirstByte(int ms) const
    {
        pollfd fd = {master, POLLIN, 0};
        if (::poll(&fd, 1, ms) <= 0)
            return std::nullopt;
        const Clock::time_point at = Clock::now();
        char buf[256];
        while (::poll(&fd, 1, 0) > 0 && ::read(master, buf, sizeof buf) > 0) {
        }
        return at;
    }

    int master = -1;
    std::string path;
};

double Percentile(std::vector<double> values, double fraction)
{
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1, static_cast<size_t>(values.size() * fraction))];
}

CScriptEditView* NewScript(CTARVENApp& tarven, const QByteArray& text)
{
    tarven.MainFrame()->Action(ID_FILE_NEW_SCRIPT)->trigger();
    auto* view = tarven.MainFrame()->MdiClient()->activeSubWindow()->findChild<CScriptEditView*>();
    view->Edit()->SetText(text);
    return view;
}

} // namespace

int main(int argc, char** argv)
{
    ProgramSandbox sandbox;
    Pty pty;
    qputenv("TARVEN_COM8", QByteArray::fromStdString(pty.path));
    QApplication app(argc, argv);
    CProgram program;
    CTARVENApp& tarven = program.App();
    if (!ProgramSandbox::Start(program))
        return 2;
    tarven.MainFrame()->resize(1024, 768);

    // Run command to first command: the script's first command sends one byte.
    CScriptEditView* view = NewScript(tarven, kSerialHeader + "BEGIN:\n    OUT \"A\"\n"
                                                              "    SLEEP 1000\nEND:\n");
    QAction* run = tarven.MainFrame()->Action(ID_SCRIPT_RUN);
    std::vector<double> latencies;
    for (int round = 0; round < kRounds; ++round) {
        std::optional<Clock::time_point> arrived;
        const Clock::time_point start = Clock::now();
        std::thread reader([&] { arrived = pty.FirstByte(kFirstByteWaitMs); });
        run->trigger();
        reader.join();
        if (!view->IsRunning() || !arrived) {
            std::fprintf(stderr, "round %d: the script did not start\n", round);
            return 1;
        }
        latencies.push_back(std::chrono::duration<double, std::milli>(*arrived - start).count());
        view->OnScriptStop();
        ProgramSandbox::Pump(20);
    }
    std::printf("run command to first command executing: median %.2f ms, 90th percentile "
                "%.2f ms, max %.2f ms (%d runs)\n",
                Percentile(latencies, 0.5), Percentile(latencies, 0.9),
                *std::max_element(latencies.begin(), latencies.end()), kRounds);

    // Printing as fast as the script can, for a few seconds.
    view->Edit()->SetText(kSerialHeader + "BEGIN:\nLOOP:\n"
                                          "    PRINTEX \"printed line 0123456789<0D><0A>\"\n"
                                          "    JP LOOP\nEND:\n");
    view->OnScriptRun();
    if (!view->IsRunning())
        return 1;
    size_t largestQueue = 0;
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < kFloodSeconds * 1000) {
        QApplication::processEvents(QEventLoop::AllEvents, 5);
        if (CTSL* tsl = view->Decode()->m_pTSL.get()) {
            std::lock_guard lock(tsl->m_csPrint);
            largestQueue = std::max(largestQueue, tsl->m_listPrint.size());
        }
    }
    const double seconds = static_cast<double>(clock.nsecsElapsed()) / 1e9;
    const uint64_t lines = view->WatchDialog()->ShownLines();
    const uint64_t bytes = view->WatchDialog()->ShownBytes();
    std::printf("watch window: %.0f printed lines/s shown (%.1f MB/s), %llu lines in %.2f s; "
                "largest print queue %zu lines (bound %zu)\n",
                static_cast<double>(lines) / seconds, static_cast<double>(bytes) / seconds / 1e6,
                static_cast<unsigned long long>(lines), seconds, largestQueue,
                CTSL::kMaxPrintLines);
    view->OnScriptStop();
    return 0;
}
