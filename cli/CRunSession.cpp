#include "CRunSession.h"

#include "CTSL.h"
#include "CTSLSyntax.h"
#include "HostMessages.h"
#include "MessageLanguage.h"
#include "NumberText.h"
#include "RunSignals.h"
#include "SyncNotify.h"
#include "SyntaxMessages.h"
#include "TerminalText.h"
#include "TextField.h"

#include <QCoreApplication>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace {

constexpr int kTickMs = 1;
constexpr auto kConnectTimeout = std::chrono::seconds(3);
// After the link is lost, the script gets this long to see the bytes that came before.
constexpr auto kLinkLossGrace = std::chrono::seconds(1);
constexpr std::size_t kLinesPerBatch = 256;
constexpr int kMaxSyncStatus = 255;
constexpr unsigned kHostControlId = 1;
constexpr const char* kLoopback = "127.0.0.1";

std::string Format(const char* format, const char* text)
{
    char buffer[512];
    std::snprintf(buffer, sizeof buffer, format, text);
    return buffer;
}

CRunSession::Clock::time_point After(CRunSession::Clock::time_point start, double seconds)
{
    return start + std::chrono::duration_cast<CRunSession::Clock::duration>(
                       std::chrono::duration<double>(seconds));
}

} // namespace

CRunSession::CRunSession(const TslRunOptions& options, const std::string& strScriptPath,
                         Clock::time_point started, COutputWriter& output, TslRunCase& record,
                         COutputWriter* trace, CTrafficTap* capture)
    : m_options(options), m_started(started), m_pTraceOutput(trace), m_output(output),
      m_record(record), m_bTerminal(isatty(STDOUT_FILENO) != 0)
{
    m_ctrl.Create(this, QRect(), kHostControlId);
    m_ctrl.SetScriptName(strScriptPath.c_str());
    m_ctrl.SetTrafficTap(capture);
    if (trace) {
        m_pTrace = std::make_unique<CTraceHook>(*trace, options.nTraceLimit);
        m_ctrl.SetDebugHook(m_pTrace.get());
    }
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
    if (m_options.bCheckOnly) {
        Record(RunEnd::Passed, {});
        return 0;
    }
    if (!PointLink() || !CheckLink() || !Start())
        return m_nStatus;
    // The limits count from the script's start (the program's, for the first), so that they
    // bound the whole job.
    if (m_options.seconds)
        m_runDeadline = After(m_started, *m_options.seconds);
    if (m_options.timeout)
        m_syncDeadline = After(m_started, *m_options.timeout);
    m_tick.start();
    return m_bFinished ? m_nStatus : QCoreApplication::exec();
}

bool CRunSession::Verify()
{
    if (m_ctrl.VerifyScript() == 0)
        return true;
    const std::vector<std::string>& errors = m_ctrl.m_pSyntax->m_arrErrors;
    for (const std::string& message : errors) {
        const std::string line = EscapeForTerminal(message, TerminalText::Field) + "\n";
        m_output.Write(line);
        m_record.detail.Append(line);
    }
    char count[128];
    std::snprintf(count, sizeof count, tsl::MessageText(tsl::msg::kErrorCount).c_str(),
                  static_cast<int>(errors.size()));
    m_output.Write(std::string(count) + "\n");
    m_output.Flush();
    m_nStatus = TslRunExit::kScriptErrors;
    Record(RunEnd::ScriptErrors, count);
    return false;
}

