#pragma once

#include "CDecodeCtrl.h"
#include "CEchoServer.h"
#include "TslRunOptions.h"

#include <QObject>
#include <QTimer>

#include <chrono>

// One headless run of a script: verifies it, opens its link through the script host, runs it,
// and writes every printed line to standard output until the run ends.
class CRunSession : public QObject
{
    Q_OBJECT

public:
    explicit CRunSession(const TslRunOptions& options);
    ~CRunSession() override;

    // Runs the whole session on the event loop; returns the exit status.
    int Exec();
    // Ends the run with this exit status (a signal, a limit, a SYNC).
    void Finish(int nStatus);

protected:
    void customEvent(QEvent* event) override;

private:
    bool Verify();
    bool PointLink();
    bool Start();
    void OnTick();
    void CheckConnection();
    void DrainPrinted();
    void Fail(int nStatus, const std::string& strMessage);

    const TslRunOptions m_options;
    CDecodeCtrl m_ctrl;
    CEchoServer m_echo;
    QTimer m_tick;
    bool m_bTerminal = false;
    bool m_bFinished = false;
    int m_nStatus = 0;
    bool m_bWaitingForConnect = false;
    bool m_bConnected = false;
    std::chrono::steady_clock::time_point m_connectDeadline;
};
