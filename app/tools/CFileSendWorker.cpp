#include "CFileSendWorker.h"

#include "LinkWriter.h"
#include "ToolsConstants.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>

CFileSendWorker::CFileSendWorker(QObject* parent) : QObject(parent)
{
    qRegisterMetaType<CFileSendWorker::Outcome>();
}

CFileSendWorker::~CFileSendWorker()
{
    Cancel();
    Wait();
}

bool CFileSendWorker::Start(const QString& path, CLinkWriter* writer)
{
    if (m_bRunning)
        return false;
    Wait();
    m_bSending = true;
    m_bRunning = true;
    m_thread = std::thread(&CFileSendWorker::Run, this, path, writer);
    return true;
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
        if (!WriteBlock(writer, block, static_cast<int>(got), sent, total))
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
