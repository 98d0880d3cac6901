#pragma once

#include "TempDir.h"

#include <QDir>
#include <QSettings>

// Points the user's settings, home and runtime folder at a folder of the test's own, and the
// environment back when it goes.
class SettingsSandbox : public TempDir
{
public:
    SettingsSandbox() : m_oldHome(qgetenv("HOME")), m_oldRuntime(qgetenv("XDG_RUNTIME_DIR"))
    {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, Path("config"));
        QDir().mkpath(Path("home"));
        QDir().mkpath(Path("run"));
        QFile::setPermissions(Path("run"), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                               QFileDevice::ExeOwner);
        qputenv("HOME", Path("home").toLocal8Bit());
        qputenv("XDG_RUNTIME_DIR", Path("run").toLocal8Bit());
    }
    ~SettingsSandbox()
    {
        qputenv("HOME", m_oldHome);
        qputenv("XDG_RUNTIME_DIR", m_oldRuntime);
    }
    SettingsSandbox(const SettingsSandbox&) = delete;
    SettingsSandbox& operator=(const SettingsSandbox&) = delete;

private:
    QByteArray m_oldHome;
    QByteArray m_oldRuntime;
};
