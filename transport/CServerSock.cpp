#include "CServerSock.h"

#include "TransportConstants.h"
#include "TransportEvent.h"

#include <QCoreApplication>
#include <QTcpServer>
#include <QTimer>

#include <cerrno>
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
        m_slots[i] = std::make_unique<CClientSock>();
        m_slots[i]->bsSetSlotState(-1);
        m_slots[i]->bsSetSerialNo(i);
        connect(m_slots[i].get(), &CClientSock::SlotFreed, this, &CServerSock::OnSlotFreed);
    }
}

CServerSock::~CServerSock() = default;

int CServerSock::Create(quint16 port, const QHostAddress& address)
{
    Close();
    m_pListener = std::make_unique<CServerListener>(this);
    m_pListener->setListenBacklogSize(kListenBacklog);
    connect(m_pListener.get(), &QTcpServer::acceptError, this, &CServerSock::OnAcceptError);
    if (m_pListener->listen(address, port)) {
        UpdateAccepting();
        return 1;
    }
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
        if (slot->bsGetSlotState() != -1)
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
        if (m_slots[i]->bsGetSlotState() == -1)
            return i;
    }
    return -1;
}

void CServerSock::OnAccept(qintptr descriptor)
{
    CalcConnection();
    const int index = FirstFreeSlot();
    if (index < 0) {
        // Not reached while accepting pauses with a full table; never leak the descriptor.
        ::close(static_cast<int>(descriptor));
        UpdateAccepting();
        return;
    }
    CClientSock* slot = m_slots[index].get();
    slot->bsSetSlotState(0);
    slot->SetWnd(m_pOwner);
    if (!slot->Attach(descriptor)) {
        // The connection could not be taken over: release the slot and tell nobody.
        slot->bsSetSlotState(-1);
        return;
    }
    ++m_nConnection;
    UpdateAccepting();
    if (!m_pOwner.isNull()) {
        CTransportEvent event(WM_SOCKET_ACCEPT, static_cast<quintptr>(slot->GetHandle()),
                              index & 0xFFFF);
        QCoreApplication::sendEvent(m_pOwner, &event);
    }
}

void CServerSock::UpdateAccepting()
{
    if (m_pListener == nullptr)
        return;
    if (FirstFreeSlot() < 0) {
        // With no pending room the listener stops at once, before it takes one more connection
        // from the system; pausing alone would let it accept what is already queued.
        m_pListener->setMaxPendingConnections(0);
        m_pListener->pauseAccepting();
    } else if (m_pListener->maxPendingConnections() == 0) {
        m_pListener->setMaxPendingConnections(kServerPendingConnections);
        m_pListener->resumeAccepting();
    }
}

void CServerSock::OnSlotFreed()
{
    UpdateAccepting();
}

void CServerSock::OnAcceptError()
{
    // The listener pauses itself after a failed accept (out of descriptors, for instance):
    // try again a little later rather than never.
    QTimer::singleShot(kAcceptRetryMs, this, [this] {
        if (m_pListener != nullptr && FirstFreeSlot() >= 0)
            m_pListener->resumeAccepting();
    });
}
