#pragma once

#include <QObject>
#include <QString>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

class CLinkWriter;

// Pauses of a plain send for a device without flow control: after each line feed and after
// each byte; 0 for none.
struct SendPacing
{
    int nLineDelayMs = 0;
    int nByteDelayMs = 0;
};

// Writes one file to a link in blocks on a thread of its own, so the window never waits for
// the link. Progress and the outcome arrive as signals, queued to the receiver's thread.
class CFileSendWorker : public QObject
{
    Q_OBJECT

public:
    enum class Outcome
    {
        Completed, // every byte of the file was written
        Cancelled, // stopped at a block boundary on request; nothing is reported for it
        NotFound,  // the file could not be opened
        ReadFailed,
        WriteFailed,
    };
    Q_ENUM(Outcome)

    explicit CFileSendWorker(QObject* parent = nullptr);
    ~CFileSendWorker() override;

    // Starts sending the file at path; the writer must outlive the transfer and has begun it.
    // False while an earlier transfer's thread is still running.
    bool Start(const QString& path, CLinkWriter* writer, SendPacing pacing = {});
    // Asks the worker to stop: it does so within about one write time-out, or at once when
    // it pauses.
    void Cancel();
    // Cleared by Cancel and by the worker when it ends.
    bool IsSending() const { return m_bSending; }
    // True until the thread has ended, also after Cancel.
    bool IsRunning() const { return m_bRunning; }
    // Waits for the thread to end.
    void Wait();

signals:
    void started(qint64 total);
    // After the first write, then at most every kProgressIntervalMs: sent is what the link took,
    // pending what of it the system still holds undelivered. Once everything is sent, the
    // transfer waits until nothing is pending.
    void progress(qint64 sent, qint64 pending, qint64 total);
    // Carries the final count: what the link took (for a failure, what of it was delivered);
    // error is an errno value for the failures.
    void finished(CFileSendWorker::Outcome outcome, qint64 sent, qint64 total, int error);

private:
    void Run(QString path, CLinkWriter* writer);
    // Writes the whole block; false (with the outcome settled) when the transfer ends in it.
    bool WriteBlock(CLinkWriter* writer, const char* block, int n, qint64& sent, qint64 total);
    // Waits until the system has delivered what it took; false when the transfer ended.
    bool WaitForDelivery(CLinkWriter* writer, qint64 sent, qint64 total);
    // Writes the block in the pieces the pacing asks for, pausing after each.
    bool WritePaced(CLinkWriter* writer, const char* block, int n, qint64& sent, qint64 total);
    // False when cancelled meanwhile.
    bool Pause(int ms);
    void Report(CLinkWriter* writer, qint64 sent, qint64 total, bool force);
    // What of the sent bytes reached the peer: the rest still waits in the system.
    qint64 Delivered(CLinkWriter* writer, qint64 sent);
    void Finish(Outcome outcome, qint64 sent, qint64 total, int error);

    std::thread m_thread;
    SendPacing m_pacing; // set before the thread starts
    std::mutex m_pauseMutex;
    std::condition_variable m_pauseWake;
    std::chrono::steady_clock::time_point m_lastReport; // kept by the worker thread
    bool m_bReported = false;
    qint64 m_nPending = 0; // undelivered bytes, as last seen
    std::atomic<bool> m_bSending = false;
    std::atomic<bool> m_bRunning = false;
};
