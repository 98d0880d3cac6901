#include "CServerSock.h"

#include "TransportConstants.h"

#include <QTcpServer>
#include <QTimer>

#include <arpa/inet.h>
#include <cerrno>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

// The listening socket: hands every descriptor the system accepts straight to its server.
class CServerListener : public QTcpServer
{
public:
    explicit CServerListener(CServerSock* server) : m_pServer(server) {}

protected:
    void incomingConnection(qintptr descriptor) override { m_pServer->OnAccept(descriptor); }

private:
    CServerSock* m_pServer = nullptr;
};

CServerSock::CServerSock(QObject* parent) : QObject(parent)
{
    for (int i = 0; i < kSlots; ++i) {
        CClientSock* slot = (m_slots[i] = std::make_unique<CClientSock>()).get();
        slot->bsSetSlotState(CClientSock::kSlotFree);
        slot->bsSetSerialNo(i);
        connect(slot, &CClientSock::receiveReady, this, [this, i] { emit receiveReady(i); });
        connect(slot, &CClientSock::closed, this, [this, i] { emit closed(i); });
    }
}

CServerSock::~CServerSock() = default;

int CServerSock::Create(quint16 port, const QHostAddress& address)
{
    Close();
    m_pListener = std::make_unique<CServerListener>(this);
    m_pListener->setListenBacklogSize(kListenBacklog);
    connect(m_pListener.get(), &QTcpServer::acceptError, this, &CServerSock::OnAcceptError);
    if (m_pListener->listen(address, port))
        return 1;
    switch (m_pListener->serverError()) {
    case QAbstractSocket::AddressInUseError:
        errno = EADDRINUSE;
        break;
    case QAbstractSocket::SocketAccessError:
        errno = EACCES;
        break;
    default:
        errno = EADDRNOTAVAIL;
    }
    m_pListener.reset();
    return 0;
}

int CServerSock::Listen(int)
{
    return m_pListener != nullptr && m_pListener->isListening() ? 1 : 0;
}

void CServerSock::Close()
{
    m_pListener.reset();
}

void CServerSock::CalcConnection()
{
    m_nConnection = 0;
    for (const auto& slot : m_slots) {
        if (slot->bsGetSlotState() != CClientSock::kSlotFree)
            ++m_nConnection;
    }
}

CClientSock* CServerSock::GetSlot(int index) const
{
    return index >= 0 && index < kSlots ? m_slots[index].get() : nullptr;
}

quint16 CServerSock::GetPort() const
{
    return m_pListener != nullptr ? m_pListener->serverPort() : 0;
}

qintptr CServerSock::GetHandle() const
{
    return m_pListener != nullptr ? m_pListener->socketDescriptor() : -1;
}

int CServerSock::FirstFreeSlot() const
{
    for (int i = 0; i < kSlots; ++i) {
        if (m_slots[i]->bsGetSlotState() == CClientSock::kSlotFree)
            return i;
    }
    return -1;
}

void CServerSock::OnAccept(qintptr descriptor)
{
    CalcConnection();
    const int index = FirstFreeSlot();
    if (index < 0) {
        Refuse(descriptor);
        return;
    }
    CClientSock* slot = m_slots[index].get();
    slot->bsSetSlotState(CClientSock::kSlotInUse);
    if (!slot->Attach(descriptor)) {
        // The connection could not be taken over: release the slot and tell nobody.
        slot->bsSetSlotState(CClientSock::kSlotFree);
        return;
    }
    ++m_nConnection;
    emit accepted(index);
}

void CServerSock::Refuse(qintptr descriptor)
{
    // Left waiting, the peer would seem connected and be ignored: it is told by the close.
    sockaddr_storage peer = {};
    socklen_t length = sizeof peer;
    QString address;
    quint16 port = 0;
    if (::getpeername(static_cast<int>(descriptor), reinterpret_cast<sockaddr*>(&peer), &length) ==
        0) {
        QHostAddress host(reinterpret_cast<const sockaddr*>(&peer));
        bool isIpv4 = false;
        const quint32 ipv4 = host.toIPv4Address(&isIpv4);
        address = isIpv4 ? QHostAddress(ipv4).toString() : host.toString();
        port = peer.ss_family == AF_INET6
                   ? ntohs(reinterpret_cast<const sockaddr_in6*>(&peer)->sin6_port)
                   : ntohs(reinterpret_cast<const sockaddr_in*>(&peer)->sin_port);
    }
    ::close(static_cast<int>(descriptor));
    emit refused(address, port);
}

void CServerSock::OnAcceptError()
{
    // The listener pauses itself after a failed accept (out of descriptors, for instance):
    // try again a little later rather than never.
    QTimer::singleShot(kAcceptRetryMs, this, [this] {
        if (m_pListener != nullptr)
            m_pListener->resumeAccepting();
    });
}
