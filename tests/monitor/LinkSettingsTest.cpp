#include "LinkSettings.h"
#include "SerialDeviceList.h"

#include "PtyPair.h"
#include "TempDir.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

TEST(LinkSettingsTest, StoredIndicesConvertAndUnusableOnesFallBackToTheDefaults)
{
    const struct
    {
        QVariant baud, data, parity, stop;
        int rate, bits, parityOut, stopOut;
    } cases[] = {
        {6, 1, 0, 0, 9600, 8, 0, 0},         {9, 0, 2, 1, 38400, 7, 2, 1},
        {0, 1, 1, 2, 110, 8, 1, 2},          {14, 1, 0, 0, 256000, 8, 0, 0},
        {15, 1, 0, 0, 230400, 8, 0, 0},      {20, 1, 0, 0, 3000000, 8, 0, 0},
        {21, 2, 3, 3, 9600, 8, 0, 0},        {-1, -1, -1, -1, 9600, 8, 0, 0},
        {"x", "y", "z", "w", 9600, 8, 0, 0},
    };
    TempDir dir;
    for (const auto& c : cases) {
        QSettings settings(dir.Path("settings.ini"), QSettings::IniFormat);
        settings.setValue("TARVEN/BaudRate", c.baud);
        settings.setValue("TARVEN/DataBit", c.data);
        settings.setValue("TARVEN/ParityBit", c.parity);
        settings.setValue("TARVEN/StopBit", c.stop);
        const LinkSettings link = LinkSettings::Load(settings);
        EXPECT_EQ(link.BaudRate(), c.rate) << c.baud.toString().toStdString();
        EXPECT_EQ(link.DataBits(), c.bits);
        EXPECT_EQ(link.Parity(), c.parityOut);
        EXPECT_EQ(link.StopBits(), c.stopOut);
    }
}

// The descriptions of each interface also show in the panes the link tests read; these are
// the ones they do not reach.
TEST(LinkSettingsTest, DescriptionsAndTheAddressRoundTrip)
{
    TempDir dir;
    QSettings settings(dir.Path("settings.ini"), QSettings::IniFormat);
    LinkSettings link = LinkSettings::Load(settings);
    link.nParityIndex = 2;
    link.nStopBitIndex = 1;
    link.nDataBitIndex = 0;
    EXPECT_EQ(link.PortDescription(0), "COM1-9600-7-E-1.5");
    link.nInterface = LinkSettings::UdpIp;
    link.dwServerIP = 0xC0A8010A; // 192.168.1.10
    link.nServerPort = 5000;
    link.nLocalPort = 6000;
    EXPECT_EQ(link.PortDescription(0), "Port:6000 → 192.168.1.10 : 5000");

    // Addresses from 128.0.0.0 on are kept as negative 32-bit numbers and read back whole.
    link.Save(settings);
    EXPECT_EQ(settings.value("TARVEN/ServerIP").toInt(), qint32(0xC0A8010A));
    EXPECT_EQ(LinkSettings::Load(settings).dwServerIP, 0xC0A8010Au);
    EXPECT_FALSE(settings.contains("TARVEN/ShowControlPanel")) << "the dialog does not own it";
}

TEST(LinkSettingsTest, SettingsWrittenBeforeTheNewKeysReadAsBeforeAndTheNewOnesRoundTrip)
{
    TempDir dir;
    const QString path = dir.Path("settings.ini");
    // A settings file as an older version wrote it, without FlowControl, AutoReconnect and
    // LocalPort: no flow control, reconnecting on, and a UDP link on the port it names.
    dir.Write("settings.ini", "[TARVEN]\nPortName=/dev/ttyUSB3\nBaudRate=12\nDataBit=1\n"
                              "ParityBit=2\nStopBit=0\nInterface=2\nActive=1\n"
                              "ServerPort=20108\nServerIP=-1062731510\nWelcomeFlag=0\n"
                              "WelcomeMsg=hi\n");
    QSettings settings(path, QSettings::IniFormat);
    LinkSettings old;
    old.strPortName = "/dev/ttyUSB3";
    old.nBaudIndex = 12;
    old.nParityIndex = 2;
    old.nInterface = LinkSettings::UdpIp;
    old.nActive = LinkSettings::Server;
    old.nServerPort = 20108;
    old.nLocalPort = 20108;
    old.dwServerIP = 0xC0A8010A;
    old.bWelcomeFlag = false;
    old.strWelcomeMsg = "hi";
    EXPECT_EQ(LinkSettings::Load(settings), old);
    EXPECT_EQ(LinkSettings::Load(settings).FlowControl(), 0);
    EXPECT_TRUE(LinkSettings::Load(settings).bAutoReconnect);

    for (const auto& [stored, read] : {std::pair<QVariant, int>{2, 2}, {1, 1}, {3, 0}, {"x", 0}}) {
        settings.setValue("TARVEN/FlowControl", stored);
        EXPECT_EQ(LinkSettings::Load(settings).FlowControl(), read)
            << stored.toString().toStdString();
    }
    old.nFlowControl = 2;
    old.bAutoReconnect = false;
    old.nLocalPort = 70000; // kept as stored, to be reported when the link opens
    old.Save(settings);
    EXPECT_EQ(LinkSettings::Load(settings), old);
}

