// tslbridge: joins two links (serial lines, TCP, UDP) so that a device and its host talk through
// this machine, every byte of both directions counted, and logged or captured if asked.
#include "BridgeOptions.h"
#include "CBridge.h"
#include "COutputWriter.h"
#include "CSessionRecorder.h"
#include "ControlCodes.h"
#include "StopSignals.h"
#include "TerminalText.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QSocketNotifier>
#include <QTimer>

#include <array>
#include <csignal>
#include <cstdio>
#include <memory>
#include <sys/signalfd.h>
#include <unistd.h>

namespace {

// The log waits here while standard output does not keep up; past it lines are left out.
constexpr std::size_t kLogBufferBytes = 8 << 20;
// Bytes not forwarded are told at most this often per direction, summed.
constexpr int kNotForwardedNoticeMs = 1000;

const char* Arrow(CBridge::Direction direction)
{
    return direction == CBridge::AToB ? "A->B" : "B->A";
}

void Tell(const QString& text)
{
    WriteDiagnostic("tslbridge: " + text.toStdString());
}

int UsageError(const std::string& message)
{
    WriteDiagnostic("tslbridge: " + message);
    WriteDiagnostic("Try 'tslbridge --help'");
    return BridgeExit::kUsage;
}

// What the bridge tells, as the command line asked: notices on standard error, chunks into the
// log and the capture.
class CBridgeReport : public QObject
{
public:
    CBridgeReport(CBridge& bridge, COutputWriter* log, CSessionRecorder* capture)
        : m_log(log), m_capture(capture)
    {
        connect(&bridge, &CBridge::chunk, this, &CBridgeReport::OnChunk);
        connect(&bridge, &CBridge::sideNotice, this,
                [](CBridge::Side, const QString& text) { Tell(text); });
        connect(&bridge, &CBridge::heldBack, this, [this](CBridge::Direction direction, bool held) {
            // A side that keeps up only just holds the other back many times a second: told
            // once a second at most.
            Hold& hold = m_holds[direction];
            if (held && (!hold.told.isValid() || hold.told.hasExpired(kNotForwardedNoticeMs))) {
                hold.told.start();
                hold.bTold = true;
                Tell(QString::fromLatin1(Arrow(direction)) +
                     QStringLiteral(" held back: %1 takes no more")
                         .arg(CBridge::SideName(CBridge::To(direction))));
            } else if (!held && hold.bTold && hold.told.hasExpired(kNotForwardedNoticeMs)) {
                hold.bTold = false;
                Tell(QString::fromLatin1(Arrow(direction)) + QStringLiteral(" goes on"));
            }
        });
        connect(&bridge, &CBridge::notForwarded, this,
                [this](CBridge::Direction direction, qint64 bytes, const QString& why) {
                    Missed& missed = m_missed[direction];
                    missed.nBytes += bytes;
                    missed.strWhy = why;
                    if (!m_notice.isActive())
                        m_notice.start(kNotForwardedNoticeMs);
                });
        m_notice.setSingleShot(true);
        connect(&m_notice, &QTimer::timeout, this, &CBridgeReport::TellMissed);
    }

    void TellMissed()
    {
        for (const CBridge::Direction direction : {CBridge::AToB, CBridge::BToA}) {
            Missed& missed = m_missed[direction];
            if (missed.nBytes > 0)
                Tell(QStringLiteral("%1 bytes %2 not forwarded: %3")
                         .arg(missed.nBytes)
                         .arg(QLatin1String(Arrow(direction)), missed.strWhy));
            missed = {};
        }
    }

    long long DroppedLogLines() const { return m_nDroppedLines; }

private:
    struct Hold
    {
        QElapsedTimer told;
        bool bTold = false;
    };
    struct Missed
    {
        qint64 nBytes = 0;
        QString strWhy;
    };

