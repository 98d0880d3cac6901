#include "CProtocolTransfer.h"

#include "LinkWriter.h"
#include "ToolsConstants.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <QStandardPaths>

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr char kCan = 0x18;
constexpr char kBackspace = 0x08;
constexpr int kCancelRepeat = 8;
constexpr int kStartWaitMs = 5000;

void CloseFd(int& fd)
{
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}

} // namespace

CProtocolTransfer::CProtocolTransfer(CLinkWriter* writer, QObject* parent)
    : QObject(parent), m_pWriter(writer)
{
    qRegisterMetaType<CProtocolTransfer::Outcome>();
    m_killTimer.setSingleShot(true);
    m_killTimer.setInterval(kProtocolKillWaitMs);
    connect(&m_killTimer, &QTimer::timeout, &m_process, &QProcess::kill);
    connect(&m_process, &QProcess::finished, this, &CProtocolTransfer::OnProcessFinished);
    connect(&m_process, &QProcess::readyReadStandardError, this, &CProtocolTransfer::OnErrorOutput);
}

CProtocolTransfer::~CProtocolTransfer()
{
    disconnect(&m_process, nullptr, this, nullptr);
    m_bStopOutput = true;
    if (m_wake[1] >= 0) {
        const char stop = 0;
        [[maybe_unused]] const ssize_t n = ::write(m_wake[1], &stop, 1);
    }
    if (m_process.state() != QProcess::NotRunning) {
        m_process.kill();
        m_process.waitForFinished(kProtocolKillWaitMs);
    }
    if (m_outputThread.joinable())
        m_outputThread.join();
    CloseFds();
}

QByteArray CProtocolTransfer::CancelSequence()
{
    return QByteArray(kCancelRepeat, kCan) + QByteArray(kCancelRepeat, kBackspace);
}

void CProtocolTransfer::CloseFds()
{
    delete m_pInputNotifier;
    m_pInputNotifier = nullptr;
    CloseFd(m_inputFd);
    CloseFd(m_outputFd);
    CloseFd(m_wake[0]);
    CloseFd(m_wake[1]);
}

bool CProtocolTransfer::Start(const ProtocolCommand& command, const QString& folder, QString& error)
{
    if (m_bRunning || command.program.isEmpty())
        return false;
    const QString program = QStandardPaths::findExecutable(command.program);
    if (program.isEmpty()) {
        error =
            tr("'%1' 프로그램을 찾을 수 없습니다.\n%2 패키지를 설치하십시오 (sudo apt install %2).")
                .arg(command.program, QLatin1String(kProtocolPackage));
        return false;
    }
    // The input is a socket, so that writing to a program that ended gives EPIPE and no
    // signal; the output a pipe the output thread reads.
    int input[2] = {-1, -1};
    int output[2] = {-1, -1};
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, input) != 0 ||
        ::pipe2(output, O_CLOEXEC) != 0 || ::pipe2(m_wake, O_CLOEXEC) != 0) {
        error = QString::fromLocal8Bit(strerror(errno));
        for (int fd : {input[0], input[1], output[0], output[1]})
            if (fd >= 0)
                ::close(fd);
        CloseFds();
        return false;
    }
    ::shutdown(input[0], SHUT_WR);
    m_process.setProgram(program);
    m_process.setArguments(command.arguments);
    m_process.setWorkingDirectory(folder);
    m_process.setStandardInputFile(QProcess::nullDevice());
    m_process.setStandardOutputFile(QProcess::nullDevice());
    const int childIn = input[0];
    const int childOut = output[1];
    // In the child, after the standard channels are set: only dup2, which is safe there.
    m_process.setChildProcessModifier([childIn, childOut] {
        ::dup2(childIn, STDIN_FILENO);
        ::dup2(childOut, STDOUT_FILENO);
    });
    m_process.start();
    const bool started = m_process.waitForStarted(kStartWaitMs);
    ::close(childIn);
    ::close(childOut);
    m_inputFd = input[1];
    m_outputFd = output[0];
    if (!started) {
        error = tr("'%1' 프로그램을 시작할 수 없습니다.\n%2").arg(program, m_process.errorString());
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished(kProtocolKillWaitMs);
        }
        CloseFds();
        return false;
    }
    ::fcntl(m_inputFd, F_SETFL, ::fcntl(m_inputFd, F_GETFL) | O_NONBLOCK);
    m_pInputNotifier = new QSocketNotifier(m_inputFd, QSocketNotifier::Write, this);
    m_pInputNotifier->setEnabled(false);
    connect(m_pInputNotifier, &QSocketNotifier::activated, this, &CProtocolTransfer::FlushInput);

    m_bRunning = true;
    m_bProcessEnded = false;
    m_bOutputEnded = false;
    m_bCancelled = false;
    m_bStopOutput = false;
    m_bSendCancel = false;
    m_failure = Outcome::Completed;
    m_nFailureError = 0;
    m_nOut = 0;
    m_nIn = 0;
    m_nDone = -1;
    m_nTotal = -1;
    m_input.clear();
    m_errorLine.clear();
    m_lastWords.clear();
    m_outputThread = std::thread(&CProtocolTransfer::RunOutput, this);
    return true;
}

