#pragma once

// MODBUS_RTU_SLAVE: the path of tests/cmdlist/modbus_rtu_slave.py, defined by the test target.
#include "EventLoopWait.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QString>

#include <algorithm>

// A Modbus RTU slave of pymodbus (unit 1) at the far end of a serial line, run by a helper that
// prints the device to open; it ends when its standard input closes.
class ModbusSlave
{
public:
    ModbusSlave()
    {
        // Debian's pymodbus belongs to the system's Python, which a python3 found earlier on
        // the path (a user's own installation) may not see.
        const QString python = QFile::exists("/usr/bin/python3")
                                   ? QStringLiteral("/usr/bin/python3")
                                   : QStringLiteral("python3");
        m_process.start(python, {QStringLiteral(MODBUS_RTU_SLAVE)});
        const QDeadlineTimer deadline(kEventWaitMs);
        while (!m_process.canReadLine() && m_process.state() != QProcess::NotRunning &&
               !deadline.hasExpired())
            m_process.waitForReadyRead(int(std::max<qint64>(1, deadline.remainingTime())));
        const QString line = QString::fromUtf8(m_process.readLine()).trimmed();
        if (line.startsWith(QLatin1String("skip: ")))
            m_skip = line.mid(6);
        else if (m_process.error() == QProcess::FailedToStart)
            m_skip = python + QStringLiteral(" does not start");
        else if (line.startsWith(QLatin1Char('/')))
            m_device = line;
        else
            m_error = line + QString::fromUtf8(m_process.readAllStandardError());
    }
    ~ModbusSlave()
    {
        m_process.closeWriteChannel();
        if (!m_process.waitForFinished(kEventWaitMs)) {
            m_process.kill();
            m_process.waitForFinished();
        }
    }
    ModbusSlave(const ModbusSlave&) = delete;
    ModbusSlave& operator=(const ModbusSlave&) = delete;

    const QString& Device() const { return m_device; }
    const QString& Skip() const { return m_skip; }
    const QString& Error() const { return m_error; }

private:
    QProcess m_process;
    QString m_device;
    QString m_skip;
    QString m_error;
};

// Reads holding registers 0 and 1 of unit 1 with a master of pymodbus on device: what it
// printed ("[4660, 1]" from the slave above). The event loop runs meanwhile, so that a bridge
// or a monitor of this thread carries the exchange.
inline QString ModbusMasterReads(const QString& device)
{
    QProcess master;
    master.start(
        QFile::exists("/usr/bin/python3") ? QStringLiteral("/usr/bin/python3")
                                          : QStringLiteral("python3"),
        {QStringLiteral("-c"),
         QStringLiteral("import sys\n"
                        "from pymodbus.client import ModbusSerialClient\n"
                        "c = ModbusSerialClient(port=sys.argv[1], baudrate=9600, timeout=2)\n"
                        "c.connect()\n"
                        "r = c.read_holding_registers(0, 2, slave=1)\n"
                        "print(getattr(r, 'registers', r))\n"),
         device});
    WaitFor([&] { return master.state() == QProcess::NotRunning; }, kEventWaitMs);
    if (master.state() != QProcess::NotRunning) {
        master.kill();
        master.waitForFinished();
    }
    return QString::fromUtf8(master.readAllStandardOutput()).trimmed() +
           QString::fromUtf8(master.readAllStandardError());
}
