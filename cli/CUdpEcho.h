#pragma once

#include "CUdpCtrl.h"

// The built-in device for trying UDP scripts without hardware: a UDP link on 127.0.0.1 that
// sends every datagram back to whoever sent it.
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

    CUdpCtrl m_link;
};
