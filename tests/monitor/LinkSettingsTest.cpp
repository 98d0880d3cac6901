#include "LinkSettings.h"
#include "SerialDeviceList.h"

#include "TempDir.h"

#include <QDir>
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

TEST(LinkSettingsTest, DefaultsDescriptionsAndTheAddressRoundTrip)
{
    TempDir dir;
    QSettings settings(dir.Path("settings.ini"), QSettings::IniFormat);
    LinkSettings link = LinkSettings::Load(settings);
    EXPECT_EQ(link, LinkSettings());
    EXPECT_EQ(link.PortDescription(0), "COM1-9600-8-N-1");
    EXPECT_EQ(link.InterfaceText(), "RS-232C");

    link.nParityIndex = 2;
    link.nStopBitIndex = 1;
    link.nDataBitIndex = 0;
    EXPECT_EQ(link.PortDescription(0), "COM1-9600-7-E-1.5");

    link.nInterface = LinkSettings::TcpIp;
    link.dwServerIP = 0xC0A8010A; // 192.168.1.10
    link.nServerPort = 5000;
    EXPECT_EQ(link.PortDescription(0), "192.168.1.10 : 5000");
    EXPECT_EQ(link.InterfaceText(), "TCP/IP-Client");
    link.nActive = LinkSettings::Server;
    EXPECT_EQ(link.PortDescription(3), "Port:5000 (3)");
    link.nInterface = LinkSettings::UdpIp;
    EXPECT_EQ(link.InterfaceText(), "UDP/IP-Server");

    // Addresses from 128.0.0.0 on are kept as negative 32-bit numbers and read back whole.
    link.Save(settings);
    EXPECT_EQ(settings.value("TARVEN/ServerIP").toInt(), qint32(0xC0A8010A));
    EXPECT_EQ(LinkSettings::Load(settings).dwServerIP, 0xC0A8010Au);
    EXPECT_FALSE(settings.contains("TARVEN/ShowControlPanel")) << "the dialog does not own it";
}

TEST(SerialDeviceListTest, ListsDevicesWithTheirAdapterNamesAndSkipsEmptySlots)
{
    TempDir dir;
    const QDir root(dir.Root());
    // A USB adapter: the tty's device sits below the USB device that names the product.
    root.mkpath("devices/usb1/1-1/1-1:1.0/ttyUSB0");
    dir.Write("devices/usb1/1-1/product", "FT232R USB UART\n");
    dir.Write("devices/usb1/1-1/manufacturer", "FTDI\n");
    root.mkpath("class/ttyUSB0");
    QFile::link(root.filePath("devices/usb1/1-1/1-1:1.0/ttyUSB0"),
                root.filePath("class/ttyUSB0/device"));
    // A built-in UART with a chip, and an empty legacy slot.
    root.mkpath("devices/platform/serial8250/driver-serial8250");
    for (const char* name : {"ttyS0", "ttyS1"}) {
        root.mkpath(QString("class/%1").arg(name));
        QFile::link(root.filePath("devices/platform/serial8250"),
                    root.filePath(QString("class/%1/device").arg(name)));
        QFile::link(root.filePath("devices/platform/serial8250/driver-serial8250"),
                    root.filePath("devices/platform/serial8250/driver"));
        dir.Write(QString("class/%1/type").arg(name), QByteArray(name) == "ttyS0" ? "4\n" : "0\n");
    }
    // A virtual terminal has no device.
    root.mkpath("class/tty1");

    const QList<SerialDeviceInfo> devices = ListSerialDevices(dir.Path("class"), "/dev");
    ASSERT_EQ(devices.size(), 2);
    EXPECT_EQ(devices[0].strPath, "/dev/ttyS0");
    EXPECT_EQ(devices[0].strDescription, "driver-serial8250");
    EXPECT_EQ(devices[1].strPath, "/dev/ttyUSB0");
    EXPECT_EQ(devices[1].strDescription, "FTDI FT232R USB UART");
}
