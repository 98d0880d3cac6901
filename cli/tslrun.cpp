// tslrun: verifies TSL scripts and runs them headless, for test benches and CI.
#include "ArgumentText.h"
#include "CRunBatch.h"
#include "MessageLanguage.h"
#include "ReportFile.h"
#include "RunSignals.h"
#include "TerminalText.h"
#include "TslRunOptions.h"

#include <QCoreApplication>

#include <cstdio>

namespace {

int UsageError(const std::string& message)
{
    WriteDiagnostic("tslrun: " + message);
    WriteDiagnostic("Try 'tslrun --help'");
    return TslRunExit::kUsage;
}

} // namespace

int main(int argc, char** argv)
{
    const auto started = CRunSession::Clock::now();
    // Before anything else, so that every thread leaves SIGINT and SIGTERM to one taker.
    RunSignals::Start();

    TslRunOptions options;
    std::string error;
    if (!ParseTslRunOptions(ArgumentList(argc, argv), options, error))
        return UsageError(error);
    if (options.bHelp) {
        std::fputs(TslRunUsage().c_str(), stdout);
        return 0;
    }
    if (options.bVersion) {
        std::printf("tslrun %s\n", TARVEN_VERSION);
        return 0;
    }

    CReportFile report;
    if (!options.strJunit.empty()) {
        switch (report.Open(options.strJunit, options.scripts, error)) {
        case CReportFile::Verdict::Usable:
            break;
        case CReportFile::Verdict::Mistake:
            return UsageError("--junit \"" + options.strJunit + "\": " + error);
        case CReportFile::Verdict::Unwritable:
            WriteDiagnostic("tslrun: cannot write the report \"" + options.strJunit +
                            "\": " + error);
            return TslRunExit::kUnreadable;
        }
    }

    QCoreApplication app(argc, argv);
    TellQtMessagesAs("tslrun");
    if (options.language == tsl::Language::English && !tsl::InstallEnglishTranslation())
        WriteDiagnostic("tslrun: the English translation is missing; messages stay Korean");
    tsl::SetMessageLanguage(options.language);
    CRunBatch batch(options, started, options.strJunit.empty() ? nullptr : &report);
    return batch.Exec();
}