bool CRunSession::PointLink()
{
    // A link chosen by name needs nothing of the script's.
    if (!m_options.strLink.empty()) {
        m_ctrl.SetLinkKind(m_options.strLink);
        return true;
    }
    COMM& comm = m_ctrl.m_comm;
    const bool udp = comm.nMedia == MEDIA_UDP;
    std::string host = m_options.strHost;
    uint16_t port = m_options.nHostPort;
    if (m_options.bEcho && udp) {
        m_pUdpEcho = std::make_unique<CUdpEcho>();
        if (!m_pUdpEcho->Start()) {
            Fail(TslRunExit::kLinkFailure,
                 std::string("tslrun: the UDP echo device cannot bind: ") + std::strerror(errno));
            return false;
        }
        host = kLoopback;
        port = m_pUdpEcho->Port();
        // The echo answers the sender: the script receives on its LOCAL_PORT or any free port,
        // on the loopback address only, as the echo device itself.
        m_ctrl.SetLocalPort(comm.nLocalPort);
        m_ctrl.SetLocalAddress(kLoopback);
    } else if (m_options.bEcho) {
        m_pEcho = std::make_unique<CEchoServer>();
        if (!m_pEcho->Start()) {
            Fail(TslRunExit::kLinkFailure,
                 "tslrun: the echo device cannot listen: " + m_pEcho->errorString().toStdString());
            return false;
        }
        host = kLoopback;
        port = m_pEcho->serverPort();
    } else if (udp && !host.empty()) {
        if (host.find(':') != std::string::npos) {
            const std::string why = "the UDP link takes IPv4 addresses and host names only, not "
                                    "the IPv6 address ";
            Fail(TslRunExit::kLinkFailure, "tslrun: " + why + host);
            return false;
        }
        // --connect changes where the script sends, not the port it receives on.
        const int own = comm.szPort[0] != '\0' ? tsl::ReadInteger(comm.szPort) : 0;
        m_ctrl.SetLocalPort(comm.nLocalPort != 0 ? comm.nLocalPort : own);
    }
    if (!host.empty()) {
        comm.nMedia = udp ? MEDIA_UDP : MEDIA_TCP;
        // The record holds short addresses only; the host goes to the link whole.
        if (host.size() < sizeof comm.szIP)
            tsl::CopyField(comm.szIP, host);
        else
            comm.szIP[0] = '\0';
        m_ctrl.SetHost(host);
        m_strPeerHost = host;
        tsl::CopyField(comm.szPort, std::to_string(port));
    } else if (!m_options.strPort.empty()) {
        comm.nMedia = MEDIA_RS232C;
        m_ctrl.SetPortName(m_options.strPort);
    }
    if (m_strPeerHost.empty())
        m_strPeerHost = comm.szIP;
    return true;
}

std::string CRunSession::Peer() const
{
    const std::string port = m_ctrl.m_comm.szPort;
    return m_strPeerHost.find(':') != std::string::npos ? "[" + m_strPeerHost + "]:" + port
                                                        : m_strPeerHost + ":" + port;
}

bool CRunSession::CheckLink()
{
    if (!m_options.strLink.empty())
        return true;
    const COMM& comm = m_ctrl.m_comm;
    switch (comm.nMedia) {
    case MEDIA_RS232C:
        if (comm.szPort[0] != '\0' || !m_options.strPort.empty())
            return true;
        Fail(TslRunExit::kLinkFailure, "tslrun: the script's RS232C link names no port (no OPEN "
                                       "PORT line): give --port DEVICE");
        return false;
    case MEDIA_TCP:
        if (!m_strPeerHost.empty() && comm.szPort[0] != '\0')
            return true;
        Fail(TslRunExit::kLinkFailure, "tslrun: the script's TCP link names no peer (no OPEN IP "
                                       "or OPEN PORT line): give --connect HOST:PORT or --echo");
        return false;
    case MEDIA_UDP:
        // Without an address the script answers whoever sends to its local port.
        if (comm.szPort[0] != '\0' || (m_strPeerHost.empty() && comm.nLocalPort != 0))
            return true;
        Fail(TslRunExit::kLinkFailure,
             !m_strPeerHost.empty()
                 ? "tslrun: the script's UDP link names an address but no port (no OPEN PORT "
                   "line): give --connect HOST:PORT or --echo"
                 : "tslrun: the script's UDP link names no port (no OPEN PORT or OPEN LOCAL_PORT "
                   "line): give --connect HOST:PORT or --echo");
        return false;
    default:
        Fail(TslRunExit::kLinkFailure, "tslrun: the script opens no link (no OPEN MEDIA line): "
                                       "give " +
                                           LinkOptions(false) +
                                           ", --port DEVICE or --connect HOST:PORT");
        return false;
    }
}