    void OnChunk(CBridge::Direction direction, const QByteArray& bytes, qint64 timeMs)
    {
        if (m_capture != nullptr)
            m_capture->Record(bytes.constData(), int(bytes.size()),
                              direction == CBridge::AToB ? kAttrAToB : kAttrBToA);
        if (m_log == nullptr)
            return;
        std::string line = QDateTime::fromMSecsSinceEpoch(timeMs)
                               .toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz"))
                               .toStdString();
        line += ' ';
        line += Arrow(direction);
        line += ' ' + std::to_string(bytes.size()) + ' ';
        line += EscapeForTerminal(
            tsl::WriteControlCodes(std::string_view(bytes.constData(), std::size_t(bytes.size()))),
            TerminalText::Field);
        line += '\n';
        // A terminal or pipe that stops reading must not stop the bridge.
        if (m_log->Room() < line.size()) {
            ++m_nDroppedLines;
            return;
        }
        m_log->Write(line);
    }

    COutputWriter* m_log;
    CSessionRecorder* m_capture;
    std::array<Missed, 2> m_missed;
    std::array<Hold, 2> m_holds;
    QTimer m_notice;
    long long m_nDroppedLines = 0;
};

void TellCounts(const CBridge& bridge)
{
    for (const CBridge::Direction direction : {CBridge::AToB, CBridge::BToA}) {
        const CBridge::Counts counts = bridge.GetCounts(direction);
        Tell(QStringLiteral("%1: %2 bytes received, %3 forwarded, %4 not forwarded")
                 .arg(QLatin1String(Arrow(direction)))
                 .arg(counts.received)
                 .arg(counts.forwarded)
                 .arg(counts.notForwarded));
    }
}

} // namespace

int main(int argc, char** argv)
{
    const sigset_t stops = BlockStopSignals();

    BridgeOptions options;
    std::string error;
    if (!ParseBridgeOptions(std::vector<std::string>(argv + 1, argv + argc), options, error))
        return UsageError(error);
    if (options.bHelp) {
        std::fputs(BridgeUsage().c_str(), stdout);
        return 0;
    }
    if (options.bVersion) {
        std::printf("tslbridge %s\n", TARVEN_VERSION);
        return 0;
    }

    QCoreApplication app(argc, argv);
    TellQtMessagesAs("tslbridge");

    std::unique_ptr<CSessionRecorder> capture;
    if (!options.strCapture.empty()) {
        capture = std::make_unique<CSessionRecorder>();
        if (!capture->Open(options.strCapture, error)) {
            WriteDiagnostic("tslbridge: cannot capture to \"" + options.strCapture +
                            "\": " + error);
            return BridgeExit::kFailed;
        }
    }
    std::unique_ptr<COutputWriter> log;
    if (options.bLog)
        log = std::make_unique<COutputWriter>(STDOUT_FILENO, kLogBufferBytes);

    const int stopFd = signalfd(-1, &stops, SFD_CLOEXEC | SFD_NONBLOCK);
    if (stopFd < 0) {
        WriteDiagnostic("tslbridge: cannot take signals");
        return BridgeExit::kFailed;
    }
    QSocketNotifier stopNotifier(stopFd, QSocketNotifier::Read);
    QObject::connect(&stopNotifier, &QSocketNotifier::activated, &app, [&app] { app.quit(); });

    int status = 0;
    {
        CBridge bridge(MakeLink(options.a), MakeLink(options.b));
        CBridgeReport report(bridge, log.get(), capture.get());
        Tell(QStringLiteral("A is %1, B is %2")
                 .arg(QString::fromStdString(options.strA), QString::fromStdString(options.strB)));
        QString failure;
        if (!bridge.Start(&failure)) {
            Tell(QStringLiteral("cannot open ") + failure);
            status = BridgeExit::kFailed;
        } else {
            app.exec();
            bridge.Stop();
            report.TellMissed();
            TellCounts(bridge);
            if (report.DroppedLogLines() > 0)
                Tell(QStringLiteral("%1 log lines left out: standard output did not keep up")
                         .arg(report.DroppedLogLines()));
        }
    }
    ::close(stopFd);
    if (log)
        log->FlushFor(1000);
    if (capture && !capture->Close(error)) {
        WriteDiagnostic("tslbridge: the capture \"" + options.strCapture +
                        "\" is not whole: " + error);
        status = BridgeExit::kFailed;
    }
    return status;
}
