#pragma once

#include "CDecodeCtrl.h"
#include "CEchoServer.h"
#include "COutputWriter.h"
#include "CTraceHook.h"
#include "CUdpEcho.h"
#include "RunCase.h"
#include "TslRunOptions.h"

#include <QObject>
#include <QTimer>

#include <chrono>
#include <memory>
#include <optional>

// One headless run of a script: verifies it, opens its link through the script host, runs it,
// and writes every printed line to standard output until the run ends. What became of it goes
// into its case of the report.
class CRunSession : public QObject
{
    Q_OBJECT

public:
    using Clock = std::chrono::steady_clock;

    // `strScriptPath` is where the engine reads the script (its checked copy); `started` is when
    // the script's turn began, from which --seconds and --timeout count; printed lines go to
    // `output`, and `record` learns how the run ended. With `trace`, the lines the script runs
    // go there; with `capture`, every byte sent and received.
    CRunSession(const TslRunOptions& options, const std::string& strScriptPath,
                Clock::time_point started, COutputWriter& output, TslRunCase& record,
                COutputWriter* trace = nullptr, CTrafficTap* capture = nullptr);
    ~CRunSession() override;

    // Runs the whole session on the event loop; returns the exit status. After a bounded end
    // the caller has the stop budget to end the program or to go on (see RunSignals).
    int Exec();
    // Ends the run with this exit status. `bBounded`: the run ends within the stop budget
    // whatever the script and standard output do (a signal, a time limit), and printed lines
    // that standard output has no room for are left to the report; otherwise they are all
    // written first (the passes ran out, a SYNC under --sync-exit).
    void Finish(int nStatus, bool bBounded, RunEnd end = RunEnd::Passed,
                const std::string& strWhy = {});
    // Ends the run for SIGINT or SIGTERM.
    void Interrupt(int nStatus);
    bool EndedBounded() const { return m_bBounded; }

protected:
    void customEvent(QEvent* event) override;

private:
    bool Verify();
    bool PointLink();
    bool CheckLink();
    // The peer of a TCP or UDP link as HOST:PORT, an IPv6 host in brackets.
    std::string Peer() const;
    bool Start();
    void OnTick();
    void CheckConnection();
    void CheckLinkLoss();
    // Hands printed lines to standard output while it has room, or all of them.
    void PassPrinted(bool bAll);
    // Lines standard output had no room for at a bounded end: for the report only.
    void KeepLeftovers();
    void ReportNotices();
    void Fail(int nStatus, const std::string& strMessage);
    // A message on standard error, kept for the report too.
    void Tell(const std::string& strMessage);
    void Record(RunEnd end, const std::string& strWhy);

    const TslRunOptions m_options;
    const Clock::time_point m_started;
    COutputWriter* const m_pTraceOutput;
    std::unique_ptr<CTraceHook> m_pTrace; // outlives the run's thread, which m_ctrl joins
    CDecodeCtrl m_ctrl;
    // Made only for a run that asks for them: most runs and every check need no network.
    std::unique_ptr<CEchoServer> m_pEcho;
    std::unique_ptr<CUdpEcho> m_pUdpEcho;
    COutputWriter& m_output;
    TslRunCase& m_record;
    QTimer m_tick;
    const bool m_bTerminal;
    bool m_bFinished = false;
    bool m_bBounded = false;
    int m_nStatus = 0;
    std::string m_strPeerHost; // the TCP or UDP peer's host, of any length
    bool m_bWaitingForConnect = false;
    Clock::time_point m_connectDeadline;
    std::optional<Clock::time_point> m_runDeadline;
    std::optional<Clock::time_point> m_syncDeadline;
    bool m_bLinkLost = false;
    Clock::time_point m_linkLostAt;
    uint64_t m_nPassesAfterLoss = 0;
};
