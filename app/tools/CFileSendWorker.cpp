#include "CFileSendWorker.h"

#include "LinkWriter.h"
#include "ToolsConstants.h"

#include <QElapsedTimer>
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

void CFileSendWorker::Run(QString path, CLinkWriter* writer)
{
    auto finish = [this](Outcome outcome, qint64 sent, qint64 total, int error) {
        m_bSending = false;
        emit finished(outcome, sent, total, error);
        m_bRunning = false;
    };

    // Only a plain file has an end: a device or a pipe could be read for ever.
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly)) {
        finish(Outcome::NotFound, 0, 0, ENOENT);
        return;
    }
    const qint64 total = file.size();
    emit started(total);

    char block[kSendBlockBytes];
    qint64 sent = 0;
    // A fast link finishes blocks far quicker than a window repaints: report the first block
    // and then at most once an interval; the end reports the final count.
    QElapsedTimer sinceReport;
    while (m_bSending) {
        const qint64 got = file.read(block, sizeof block);
        if (got < 0) {
            finish(Outcome::ReadFailed, sent, total, EIO);
            return;
        }
        if (got == 0) {
            finish(Outcome::Completed, sent, total, 0);
            return;
        }
        int error = 0;
        const int written = writer->Write(block, static_cast<int>(got), error);
        sent += written;
        if (!sinceReport.isValid() || sinceReport.elapsed() >= kProgressIntervalMs) {
            sinceReport.start();
            emit progress(sent, total);
        }
        if (written < got) {
            finish(Outcome::WriteFailed, sent, total, error != 0 ? error : EIO);
            return;
        }
    }
    finish(Outcome::Cancelled, sent, total, 0);
}
