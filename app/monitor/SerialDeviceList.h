#pragma once

#include <QList>
#include <QString>

// A serial device the system has, with words that tell the user which one it is.
struct SerialDeviceInfo
{
    QString strPath;        // /dev/ttyUSB0
    QString strDescription; // "FTDI FT232R USB UART", or the driver's name
};

// Serial devices under sysRoot (the kernel's tty class), named as under devRoot, sorted by path.
// Legacy UART slots without hardware behind them are left out.
QList<SerialDeviceInfo> ListSerialDevices(const QString& sysRoot = QStringLiteral("/sys/class/tty"),
                                          const QString& devRoot = QStringLiteral("/dev"));
