#pragma once

// Shared by the benchmarks and picture takers that run the whole program: settings, runtime
// folder and fonts of their own, set up as the program does before its first window.

#include "CTARVENApp.h"
#include "ShellConstants.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFont>
#include <QSettings>
#include <QTcpServer>
#include <QTemporaryDir>

// Made before the QApplication; everything it points at goes with it.
class ProgramSandbox
{
public:
    ProgramSandbox()
    {
        qputenv("XDG_RUNTIME_DIR", m_dir.path().toLocal8Bit());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                           m_dir.filePath(QStringLiteral("config")));
        CTARVENApp::InstallFontSubstitutions();
    }
    ProgramSandbox(const ProgramSandbox&) = delete;
    ProgramSandbox& operator=(const ProgramSandbox&) = delete;

    QString Path(const QString& name) const { return m_dir.filePath(name); }

    // Starts the program as the command line does, without its splash window, in its font.
    static bool Start(CTARVENApp& tarven)
    {
        QApplication::setFont(QFont(QStringLiteral("굴림"), 9));
        return tarven.InitInstance({QStringLiteral("tarven"), QStringLiteral("--nosplash")});
    }

    // Where a picture taker writes: the folder its first argument names, else this one.
    static QString OutputFolder(int argc, char** argv)
    {
        return argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath();
    }

    // Makes new monitor windows TCP servers on the first port from the default on that is free
    // (the settings dialog takes ports up to 10000); that port.
    static quint16 ServeOnFreePort()
    {
        quint16 port = 4096;
        for (QTcpServer probe; !probe.listen(QHostAddress::Any, port); ++port) {
        }
        QSettings settings(kCompanyName, kApplicationName);
        settings.setValue("TARVEN/Interface", 1);
        settings.setValue("TARVEN/Active", 1);
        settings.setValue("TARVEN/ServerPort", port);
        return port;
    }

    // Runs events for ms milliseconds, so that windows lay out and paint.
    static void Pump(int ms)
    {
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < ms)
            QApplication::processEvents(QEventLoop::AllEvents, 20);
    }

private:
    QTemporaryDir m_dir;
};
