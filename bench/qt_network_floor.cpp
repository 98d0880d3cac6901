// Loads Qt Core and Network, makes an application object and a socket, and ends: what any
// program linked to them pays at start-up, the floor under tslrun's.
#include <QCoreApplication>
#include <QTcpSocket>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTcpSocket socket;
    return socket.state() == QAbstractSocket::UnconnectedState ? 0 : 1;
}
