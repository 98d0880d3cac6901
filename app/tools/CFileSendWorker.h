#pragma once

#include <QObject>
#include <QString>

#include <atomic>
#include <thread>

class CLinkWriter;

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

    // Starts sending the file at path; the writer must outlive the transfer. False while an
    // earlier transfer's thread is still running.
    bool Start(const QString& path, CLinkWriter* writer);
    // Asks the worker to stop before its next block.
    void Cancel() { m_bSending = false; }
    // Cleared by Cancel and by the worker when it ends.
    bool IsSending() const { return m_bSending; }
    // True until the thread has ended, also after Cancel.
    bool IsRunning() const { return m_bRunning; }
    // Waits for the thread to end.
    void Wait();

signals:
    void started(qint64 total);
    // After the first block, then at most every kProgressIntervalMs.
    void progress(qint64 sent, qint64 total);
    // Carries the final count; error is an errno value for the failures.
    void finished(CFileSendWorker::Outcome outcome, qint64 sent, qint64 total, int error);

private:
    void Run(QString path, CLinkWriter* writer);

    std::thread m_thread;
    std::atomic<bool> m_bSending = false;
    std::atomic<bool> m_bRunning = false;
};
