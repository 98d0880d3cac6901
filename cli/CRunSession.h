#pragma once

#include "CDecodeCtrl.h"
#include "CEchoServer.h"
#include "COutputWriter.h"
#include "CUdpEcho.h"
#include "TslRunOptions.h"

#include <QObject>
#include <QTimer>

#include <chrono>
#include <optional>

// One headless run of a script: verifies it, opens its link through the script host, runs it,
// and writes every printed line to standard output until the run ends.
class CRunSession : public QObject
{
    Q_OBJECT

public:
    using Clock = std::chrono::steady_clock;

    // `strScriptPath` is where the engine reads the script (its checked copy); `started` is when
    // the program started, from which --seconds counts.
    CRunSession(const TslRunOptions& options, const std::string& strScriptPath,
                Clock::time_point started);
    ~CRunSession() override;

    // Runs the whole session on the event loop; returns the exit status.
    int Exec();
    // Ends the run with this exit status. `bBounded`: the program ends within the stop budget
    // whatever the script and standard output do (a signal, the time limit); otherwise printed
    // lines are all written first (the passes ran out, a SYNC under --sync-exit).
    void Finish(int nStatus, bool bBounded);

protected:
    void customEvent(QEvent* event) override;

private:
    bool Verify();
    bool PointLink();
    bool CheckLink();
    bool Start();
    void OnTick();
    void CheckConnection();
    void CheckLinkLoss();
    // Hands printed lines to standard output while it has room, or all of them.
    void PassPrinted(bool bAll);
    void ReportNotices();
    void Fail(int nStatus, const std::string& strMessage);

    const TslRunOptions m_options;
    const Clock::time_point m_started;
    CDecodeCtrl m_ctrl;
    CEchoServer m_echo;
    CUdpEcho m_udpEcho;
    COutputWriter m_output;
    QTimer m_tick;
    const bool m_bTerminal;
    bool m_bFinished = false;
    int m_nStatus = 0;
    bool m_bWaitingForConnect = false;
    Clock::time_point m_connectDeadline;
    std::optional<Clock::time_point> m_runDeadline;
    bool m_bLinkLost = false;
    Clock::time_point m_linkLostAt;
    uint64_t m_nPassesAfterLoss = 0;
};
