// tslrun: verifies a TSL script and runs it headless, for test benches and CI.
#include "ArgumentText.h"
#include "CRunSession.h"
#include "TslRunOptions.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <csignal>
#include <cstdio>
#include <unistd.h>

namespace {

int g_signalPipe[2] = {-1, -1};

// Only writes the signal number to a pipe; the event loop reads it and stops the run cleanly.
void OnSignal(int number)
{
    const unsigned char byte = static_cast<unsigned char>(number);
    [[maybe_unused]] const ssize_t written = write(g_signalPipe[1], &byte, 1);
}

} // namespace

int main(int argc, char** argv)
{
    TslRunOptions options;
    std::string error;
    if (!ParseTslRunOptions(ArgumentList(argc, argv), options, error)) {
        std::fprintf(stderr, "tslrun: %s\n%s", error.c_str(), TslRunUsage().c_str());
        return TslRunExit::kUsage;
    }
    if (options.bHelp) {
        std::fputs(TslRunUsage().c_str(), stdout);
        return 0;
    }
    if (options.bVersion) {
        std::printf("tslrun %s\n", TARVEN_VERSION);
        return 0;
    }

    QCoreApplication app(argc, argv);
    CRunSession session(options);

    if (pipe(g_signalPipe) == 0) {
        std::signal(SIGINT, OnSignal);
        std::signal(SIGTERM, OnSignal);
    }
    QSocketNotifier signalNotifier(g_signalPipe[0], QSocketNotifier::Read);
    QObject::connect(&signalNotifier, &QSocketNotifier::activated, &session, [&session] {
        unsigned char number = 0;
        if (read(g_signalPipe[0], &number, 1) == 1)
            session.Finish(number == SIGINT ? TslRunExit::kSigint : TslRunExit::kSigterm);
    });
    return session.Exec();
}
