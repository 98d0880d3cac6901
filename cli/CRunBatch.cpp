#include "CRunBatch.h"

#include "JUnitReport.h"
#include "RunSignals.h"
#include "ScriptCopy.h"
#include "TerminalText.h"

#include <unistd.h>

namespace {

// Printed text waiting for standard output; beyond it PRINT lines wait in the script's queue.
constexpr std::size_t kOutputCapacityBytes = 1 << 20;
// A call ended by a signal or a time limit leaves what standard output has not taken by then.
constexpr int kOutputGraceMs = 50;

} // namespace

CRunBatch::CRunBatch(const TslRunOptions& options, CRunSession::Clock::time_point started,
                     CReportFile* report)
    : m_options(options), m_started(started), m_startedAt(QDateTime::currentDateTime()),
      m_pReport(report), m_output(STDOUT_FILENO, kOutputCapacityBytes)
{
    // Traced lines wait for standard error as printed lines wait for standard output.
    if (options.bTrace)
        m_pTrace = std::make_unique<COutputWriter>(STDERR_FILENO, kOutputCapacityBytes);
    for (const std::string& script : options.scripts) {
        TslRunCase& record = m_cases.emplace_back();
        record.strScript = script;
        record.strMessage = "not run: the call ended before its turn";
    }
}

int CRunBatch::Exec()
{
    RunSignals::HandOver(this, [this](int nStatus) {
        if (m_pSession)
            m_pSession->Interrupt(nStatus);
    });
    // Before anything runs, so that a report that cannot be written is told at once and a
    // report of an earlier call is not taken for this one's.
    if (!WriteReport(true))
        return TslRunExit::kUnreadable;
    if (!m_options.strCapture.empty()) {
        std::string error;
        m_pCapture = std::make_unique<CSessionRecorder>();
        if (!m_pCapture->Open(m_options.strCapture, error)) {
            WriteDiagnostic("tslrun: cannot record the session in \"" + m_options.strCapture +
                            "\": " + error);
            return TslRunExit::kUnreadable;
        }
    }
    for (std::size_t i = 0; i < m_cases.size(); ++i) {
        if (const int signal = RunSignals::Taken())
            EndCall(signal);
        RunScript(i, i == 0 ? m_started : CRunSession::Clock::now());
    }
    if (const int signal = RunSignals::Taken())
        EndCall(signal);
    RunSignals::TakeBack();
    std::string error;
    if (m_pCapture && !m_pCapture->Close(error))
        WriteDiagnostic("tslrun: the capture \"" + m_options.strCapture +
                        "\" is not whole: " + error);
    const int status = Status();
    return WriteReport() || status != 0 ? status : TslRunExit::kUnreadable;
}

void CRunBatch::RunScript(std::size_t nIndex, CRunSession::Clock::time_point started)
{
    TslRunCase& record = m_cases[nIndex];
    if (m_cases.size() > 1)
        WriteDiagnostic("tslrun: " + std::to_string(nIndex + 1) + "/" +
                        std::to_string(m_cases.size()) + " " + record.strScript);
    CScriptCopy script;
    std::string error;
    if (!script.Load(record.strScript, error)) {
        const std::string message = "cannot read script \"" + record.strScript + "\": " + error;
        WriteDiagnostic("tslrun: " + message);
        record.end = RunEnd::Unreadable;
        record.nStatus = TslRunExit::kUnreadable;
        record.strMessage = message;
        record.seconds = SecondsSince(started);
        return;
    }
    bool bounded = false;
    {
        CRunSession session(m_options, script.Path(), started, m_output, record, m_pTrace.get(),
                            m_pCapture.get());
        m_pSession = &session;
        record.nStatus = session.Exec();
        m_pSession = nullptr;
        record.seconds = SecondsSince(started);
        bounded = session.EndedBounded();
        const bool last = nIndex + 1 == m_cases.size();
        if (record.end == RunEnd::Signal || record.end == RunEnd::OutputClosed)
            EndCall(record.nStatus);
        // The last run ends the program as it stands, with no putting away.
        if (bounded && last)
            EndCall(Status());
    }
    // The run ended in time and was put away: the next one has the whole budget again.
    if (bounded)
        RunSignals::Disarm();
}

void CRunBatch::EndCall(int nStatus)
{
    if (!WriteReport() && nStatus == 0)
        nStatus = TslRunExit::kUnreadable;
    RunSignals::SetStatus(nStatus);
    m_output.FlushFor(kOutputGraceMs);
    if (m_pTrace)
        m_pTrace->FlushFor(kOutputGraceMs);
    RunSignals::EndNow(nStatus);
}

bool CRunBatch::WriteReport(bool bEarly)
{
    if (!m_pReport || (bEarly && m_pReport->IsStream()))
        return true;
    const QByteArray document =
        JUnitDocument({m_startedAt, SecondsSince(m_started), bEarly}, m_cases);
    if (m_pReport->IsStandardOutput()) {
        // After what the scripts printed; a closed standard output loses it with them.
        m_output.Write(std::string_view(document.constData(), std::size_t(document.size())));
        return true;
    }
    std::string error;
    if (m_pReport->Write(std::string_view(document.constData(), std::size_t(document.size())),
                         error))
        return true;
    WriteDiagnostic("tslrun: cannot write the report \"" + m_options.strJunit + "\": " + error);
    return false;
}

int CRunBatch::Status() const
{
    for (const TslRunCase& record : m_cases) {
        if (record.nStatus != 0)
            return record.nStatus;
    }
    return 0;
}

double CRunBatch::SecondsSince(CRunSession::Clock::time_point start) const
{
    return std::chrono::duration<double>(CRunSession::Clock::now() - start).count();
}
