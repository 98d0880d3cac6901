#include "CFileSendWorker.h"

#include "LinkWriter.h"
#include "ToolsConstants.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>

CFileSendWorker::CFileSendWorker(QObject* parent) : QObject(parent)
{
    qRegisterMetaType<CFileSendWorker::Outcome>();
}

CFileSendWorker::~CFileSendWorker()
{
    Cancel();
    Wait();
}

bool CFileSendWorker::Start(const QString& path, CLinkWriter* writer, SendPacing pacing)
{
    if (m_bRunning)
        return false;
    Wait();
    m_pacing = pacing;
    m_bSending = true;
    m_bRunning = true;
    m_thread = std::thread(&CFileSendWorker::Run, this, path, writer);
    return true;
}

void CFileSendWorker::Cancel()
{
    {
        // Under the lock, so that a pause about to wait sees it.
        const std::lock_guard lock(m_pauseMutex);
        m_bSending = false;
    }
    m_pauseWake.notify_all();
}

bool CFileSendWorker::Pause(int ms)
{
    std::unique_lock lock(m_pauseMutex);
    return !m_pauseWake.wait_for(lock, std::chrono::milliseconds(ms),
                                 [this] { return !m_bSending; });
}

void CFileSendWorker::Wait()
{
    if (m_thread.joinable())
        m_thread.join();
}

void CFileSendWorker::Finish(Outcome outcome, qint64 sent, qint64 total, int error)
{
    m_bSending = false;
    emit finished(outcome, sent, total, error);
    m_bRunning = false;
}

void CFileSendWorker::Report(CLinkWriter* writer, qint64 sent, qint64 total, bool force)
{
    // A fast link finishes blocks far quicker than a window repaints: report the first write
    // and then at most once an interval; the end reports the final count.
    const auto now = std::chrono::steady_clock::now();
    if (!force && m_bReported &&
        now - m_lastReport < std::chrono::milliseconds(kProgressIntervalMs))
        return;
    m_bReported = true;
    m_lastReport = now;
    int error = 0;
    const qint64 pending = writer->Pending(error);
    if (pending >= 0)
        m_nPending = pending;
    emit progress(sent, m_nPending, total);
}

void CFileSendWorker::Run(QString path, CLinkWriter* writer)
{
    m_bReported = false;
    m_nPending = 0;
    // Only a plain file has an end: a device or a pipe could be read for ever.
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly)) {
        Finish(Outcome::NotFound, 0, 0, ENOENT);
        return;
    }
    const qint64 total = file.size();
    emit started(total);

    char block[kSendBlockBytes];
    qint64 sent = 0;
    while (m_bSending) {
        const qint64 got = file.read(block, sizeof block);
        if (got < 0) {
            Finish(Outcome::ReadFailed, sent, total, EIO);
            return;
        }
        if (got == 0) {
            if (WaitForDelivery(writer, sent, total))
                Finish(Outcome::Completed, sent, total, 0);
            return;
        }
        const bool paced = m_pacing.nLineDelayMs > 0 || m_pacing.nByteDelayMs > 0;
        const bool written = paced ? WritePaced(writer, block, int(got), sent, total)
                                   : WriteBlock(writer, block, int(got), sent, total);
        if (!written)
            return;
    }
    Finish(Outcome::Cancelled, sent, total, 0);
}

bool CFileSendWorker::WriteBlock(CLinkWriter* writer, const char* block, int n, qint64& sent,
                                 qint64 total)
{
    int done = 0;
    while (done < n) {
        // A slow link is written to again and again; a stop request is seen between writes.
        if (!m_bSending) {
            Finish(Outcome::Cancelled, sent, total, 0);
            return false;
        }
        int error = 0;
        const int written = writer->Write(block + done, n - done, error);
        done += written;
        sent += written;
        if (written > 0)
            Report(writer, sent, total, false);
        if (done < n && error != EAGAIN) {
            Finish(Outcome::WriteFailed, Delivered(writer, sent), total, error != 0 ? error : EIO);
            return false;
        }
    }
    return true;
}

bool CFileSendWorker::WritePaced(CLinkWriter* writer, const char* block, int n, qint64& sent,
                                 qint64 total)
{
    int done = 0;
    while (done < n) {
        // A byte at a time when bytes are paced, else up to and with the next line feed.
        int piece = 1;
        if (m_pacing.nByteDelayMs == 0) {
            const void* lineFeed = std::memchr(block + done, '\n', size_t(n - done));
            piece = lineFeed != nullptr ? int(static_cast<const char*>(lineFeed) - block) + 1 - done
                                        : n - done;
        }
        if (!WriteBlock(writer, block + done, piece, sent, total))
            return false;
        done += piece;
        int pause = m_pacing.nByteDelayMs;
        if (block[done - 1] == '\n')
            pause += m_pacing.nLineDelayMs;
        if (pause > 0 && !Pause(pause)) {
            Finish(Outcome::Cancelled, sent, total, 0);
            return false;
        }
    }
    return true;
}

qint64 CFileSendWorker::Delivered(CLinkWriter* writer, qint64 sent)
{
    int error = 0;
    const qint64 pending = writer->Pending(error);
    return sent - (pending >= 0 ? pending : m_nPending);
}

bool CFileSendWorker::WaitForDelivery(CLinkWriter* writer, qint64 sent, qint64 total)
{
    for (;;) {
        int error = 0;
        const qint64 pending = writer->Pending(error);
        if (pending == 0)
            return true;
        if (pending < 0 || error != 0) {
            Finish(Outcome::WriteFailed, sent - (pending >= 0 ? pending : m_nPending), total,
                   error != 0 ? error : EIO);
            return false;
        }
        m_nPending = pending;
        if (!m_bSending) {
            Finish(Outcome::Cancelled, sent, total, 0);
            return false;
        }
        Report(writer, sent, total, false);
        std::this_thread::sleep_for(std::chrono::milliseconds(kQueueWatchMs));
    }
}
