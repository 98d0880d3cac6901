#pragma once

#include <QTcpServer>

// The built-in device for trying scripts without hardware: a TCP server on 127.0.0.1 that sends
// back every byte it receives.
class CEchoServer : public QTcpServer
{
    Q_OBJECT

public:
    explicit CEchoServer(QObject* parent = nullptr);
    // Listens on an ephemeral port of the loopback address; false when that fails.
    bool Start();

private:
    void OnNewConnection();
};
