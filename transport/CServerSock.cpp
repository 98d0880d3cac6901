#include "CServerSock.h"

#include "TransportConstants.h"

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
        CClientSock* slot = (m_slots[i] = std::make_unique<CClientSock>()).get();
        slot->bsSetSlotState(CClientSock::kSlotFree);
        slot->bsSetSerialNo(i);
        connect(slot, &CClientSock::slotFreed, this, &CServerSock::OnSlotFreed);
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
        // Not reached while accepting pauses with a full table; never leak the descriptor.
        ::close(static_cast<int>(descriptor));
        UpdateAccepting();
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
    UpdateAccepting();
    emit accepted(index);
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