bool CRunSession::Start()
{
    m_ctrl.SetPassLimit(m_options.nPasses);
    if (m_ctrl.Run() != 0) {
        if (m_ctrl.GetFailure() == CDecodeCtrl::RunFailure::Port && !m_options.strLink.empty()) {
            Fail(TslRunExit::kLinkFailure, "tslrun: cannot open the " + m_options.strLink +
                                               " link: " + m_ctrl.GetErrorText());
        } else if (m_ctrl.GetFailure() == CDecodeCtrl::RunFailure::Port &&
                   m_ctrl.m_comm.nMedia == MEDIA_UDP) {
            // The link looks a name up for IPv4 only.
            const bool unresolved =
                !m_strPeerHost.empty() && m_ctrl.GetErrorText() == std::strerror(EHOSTUNREACH);
            Fail(TslRunExit::kLinkFailure,
                 "tslrun: cannot open the UDP link: " +
                     (unresolved ? "no IPv4 address found for " + m_strPeerHost
                                 : m_ctrl.GetErrorText()));
        } else if (m_ctrl.GetFailure() == CDecodeCtrl::RunFailure::Port) {
            const std::string port =
                m_options.strPort.empty() ? std::string(m_ctrl.m_comm.szPort) : m_options.strPort;
            Fail(TslRunExit::kLinkFailure,
                 "tslrun: " +
                     Format(tsl::MessageText(tsl::msg::kPortOpenFailed).c_str(), port.c_str()) +
                     " " + m_ctrl.GetErrorText());
        } else {
            Fail(TslRunExit::kLinkFailure, "tslrun: " + m_ctrl.GetErrorText());
        }
        return false;
    }
    if (m_ctrl.IsConnecting()) {
        m_bWaitingForConnect = true;
        m_connectDeadline = Clock::now() + kConnectTimeout;
    }
    return true;
}

void CRunSession::Fail(int nStatus, const std::string& strMessage)
{
    Tell(strMessage);
    m_nStatus = nStatus;
    Record(RunEnd::LinkFailure, strMessage);
}

void CRunSession::Tell(const std::string& strMessage)
{
    WriteDiagnostic(strMessage);
    m_record.errors.Append(strMessage + "\n");
}

void CRunSession::Record(RunEnd end, const std::string& strWhy)
{
    // The first reason stands, as the first status does.
    if (m_record.end != RunEnd::NotRun)
        return;
    m_record.end = end;
    m_record.strMessage = strWhy;
}

void CRunSession::OnTick()
{
    if (m_bFinished)
        return;
    PassPrinted(false);
    ReportNotices();
    if (m_bWaitingForConnect)
        CheckConnection();
    else
        CheckLinkLoss();
    if (m_bFinished)
        return;
    const Clock::time_point now = Clock::now();
    if (m_output.IsBroken()) {
        // The reader went away, as with "| head".
        Finish(TslRunExit::kOutputClosed, true, RunEnd::OutputClosed,
               "standard output was closed by its reader");
    } else if (m_ctrl.IsFinished()) {
        Finish(0, false);
    } else if (m_syncDeadline && now >= *m_syncDeadline) {
        char why[128];
        std::snprintf(why, sizeof why, "no SYNC within the --timeout of %g s", *m_options.timeout);
        Tell(std::string("tslrun: ") + why);
        Finish(TslRunExit::kTimeout, true, RunEnd::Timeout, why);
    } else if (m_runDeadline && now >= *m_runDeadline) {
        Finish(0, true);
    }
}

void CRunSession::CheckConnection()
{
    // A link that was lost had connected, however soon the peer closed it.
    const std::string& refused = m_ctrl.GetConnectFailure();
    if ((!m_ctrl.IsConnecting() && refused.empty()) || !m_ctrl.GetLinkLoss().empty()) {
        m_bWaitingForConnect = false;
        return;
    }
    const bool failed = !refused.empty();
    if (!failed && Clock::now() < m_connectDeadline)
        return;
    Fail(TslRunExit::kLinkFailure,
         "tslrun: cannot connect to " + Peer() + ": " +
             (failed ? refused : std::string("no answer within 3 seconds")));
    m_bWaitingForConnect = false;
    Finish(TslRunExit::kLinkFailure, false);
}

void CRunSession::CheckLinkLoss()
{
    if (!m_bLinkLost) {
        const std::string loss = m_ctrl.GetLinkLoss();
        if (loss.empty())
            return;
        m_bLinkLost = true;
        m_linkLostAt = Clock::now();
        Tell("tslrun: " + tsl::MessageText(tsl::msg::kLinkLost) + loss);
    }
    if (m_options.bKeepRunning)
        return;
    // The bytes that came before the loss still reach the script: the run ends after the pass
    // that follows the one which took the last of them.
    if (m_nPassesAfterLoss == 0 && m_ctrl.m_queue.GetSize() == 0)
        m_nPassesAfterLoss = m_ctrl.GetPassCount() + 1;
    const bool seen = m_nPassesAfterLoss != 0 && m_ctrl.GetPassCount() >= m_nPassesAfterLoss;
    if (seen || Clock::now() - m_linkLostAt >= kLinkLossGrace)
        Finish(TslRunExit::kLinkLost, false, RunEnd::LinkLost,
               tsl::MessageText(tsl::msg::kLinkLost) + m_ctrl.GetLinkLoss());
}

