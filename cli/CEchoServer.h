#pragma once

#include <QTcpServer>

class QTcpSocket;

// The built-in device for trying scripts without hardware: a TCP server on 127.0.0.1 that sends
// back every byte it receives. Like a real device it holds the sender back while its answers are
// not taken: a peer that sends and never reads fills the system's buffers, not this program.
class CEchoServer : public QTcpServer
{
    Q_OBJECT

public:
    // Answers waiting for the peer, and received bytes waiting to be answered, each at most this.
    static constexpr qint64 kMaxHeldBytes = 1 << 20;

    explicit CEchoServer(QObject* parent = nullptr);
    // Listens on an ephemeral port of the loopback address; false when that fails.
    bool Start();

private:
    void OnNewConnection();
    // Answers what was received, as far as the peer has taken the answers before.
    static void Answer(QTcpSocket* peer);
};
