#pragma once

#include <QList>
#include <QString>

// A serial device the system has, with words that tell the user which one it is.
struct SerialDeviceInfo
{
    QString strPath;        // /dev/ttyUSB0
    QString strDescription; // "FTDI FT232R USB UART", or the driver's name
};

// What the system's port list does not say about a tty, read from its folder in the kernel's
// tty class: whether it is a legacy UART slot with no chip behind it, and its driver's name.
struct SysfsTtyInfo
{
    bool bEmptyUartSlot = false;
    QString strDriver;
};
SysfsTtyInfo ReadSysfsTty(const QString& ttyDir);

// The stable name of a serial device: the link in byIdDir (udev's /dev/serial/by-id) that leads
// to it, which stays when the system numbers the device anew after it was pulled and put back;
// the device path itself when it has none.
QString StableSerialPath(const QString& device,
                         const QString& byIdDir = QStringLiteral("/dev/serial/by-id"));

// The serial devices of the system (Qt's port list) by their stable names, sorted by path, with
// the adapter's maker and product as description, else the driver's name, and the kernel's name
// when the stable one differs. Empty legacy UART slots are left out.
QList<SerialDeviceInfo>
ListSerialDevices(const QString& sysRoot = QStringLiteral("/sys/class/tty"),
                  const QString& byIdDir = QStringLiteral("/dev/serial/by-id"));
