#pragma once

#include "CClientSock.h"
#include "TransportConstants.h"

#include <QHostAddress>
#include <QObject>

#include <array>
#include <memory>

class CServerListener;

// Listening TCP socket with a table of 256 client slots: each incoming connection goes into the
// first free slot and is announced; while every slot is in use, a new connection is closed at
// once and reported as refused, so that its peer knows. The clients' own notices are passed on
// with their slot index.
class CServerSock : public QObject
{
    Q_OBJECT

public:
    static constexpr int kSlots = kServerSlotCount;

    explicit CServerSock(QObject* parent = nullptr);
    ~CServerSock() override;
    // Binds and listens on port (0: any free port); non-zero on success, else errno is set
    // (EADDRINUSE when another server has the port).
    int Create(quint16 port, const QHostAddress& address = QHostAddress::Any);
    // Non-zero while listening. The backlog was fixed by Create, which binds and listens in one
    // step, and is large enough for peers that wait for a free slot.
    int Listen(int backlog = 5);
    // Stops listening; connections already accepted stay with their slots.
    void Close();

    // Recounts the slots in use into the connection count.
    void CalcConnection();
    int GetConnectionCount() const { return m_nConnection; }
    // Slot index 0..255, or null outside the table.
    CClientSock* GetSlot(int index) const;
    quint16 GetPort() const;
    qintptr GetHandle() const;

signals:
    // A connection was accepted into this slot (0..255).
    void accepted(int slot);
    // The client of this slot has data waiting.
    void receiveReady(int slot);
    // The peer of this slot closed or the connection broke; the slot is free again.
    void closed(int slot);
    // A connection came while every slot was in use; it was closed.
    void refused(const QString& address, quint16 port);

private:
    friend class CServerListener;

    // Puts a connection the system accepted into the first free slot and reports it.
    void OnAccept(qintptr descriptor);
    void OnAcceptError();
    int FirstFreeSlot() const;
    void Refuse(qintptr descriptor);

    std::array<std::unique_ptr<CClientSock>, kSlots> m_slots;
    int m_nConnection = 0;
    std::unique_ptr<CServerListener> m_pListener;
};
