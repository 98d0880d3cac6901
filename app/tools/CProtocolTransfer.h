#pragma once

#include "ProtocolCommand.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QProcess>
#include <QString>
#include <QTimer>

#include <atomic>
#include <chrono>
#include <thread>

class CLinkWriter;
class QSocketNotifier;

// One protocol transfer: an lrzsz program whose output goes out on the link through the
// transfer's writer, and whose input is what the link receives meanwhile (Feed). Its error
// output tells the progress. The output is written on a thread of its own, a block at a time:
// while the link cannot take a block the program is not read, so its own writes wait and no
// protocol byte is dropped or held without bound. Lives on the user-interface thread.
class CProtocolTransfer : public QObject
{
    Q_OBJECT

public:
    enum class Outcome
    {
        Completed,  // the program ended with success
        Failed,     // the program ended with a failure; the detail is its last words
        Cancelled,  // stopped on request
        LinkFailed, // the link failed or took nothing for the stall limit; error says which
        Overrun,    // the program stopped reading what the link received
    };
    Q_ENUM(Outcome)

    // The writer must outlive the transfer and has begun it.
    explicit CProtocolTransfer(CLinkWriter* writer, QObject* parent = nullptr);
    // Ends a running program the hard way and waits for the output thread.
    ~CProtocolTransfer() override;

    // Starts the program in folder (the sent file's folder or the receiving one). False with
    // a message for the user when it cannot start; nothing then runs.
    bool Start(const ProtocolCommand& command, const QString& folder, QString& error);
    // Bytes the link received, for the program's input. Dropped once the program has ended.
    void Feed(const QByteArray& bytes);
    // Sends the protocol's cancel sequence, then ends the program: finished() follows.
    void Cancel();
    bool IsRunning() const { return m_bRunning; }
    // Link bytes the program wrote and the link took, and link bytes fed to the program.
    qint64 LinkBytesOut() const { return m_nOut; }
    qint64 LinkBytesIn() const { return m_nIn; }

    // The sequence lrzsz takes as an abort: eight CAN, then eight backspaces to rub them out
    // of a terminal that showed them.
    static QByteArray CancelSequence();

signals:
    // Bytes that went out on the link, in order.
    void sent(const QByteArray& bytes);
    // File bytes done and the file's length (-1 while unknown), and the file's name once told.
    void progress(qint64 bytes, qint64 total, const QString& file);
    // Once, after the program and the output thread both ended.
    void finished(CProtocolTransfer::Outcome outcome, const QString& detail, int error);

private:
    void RunOutput();
    void OnOutputEnded(int error);
    void OnProcessFinished(int exitCode, QProcess::ExitStatus status);
    void OnErrorOutput();
    void TakeErrorLine(const QString& line);
    void FlushInput();
    void Fail(Outcome outcome, int error);
    void MaybeFinish();
    void CloseFds();

    CLinkWriter* m_pWriter;
    QProcess m_process;
    QTimer m_killTimer;
    QSocketNotifier* m_pInputNotifier = nullptr;
    std::thread m_outputThread;
    int m_inputFd = -1;       // our end of the program's input
    int m_outputFd = -1;      // our end of the program's output; read by the output thread
    int m_wake[2] = {-1, -1}; // wakes the output thread to stop
    std::atomic<bool> m_bStopOutput = false;
    std::atomic<bool> m_bSendCancel = false;
    std::atomic<qint64> m_nOut = 0;
    qint64 m_nIn = 0;
    QByteArray m_input;      // received, not yet taken by the program
    QByteArray m_errorLine;  // the error output's line being read
    QStringList m_lastWords; // its last lines that were not progress
    qint64 m_nDone = -1;
    qint64 m_nTotal = -1;
    QString m_strFile;
    bool m_bRunning = false;
    bool m_bProcessEnded = false;
    bool m_bOutputEnded = false;
    bool m_bCancelled = false;
    Outcome m_failure = Outcome::Completed; // a failure seen before the program ended
    int m_nFailureError = 0;
    int m_nExitCode = 0;
    bool m_bCrashed = false;
};