TEST(SerialDeviceListTest, SysfsTellsEmptyUartSlotsAndDriverNames)
{
    TempDir dir;
    const QDir root(dir.Root());
    // A USB adapter's tty, whose driver sits with its interface.
    root.mkpath("devices/usb1/1-1/1-1:1.0/ttyUSB0");
    root.mkpath("drivers/ftdi_sio");
    QFile::link(root.filePath("drivers/ftdi_sio"),
                root.filePath("devices/usb1/1-1/1-1:1.0/driver"));
    root.mkpath("class/ttyUSB0");
    QFile::link(root.filePath("devices/usb1/1-1/1-1:1.0"), root.filePath("class/ttyUSB0/device"));
    // A built-in UART with a chip, and an empty legacy slot.
    root.mkpath("devices/platform/serial8250/driver-serial8250");
    QFile::link(root.filePath("devices/platform/serial8250/driver-serial8250"),
                root.filePath("devices/platform/serial8250/driver"));
    for (const char* name : {"ttyS0", "ttyS1"}) {
        root.mkpath(QString("class/%1").arg(name));
        QFile::link(root.filePath("devices/platform/serial8250"),
                    root.filePath(QString("class/%1/device").arg(name)));
        dir.Write(QString("class/%1/type").arg(name), QByteArray(name) == "ttyS0" ? "4\n" : "0\n");
    }

    const struct
    {
        const char* tty;
        bool emptySlot;
        const char* driver;
    } cases[] = {{"ttyUSB0", false, "ftdi_sio"},
                 {"ttyS0", false, "driver-serial8250"},
                 {"ttyS1", true, "driver-serial8250"},
                 {"tty1", false, ""}}; // a virtual terminal: no device behind it
    for (const auto& c : cases) {
        const SysfsTtyInfo info = ReadSysfsTty(dir.Path(QString("class/") + c.tty));
        EXPECT_EQ(info.bEmptyUartSlot, c.emptySlot) << c.tty;
        EXPECT_EQ(info.strDriver, c.driver) << c.tty;
    }
}

TEST(SerialDeviceListTest, StableNameIsTheByIdLinkThatLeadsToTheDevice)
{
    TempDir dir;
    const PtyPair pty;
    const PtyPair other;
    const QString device = QString::fromStdString(pty.SlavePath());
    QDir(dir.Root()).mkpath("by-id");
    const QString byId = dir.Path("by-id");
    ASSERT_TRUE(QFile::link(QString::fromStdString(other.SlavePath()), byId + "/usb-Other-if00"));
    ASSERT_TRUE(QFile::link(device, byId + "/usb-FTDI_FT232R_A1-if00-port0"));
    ASSERT_TRUE(QFile::link("/dev/tarven-gone", byId + "/usb-Gone-if00"));

    EXPECT_EQ(StableSerialPath(device, byId), byId + "/usb-FTDI_FT232R_A1-if00-port0");
    EXPECT_EQ(StableSerialPath(byId + "/usb-Other-if00", byId), byId + "/usb-Other-if00");
    for (const QString& plain : {QString("/dev/tarven-gone"), QString("/dev/null")})
        EXPECT_EQ(StableSerialPath(plain, byId), plain) << plain.toStdString();
    EXPECT_EQ(StableSerialPath(device, dir.Path("none")), device);
}

TEST(SerialDeviceListTest, ListsTheSystemsDevicesByPathWithoutPseudoTerminals)
{
    const PtyPair pty;
    const QList<SerialDeviceInfo> devices = ListSerialDevices();
    for (qsizetype i = 0; i < devices.size(); ++i) {
        EXPECT_TRUE(QFileInfo::exists(devices[i].strPath)) << devices[i].strPath.toStdString();
        EXPECT_NE(devices[i].strPath.toStdString(), pty.SlavePath());
        if (i > 0) {
            EXPECT_LT(devices[i - 1].strPath, devices[i].strPath);
        }
    }
}
