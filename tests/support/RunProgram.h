#pragma once

#include <QProcess>
#include <gtest/gtest.h>

#include <chrono>
#include <string>

struct ProgramRun
{
    int status = -1; // -1: crashed or killed
    std::string out;
    std::string err;
    std::chrono::steady_clock::duration took{};
};

// Runs one of the project's programs to its end; one that hangs is killed and fails the test.
inline ProgramRun RunProgram(const QString& program, const QStringList& arguments,
                             int timeoutMs = 60000)
{
    QProcess process;
    const auto start = std::chrono::steady_clock::now();
    process.start(program, arguments);
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished();
        ADD_FAILURE() << program.toStdString()
                      << " did not end: " << arguments.join(' ').toStdString();
    }
    ProgramRun run;
    run.took = std::chrono::steady_clock::now() - start;
    run.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = process.readAllStandardOutput().toStdString();
    run.err = process.readAllStandardError().toStdString();
    return run;
}
