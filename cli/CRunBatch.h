#pragma once

#include "COutputWriter.h"
#include "CRunSession.h"
#include "CSessionRecorder.h"
#include "ReportFile.h"
#include "RunCase.h"
#include "TslRunOptions.h"

#include <QDateTime>
#include <QObject>

#include <memory>
#include <vector>

// The scripts of one call of tslrun, run one after the other with the same options, each to
// its own end, and the report of them all. A signal or a closed standard output ends the call:
// the scripts after are not run, and the report says so.
class CRunBatch : public QObject
{
public:
    // `started`: when the program started, from which the first script's limits count;
    // `report`: where the report goes, opened, or null for none.
    CRunBatch(const TslRunOptions& options, CRunSession::Clock::time_point started,
              CReportFile* report);

    // Runs every script; returns the exit status of the call.
    int Exec();

private:
    void RunScript(std::size_t nIndex, CRunSession::Clock::time_point started);
    // The call ends here with this status, the report written first, within the stop budget.
    [[noreturn]] void EndCall(int nStatus);
    // Writes the report as it stands, when one was asked for; false when it cannot be written.
    // `bEarly`: before the first script, when a stream takes none.
    bool WriteReport(bool bEarly = false);
    // The first status other than 0, or 0.
    int Status() const;
    double SecondsSince(CRunSession::Clock::time_point start) const;

    const TslRunOptions& m_options;
    const CRunSession::Clock::time_point m_started;
    const QDateTime m_startedAt;
    CReportFile* const m_pReport;
    COutputWriter m_output;
    std::unique_ptr<COutputWriter> m_pTrace;      // standard error, with --trace
    std::unique_ptr<CSessionRecorder> m_pCapture; // the sessions of every script, with --capture
    std::vector<TslRunCase> m_cases;
    CRunSession* m_pSession = nullptr; // the run going on, for a signal
};
