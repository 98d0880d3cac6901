#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

class CRS232Ctrl;

// Brings back a serial port whose device went away (a USB adapter pulled out): tries every
// kReopenRetryMs to open the same device path with the same settings until it opens or Stop.
// A device that comes back under a stable name (a /dev/serial/by-id link) is found again even
// when the system numbers it anew.
class CSerialReconnect : public QObject
{
    Q_OBJECT

public:
    explicit CSerialReconnect(QObject* parent = nullptr);
    ~CSerialReconnect() override;

    // Starts waiting for the device of `port`, which must have been opened before and stay
    // alive until reopened or Stop. The first try is at once.
    void Start(CRS232Ctrl* port);
    void Stop();

signals:
    // The port is open again, with its reader running as before, after awayMs milliseconds;
    // a line watch the owner had must be asked for again.
    void reopened(qint64 awayMs);

private:
    void Try();

    CRS232Ctrl* m_pPort = nullptr;
    QTimer m_timer;
    QElapsedTimer m_away;
};
