#include "SerialDeviceList.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSerialPortInfo>

#include <algorithm>

namespace {

QString ReadLine(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(file.readLine()).trimmed();
}

// "FTDI FT232R USB UART": the maker first, unless the product already names it.
QString AdapterDescription(const QSerialPortInfo& port)
{
    const QString product = port.description().trimmed();
    const QString maker = port.manufacturer().trimmed();
    if (maker.isEmpty() || product.startsWith(maker, Qt::CaseInsensitive))
        return product;
    return product.isEmpty() ? maker : maker + u' ' + product;
}

} // namespace

SysfsTtyInfo ReadSysfsTty(const QString& ttyDir)
{
    SysfsTtyInfo info;
    // A legacy 8250 slot reports UART type 0 when no chip answers at its address.
    const QString type = ReadLine(ttyDir + QStringLiteral("/type"));
    info.bEmptyUartSlot = !type.isEmpty() && type.toInt() == 0;
    info.strDriver =
        QFileInfo(QFileInfo(ttyDir + QStringLiteral("/device/driver")).canonicalFilePath())
            .fileName();
    return info;
}

QString StableSerialPath(const QString& device, const QString& byIdDir)
{
    const QString target = QFileInfo(device).canonicalFilePath();
    if (target.isEmpty() || device.startsWith(byIdDir + u'/'))
        return device;
    const QFileInfoList links = QDir(byIdDir).entryInfoList(QDir::System | QDir::Files, QDir::Name);
    for (const QFileInfo& link : links) {
        if (link.isSymLink() && link.canonicalFilePath() == target)
            return link.absoluteFilePath();
    }
    return device;
}

QList<SerialDeviceInfo> ListSerialDevices(const QString& sysRoot, const QString& byIdDir)
{
    QList<SerialDeviceInfo> devices;
    for (const QSerialPortInfo& port : QSerialPortInfo::availablePorts()) {
        const SysfsTtyInfo tty = ReadSysfsTty(QDir(sysRoot).filePath(port.portName()));
        if (tty.bEmptyUartSlot)
            continue;
        QString description = AdapterDescription(port);
        if (description.isEmpty())
            description = tty.strDriver;
        const QString path = StableSerialPath(port.systemLocation(), byIdDir);
        if (path != port.systemLocation())
            description +=
                (description.isEmpty() ? QString() : QStringLiteral(", ")) + port.systemLocation();
        devices.append({path, description});
    }
    std::sort(
        devices.begin(), devices.end(),
        [](const SerialDeviceInfo& a, const SerialDeviceInfo& b) { return a.strPath < b.strPath; });
    return devices;
}
