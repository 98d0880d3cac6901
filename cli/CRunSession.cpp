#include "CRunSession.h"

#include "CClientSock.h"
#include "CTSL.h"
#include "CTSLSyntax.h"
#include "HostMessages.h"
#include "SyncNotify.h"
#include "SyntaxMessages.h"
#include "TerminalText.h"
#include "TextField.h"

#include <QCoreApplication>

#include <cstdio>
#include <unistd.h>

namespace {

constexpr int kTickMs = 1;
constexpr auto kConnectTimeout = std::chrono::seconds(3);
constexpr int kExitScriptErrors = TslRunExit::kScriptErrors;
constexpr int kExitLinkFailure = TslRunExit::kLinkFailure;
constexpr int kMaxSyncStatus = 255;
constexpr unsigned kHostControlId = 1;

void WriteLine(const std::string& line)
{
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

std::string Format(const char* format, const char* text)
{
    char buffer[512];
    std::snprintf(buffer, sizeof buffer, format, text);
    return buffer;
}

} // namespace

CRunSession::CRunSession(const TslRunOptions& options)
    : m_options(options), m_bTerminal(isatty(STDOUT_FILENO) != 0)
{
    m_ctrl.Create(this, QRect(), kHostControlId);
    m_ctrl.SetScriptName(m_options.strScript.c_str());
    m_tick.setInterval(kTickMs);
    connect(&m_tick, &QTimer::timeout, this, &CRunSession::OnTick);
}

CRunSession::~CRunSession()
{
    m_ctrl.Stop();
}

int CRunSession::Exec()
{
    if (!Verify())
        return m_nStatus;
    if (m_options.bCheckOnly)
        return 0;
    if (!PointLink() || !Start())
        return m_nStatus;
    if (m_options.seconds)
        QTimer::singleShot(static_cast<int>(*m_options.seconds * 1000), this,
                           [this] { Finish(0); });
    m_tick.start();
    return m_bFinished ? m_nStatus : QCoreApplication::exec();
}

bool CRunSession::Verify()
{
    if (m_ctrl.VerifyScript() == 0)
        return true;
    const std::vector<std::string>& errors = m_ctrl.m_pSyntax->m_arrErrors;
    for (const std::string& message : errors)
        WriteLine(message);
    char count[128];
    std::snprintf(count, sizeof count, tsl::msg::kErrorCount, static_cast<int>(errors.size()));
    WriteLine(count);
    m_nStatus = kExitScriptErrors;
    return false;
}

bool CRunSession::PointLink()
{
    COMM& comm = m_ctrl.m_comm;
    std::string host = m_options.strHost;
    uint16_t port = m_options.nHostPort;
    if (m_options.bEcho) {
        if (!m_echo.Start()) {
            Fail(kExitLinkFailure,
                 "tslrun: the echo device cannot listen: " + m_echo.errorString().toStdString());
            return false;
        }
        host = "127.0.0.1";
        port = m_echo.serverPort();
    }
    if (!host.empty()) {
        if (host.size() >= sizeof comm.szIP) {
            Fail(kExitLinkFailure, "tslrun: host name too long for a script link (at most 19 "
                                   "characters): " +
                                       host);
            return false;
        }
        comm.nMedia = MEDIA_TCP;
        tsl::CopyField(comm.szIP, host);
        tsl::CopyField(comm.szPort, std::to_string(port));
    } else if (!m_options.strPort.empty()) {
        comm.nMedia = MEDIA_RS232C;
        m_ctrl.SetPortName(m_options.strPort);
    }
    return true;
}

bool CRunSession::Start()
{
    m_ctrl.SetPassLimit(m_options.nPasses);
    if (m_ctrl.Run() != 0) {
        if (m_ctrl.GetFailure() == CDecodeCtrl::RunFailure::Port) {
            const std::string port =
                m_options.strPort.empty() ? std::string(m_ctrl.m_comm.szPort) : m_options.strPort;
            Fail(kExitLinkFailure,
                 Format(tsl::msg::kPortOpenFailed, port.c_str()) + " " + m_ctrl.GetErrorText());
        } else {
            Fail(kExitLinkFailure, "tslrun: " + m_ctrl.GetErrorText());
        }
        return false;
    }
    if (m_ctrl.m_comm.nMedia == MEDIA_TCP) {
        m_bWaitingForConnect = true;
        m_connectDeadline = std::chrono::steady_clock::now() + kConnectTimeout;
    }
    return true;
}

void CRunSession::Fail(int nStatus, const std::string& strMessage)
{
    std::fprintf(stderr, "%s\n", strMessage.c_str());
    m_nStatus = nStatus;
}

void CRunSession::OnTick()
{
    if (m_bFinished)
        return;
    DrainPrinted();
    if (m_bWaitingForConnect)
        CheckConnection();
    if (!m_bFinished && m_ctrl.IsFinished())
        Finish(0);
}

void CRunSession::CheckConnection()
{
    const CClientSock* socket = m_ctrl.m_pSocket.get();
    if (socket && socket->GetState() == QAbstractSocket::ConnectedState) {
        m_bWaitingForConnect = false;
        return;
    }
    const bool failed = !socket || socket->GetState() == QAbstractSocket::UnconnectedState;
    if (!failed && std::chrono::steady_clock::now() < m_connectDeadline)
        return;
    const std::string reason =
        socket ? socket->GetErrorString().toStdString() : std::string("connection closed");
    const std::string peer =
        std::string(m_ctrl.m_comm.szIP) + ":" + std::string(m_ctrl.m_comm.szPort);
    Fail(kExitLinkFailure, "tslrun: cannot connect to " + peer + ": " +
                               (failed ? reason : std::string("no answer within 3 seconds")));
    m_bWaitingForConnect = false;
    Finish(kExitLinkFailure);
}

void CRunSession::DrainPrinted()
{
    CTSL* tsl = m_ctrl.m_pTSL.get();
    if (!tsl)
        return;
    std::deque<std::unique_ptr<CPrintMessage>> lines;
    {
        std::lock_guard lock(tsl->m_csPrint);
        lines.swap(tsl->m_listPrint);
    }
    for (const auto& message : lines) {
        const std::string text = message->m_pszText.get();
        WriteLine(m_bTerminal ? EscapeForTerminal(text) : text);
    }
}

void CRunSession::Finish(int nStatus)
{
    if (m_bFinished)
        return;
    m_bFinished = true;
    if (m_nStatus == 0)
        m_nStatus = nStatus;
    m_tick.stop();
    m_ctrl.Halt();
    DrainPrinted();
    m_ctrl.Stop();
    QCoreApplication::exit(m_nStatus);
}

void CRunSession::customEvent(QEvent* event)
{
    const auto* notice = dynamic_cast<const CSyncNotifyEvent*>(event);
    if (!notice || !m_options.bSyncExit || m_bFinished)
        return;
    const int value = notice->Notify()->value;
    notice->Notify()->Release();
    Finish(value < 0 ? 0 : std::min(value, kMaxSyncStatus));
}
