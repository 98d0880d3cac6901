#include "SerialDeviceList.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>

namespace {

// Hardware of a USB adapter sits a few levels above the tty's device folder.
constexpr int kUsbSearchLevels = 5;

QString ReadLine(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(file.readLine()).trimmed();
}

QString UsbDescription(const QString& devicePath)
{
    QDir dir(QFileInfo(devicePath).canonicalFilePath());
    for (int level = 0; level < kUsbSearchLevels && !dir.isRoot(); ++level) {
        const QString product = ReadLine(dir.filePath(QStringLiteral("product")));
        if (!product.isEmpty()) {
            const QString maker = ReadLine(dir.filePath(QStringLiteral("manufacturer")));
            return maker.isEmpty() ? product : maker + u' ' + product;
        }
        if (!dir.cdUp())
            break;
    }
    return QString();
}

// A legacy 8250 slot reports UART type 0 when no chip answers at its address.
bool IsEmptyUartSlot(const QString& ttyDir)
{
    const QString type = ReadLine(ttyDir + QStringLiteral("/type"));
    return !type.isEmpty() && type.toInt() == 0;
}

} // namespace

QList<SerialDeviceInfo> ListSerialDevices(const QString& sysRoot, const QString& devRoot)
{
    QList<SerialDeviceInfo> devices;
    const QDir root(sysRoot);
    const QStringList names = root.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::System);
    for (const QString& name : names) {
        const QString ttyDir = root.filePath(name);
        const QString device = ttyDir + QStringLiteral("/device");
        // Virtual terminals and pseudo-terminals have no device behind them.
        if (!QFileInfo::exists(device) || IsEmptyUartSlot(ttyDir))
            continue;
        QString description = UsbDescription(device);
        if (description.isEmpty())
            description =
                QFileInfo(QFileInfo(device + QStringLiteral("/driver")).canonicalFilePath())
                    .fileName();
        devices.append({devRoot + u'/' + name, description});
    }
    std::sort(
        devices.begin(), devices.end(),
        [](const SerialDeviceInfo& a, const SerialDeviceInfo& b) { return a.strPath < b.strPath; });
    return devices;
}