void CRunSession::PassPrinted(bool bAll)
{
    CTSL* tsl = m_ctrl.m_pTSL.get();
    if (!tsl)
        return;
    std::deque<std::unique_ptr<CPrintMessage>> lines;
    while (bAll || m_output.Room() > 0) {
        {
            std::lock_guard lock(tsl->m_csPrint);
            const std::size_t n = std::min(kLinesPerBatch, tsl->m_listPrint.size());
            std::move(tsl->m_listPrint.begin(), tsl->m_listPrint.begin() + n,
                      std::back_inserter(lines));
            tsl->m_listPrint.erase(tsl->m_listPrint.begin(), tsl->m_listPrint.begin() + n);
        }
        if (lines.empty())
            return;
        std::string text;
        for (const auto& message : lines) {
            const std::string line = message->m_pszText.get();
            m_record.output.Append(line + '\n');
            text += m_bTerminal ? EscapeForTerminal(line) : line;
            text += '\n';
        }
        lines.clear();
        m_output.Write(text);
    }
}

void CRunSession::KeepLeftovers()
{
    CTSL* tsl = m_ctrl.m_pTSL.get();
    if (!tsl)
        return;
    // The script has halted: the queue is bounded and nobody else takes from it now.
    std::lock_guard lock(tsl->m_csPrint);
    for (const auto& message : tsl->m_listPrint)
        m_record.output.Append(std::string(message->m_pszText.get()) + '\n');
}

void CRunSession::ReportNotices()
{
    if (CTSL* tsl = m_ctrl.m_pTSL.get()) {
        for (const std::string& notice : tsl->m_notices.Take())
            Tell("tslrun: " + notice);
    }
}

void CRunSession::Finish(int nStatus, bool bBounded, RunEnd end, const std::string& strWhy)
{
    if (m_bFinished)
        return;
    m_bFinished = true;
    m_bBounded = bBounded;
    if (m_nStatus == 0)
        m_nStatus = nStatus;
    // From here a script or an output that does not let go cannot hold the program.
    if (bBounded)
        RunSignals::ArmDeadline(m_nStatus);
    m_tick.stop();
    m_ctrl.Halt();
    // The trace reads in order with what tslrun says of the end.
    if (m_pTraceOutput && !bBounded)
        m_pTraceOutput->Flush();
    ReportNotices();
    if (const uint64_t dropped = m_ctrl.GetDroppedBytes()) {
        const std::string lost =
            std::to_string(dropped) + " received bytes were lost: the serial driver dropped them";
        Tell("tslrun: " + lost);
        if (m_options.bStrict && m_nStatus == 0) {
            m_nStatus = TslRunExit::kStrictDrops;
            Record(RunEnd::DroppedBytes, lost);
        }
    }
    Record(end, strWhy);
    RunSignals::SetStatus(m_nStatus);
    PassPrinted(!bBounded);
    if (bBounded) {
        // Whatever standard output has not taken by now is the caller's to wait for or to leave.
        KeepLeftovers();
    } else {
        m_output.Flush();
        m_ctrl.Stop();
    }
    QCoreApplication::exit(m_nStatus);
}

void CRunSession::Interrupt(int nStatus)
{
    Finish(nStatus, true, RunEnd::Signal,
           nStatus == TslRunExit::kSigint ? "stopped by SIGINT" : "stopped by SIGTERM");
}

void CRunSession::customEvent(QEvent* event)
{
    const auto* notice = dynamic_cast<const CSyncNotifyEvent*>(event);
    if (!notice || !m_options.bSyncExit)
        return;
    // A script runs after a failed connect as well: its SYNC then tells nothing of a device.
    if (m_bWaitingForConnect && !m_bFinished)
        CheckConnection();
    if (m_bFinished)
        return;
    const int value = notice->Notify()->value;
    // Named as the script wrote it: a number past the 32-bit range is not the one it was held to.
    const std::string written = "SYNC " + notice->Notify()->text;
    notice->Notify()->Release();
    const int status = value < 0 ? 0 : std::min(value, kMaxSyncStatus);
    Finish(status, false, status == 0 ? RunEnd::Passed : RunEnd::Sync, written);
}
