#pragma once

#include "CUdpCtrl.h"

#include <QSocketNotifier>

#include <memory>

// The built-in device for trying UDP scripts without hardware: a UDP link on 127.0.0.1 that
// sends every datagram back to whoever sent it. While the system has no room for an answer it
// receives nothing more: what arrives meanwhile waits in the system, which drops past its bound.
class CUdpEcho : public QObject
{
    Q_OBJECT

public:
    explicit CUdpEcho(QObject* parent = nullptr);
    // Binds an ephemeral port of the loopback address; false with errno set when that fails.
    bool Start();
    quint16 Port() const { return m_link.GetLocalPort(); }

private:
    void OnReceive();
    // Stops receiving until the system has room for an answer again.
    void HoldUntilWritable();
    void OnWritable();

    CUdpCtrl m_link;
    std::unique_ptr<QSocketNotifier> m_pWritable;
};
