#include "SerialPortName.h"

#include <QRegularExpression>
#include <QSettings>

namespace {
constexpr int kMaxComNumber = 255;
}

QString SerialDevicePath(const QString& portName)
{
    const QString name = portName.trimmed();
    if (name.isEmpty() || name.startsWith(u'/'))
        return name;

    static const QRegularExpression comPattern(QStringLiteral("^COM([1-9][0-9]{0,2})$"),
                                               QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = comPattern.match(name);
    const int number = match.hasMatch() ? match.captured(1).toInt() : 0;
    if (number < 1 || number > kMaxComNumber)
        return name.contains(u'/') ? name : QStringLiteral("/dev/") + name;

    const QString comName = QStringLiteral("COM%1").arg(number);
    const QByteArray fromEnvironment = qgetenv(qPrintable(QStringLiteral("TARVEN_") + comName));
    if (!fromEnvironment.isEmpty())
        return QString::fromLocal8Bit(fromEnvironment);

    const QSettings settings(QStringLiteral("Halvorn"), QStringLiteral("TARVEN"));
    const QString mapped =
        settings.value(QStringLiteral("PortMap/") + comName).toString().trimmed();
    if (!mapped.isEmpty())
        return mapped;
    return QStringLiteral("/dev/ttyS%1").arg(number - 1);
}

QString SerialPortLabel(const QString& portName)
{
    const QString device = SerialDevicePath(portName);
    return device == portName ? device : portName + QStringLiteral(" → ") + device;
}
