#include "SerialPortName.h"

#include <gtest/gtest.h>

#include "ScopedEnv.h"
#include "SettingsSandbox.h"

TEST(SerialDevicePath, MapsComNamesThroughEnvironmentSettingsAndDefault)
{
    SettingsSandbox sandbox;
    {
        QSettings settings(QStringLiteral("Halvorn"), QStringLiteral("TARVEN"));
        settings.setValue(QStringLiteral("PortMap/COM4"), QStringLiteral("/dev/ttyUSB0"));
        settings.setValue(QStringLiteral("PortMap/COM5"), QStringLiteral("/dev/ttyACM1"));
    }
    ScopedEnv com3("TARVEN_COM3", "/dev/ttyUSB3");
    ScopedEnv com5("TARVEN_COM5", "/tmp/env-wins");

    const std::pair<const char*, const char*> cases[] = {
        {"/dev/ttyUSB7", "/dev/ttyUSB7"},
        {"COM1", "/dev/ttyS0"},
        {"com2", "/dev/ttyS1"},
        {"COM3", "/dev/ttyUSB3"},
        {"COM4", "/dev/ttyUSB0"},
        {"COM5", "/tmp/env-wins"},
        {"COM255", "/dev/ttyS254"},
        {"COM256", "/dev/COM256"},
        {"COM0", "/dev/COM0"},
        {"ttyACM0", "/dev/ttyACM0"},
        {"", ""},
    };
    for (const auto& [name, device] : cases)
        EXPECT_EQ(SerialDevicePath(QString::fromUtf8(name)).toStdString(), device) << name;
}
