// Loads Qt Core (and, built with QT_FLOOR_NETWORK, Network), makes an application object (and a
// socket), and ends: what any program linked to them pays at start-up, the floor under tslrun's.
#include <QCoreApplication>
#ifdef QT_FLOOR_NETWORK
#include <QTcpSocket>
#endif

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
#ifdef QT_FLOOR_NETWORK
    QTcpSocket socket;
    return socket.state() == QAbstractSocket::UnconnectedState ? 0 : 1;
#else
    return QCoreApplication::applicationName().isEmpty() ? 1 : 0;
#endif
}