void CProtocolTransfer::RunOutput()
{
    char block[kProtocolBlockBytes];
    int error = 0;
    while (!m_bStopOutput) {
        pollfd fds[2] = {{m_outputFd, POLLIN, 0}, {m_wake[0], POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            error = errno;
            break;
        }
        if (fds[1].revents != 0)
            break;
        const ssize_t got = ::read(m_outputFd, block, sizeof block);
        if (got < 0 && (errno == EINTR || errno == EAGAIN))
            continue;
        if (got <= 0) {
            // End of output: the program ended (or closed it, which it does only then).
            if (got < 0)
                error = errno;
            break;
        }
        // Whole or the link failed: a protocol byte is never dropped. While this waits the
        // program is not read, so it waits too.
        int done = 0;
        while (done < got && !m_bStopOutput) {
            int writeError = 0;
            done += m_pWriter->Write(block + done, static_cast<int>(got) - done, writeError);
            if (done < got && writeError != EAGAIN) {
                error = writeError != 0 ? writeError : EIO;
                break;
            }
        }
        if (done > 0) {
            m_nOut += done;
            emit sent(QByteArray(block, done));
        }
        if (error != 0)
            break;
    }
    if (m_bSendCancel) {
        // The far end is told to give up, as far as the link takes it.
        const QByteArray cancel = CancelSequence();
        int done = 0;
        for (int tries = 0; done < cancel.size() && tries < kProtocolCancelTries; ++tries) {
            int writeError = 0;
            done +=
                m_pWriter->Write(cancel.constData() + done, int(cancel.size()) - done, writeError);
            if (done < cancel.size() && writeError != EAGAIN)
                break;
        }
        if (done > 0) {
            m_nOut += done;
            emit sent(cancel.left(done));
        }
    }
    QMetaObject::invokeMethod(
        this, [this, error] { OnOutputEnded(error); }, Qt::QueuedConnection);
}

void CProtocolTransfer::Feed(const QByteArray& bytes)
{
    if (!m_bRunning || m_bProcessEnded || m_inputFd < 0 || bytes.isEmpty())
        return;
    m_nIn += bytes.size();
    if (m_input.size() + bytes.size() > kProtocolInputLimitBytes) {
        Fail(Outcome::Overrun, ENOBUFS);
        return;
    }
    m_input.append(bytes);
    FlushInput();
}

void CProtocolTransfer::FlushInput()
{
    while (!m_input.isEmpty() && m_inputFd >= 0) {
        const ssize_t put =
            ::send(m_inputFd, m_input.constData(), size_t(m_input.size()), MSG_NOSIGNAL);
        if (put > 0) {
            m_input.remove(0, put);
            continue;
        }
        if (put < 0 && errno == EINTR)
            continue;
        if (put < 0 && errno == EAGAIN) {
            m_pInputNotifier->setEnabled(true);
            return;
        }
        // The program closed its input: it is ending, and what it did not read is not its.
        m_input.clear();
    }
    if (m_pInputNotifier != nullptr)
        m_pInputNotifier->setEnabled(false);
}

void CProtocolTransfer::OnErrorOutput()
{
    const QByteArray bytes = m_process.readAllStandardError();
    for (const char byte : bytes) {
        if (byte == '\r' || byte == '\n') {
            if (!m_errorLine.isEmpty())
                TakeErrorLine(QString::fromLocal8Bit(m_errorLine));
            m_errorLine.clear();
        } else if (m_errorLine.size() < kProtocolErrorLineChars) {
            m_errorLine.append(byte);
        }
    }
}

void CProtocolTransfer::TakeErrorLine(const QString& line)
{
    const QString text = line.trimmed();
    if (text.isEmpty())
        return;
    const ProtocolProgress parsed = ParseProtocolProgress(text);
    if (parsed.nBytes >= 0) {
        // A batch ends with an empty header whose count starts from nothing: the file's count
        // stays until another file is named.
        if (parsed.nBytes < m_nDone)
            return;
        m_nDone = parsed.nBytes;
        if (parsed.nTotal >= 0)
            m_nTotal = parsed.nTotal;
        emit progress(m_nDone, m_nTotal, m_strFile);
        return;
    }
    if (!parsed.strFile.isEmpty()) {
        m_strFile = parsed.strFile;
        m_nDone = -1;
        emit progress(m_nDone, m_nTotal, m_strFile);
        return;
    }
    m_lastWords.append(text);
    while (m_lastWords.size() > kProtocolLastWords)
        m_lastWords.removeFirst();
}

void CProtocolTransfer::Cancel()
{
    if (!m_bRunning || m_bCancelled)
        return;
    m_bCancelled = true;
    m_bSendCancel = true;
    Fail(Outcome::Cancelled, 0);
}

void CProtocolTransfer::Fail(Outcome outcome, int error)
{
    if (m_failure == Outcome::Completed) {
        m_failure = outcome;
        m_nFailureError = error;
    }
    if (outcome == Outcome::Overrun)
        m_bSendCancel = true;
    m_bStopOutput = true;
    if (m_wake[1] >= 0) {
        const char stop = 0;
        [[maybe_unused]] const ssize_t n = ::write(m_wake[1], &stop, 1);
    }
    m_input.clear();
    if (m_process.state() != QProcess::NotRunning) {
        m_process.terminate();
        if (!m_killTimer.isActive())
            m_killTimer.start();
    }
}

void CProtocolTransfer::OnOutputEnded(int error)
{
    m_bOutputEnded = true;
    if (error != 0 && !m_bCancelled)
        Fail(Outcome::LinkFailed, error);
    MaybeFinish();
}

void CProtocolTransfer::OnProcessFinished(int exitCode, QProcess::ExitStatus status)
{
    m_killTimer.stop();
    OnErrorOutput();
    if (!m_errorLine.isEmpty())
        TakeErrorLine(QString::fromLocal8Bit(m_errorLine));
    m_errorLine.clear();
    m_nExitCode = exitCode;
    m_bCrashed = status == QProcess::CrashExit;
    m_bProcessEnded = true;
    delete m_pInputNotifier;
    m_pInputNotifier = nullptr;
    CloseFd(m_inputFd);
    m_input.clear();
    MaybeFinish();
}

void CProtocolTransfer::MaybeFinish()
{
    if (!m_bRunning || !m_bProcessEnded || !m_bOutputEnded)
        return;
    m_bRunning = false;
    if (m_outputThread.joinable())
        m_outputThread.join();
    CloseFds();
    Outcome outcome = m_failure;
    int error = m_nFailureError;
    if (m_bCancelled) {
        outcome = Outcome::Cancelled;
    } else if (outcome == Outcome::Completed && (m_bCrashed || m_nExitCode != 0)) {
        outcome = Outcome::Failed;
        error = 0;
    }
    emit finished(outcome, m_lastWords.join(QLatin1Char('\n')), error);
}
