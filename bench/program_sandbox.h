#pragma once

// Shared by the benchmarks and picture takers that run the whole program: settings, runtime
// folder and fonts of their own, set up as the program does before its first window.

#include "CTARVENApp.h"

#include <QSettings>
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

    // Starts the program as the command line does, without its splash window.
    static bool Start(CTARVENApp& tarven)
    {
        return tarven.InitInstance({QStringLiteral("tarven"), QStringLiteral("--nosplash")});
    }

private:
    QTemporaryDir m_dir;
};
