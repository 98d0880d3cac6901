#include "ScriptTemplate.h"

#include <QDate>
#include <QStringList>

namespace {

constexpr int kSeparatorDashes = 48;

} // namespace

QByteArray NewScriptTemplate(const QDate& date)
{
    const QString separator = QStringLiteral("//") + QString(kSeparatorDashes, u'-');
    const QStringList lines = {
        separator,
        QStringLiteral("// TARVEN Script File"),
        QStringLiteral("// %1/%2/%3")
            .arg(date.year())
            .arg(date.month(), 2, 10, QLatin1Char('0'))
            .arg(date.day(), 2, 10, QLatin1Char('0')),
        separator,
        QStringLiteral("OPEN MEDIA\t\tRS232C\t\t// RS232C, TCP, UDP ..."),
        QStringLiteral("OPEN IP\t\t\t127.0.0.1\t// xxx.xxx.xxx.xxx ..."),
        QStringLiteral("OPEN PORT\t\tCOM1\t\t// COM1, COM2, COM3, COM4, ..."),
        QStringLiteral("OPEN BAUD_RATE\t9600\t\t// 4800, 9600, 14400, ..."),
        QStringLiteral("OPEN PARITY_BIT\tNONE\t\t// NONE, ODD, EVEN"),
        QStringLiteral("OPEN DATA_BIT\t8\t\t\t// 7, 8"),
        QStringLiteral("OPEN STOP_BIT\t1\t\t\t// 1, 1.5, 2"),
        QString(),
        QStringLiteral("EQU MSG\t\t\t\"Hello !!<0D><0A>\""),
        QString(),
        separator,
        QStringLiteral("BEGIN:"),
        QString(),
        QStringLiteral("OUT\t\t\tMSG\t\t// send MSG to COM1 port"),
        QStringLiteral("PRINTEX\t\tMSG\t\t// display MSG on output window"),
        QStringLiteral("SLEEP\t\t1000\t// delay time about 1 sec."),
        QString(),
        QStringLiteral("END:"),
        separator,
    };
    return (lines.join(u'\n') + u'\n').toUtf8();
}
