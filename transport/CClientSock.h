#pragma once

#include "LinkWrite.h"
#include "TransportConstants.h"

#include <QAbstractSocket>
#include <QByteArray>
#include <QObject>
#include <QString>

#include <chrono>
#include <memory>
#include <mutex>

class QSocketNotifier;
class QTcpSocket;

// TCP stream socket that reports receive, connect and close by its signals, which its owner
// handles before the socket goes on. Send and WriteWhole may be called from any thread.
// A write the system does not take at once waits whole in the connection's own bounded send
// queue, which goes out as the peer reads: so a slow peer never gets a cut write.
class CClientSock : public QObject
{
    Q_OBJECT

public:
    // Slot states of a server's client table.
    static constexpr int kSlotFree = -1;
    static constexpr int kSlotInUse = 0;

    explicit CClientSock(QObject* parent = nullptr);
    ~CClientSock() override;

    // A server sets the slot index; -1 for a socket no server owns.
    void bsSetSerialNo(int serialNo) { m_nSerialNo = serialNo; }
    int bsGetSerialNo() const { return m_nSerialNo; }
    // kSlotFree or kSlotInUse; kept by CServerSock and by the peer's close.
    void bsSetSlotState(int state) { m_nSlotState = state; }
    int bsGetSlotState() const { return m_nSlotState; }

    // Gives the socket its handle; non-zero on success.
    int Create();
    // Starts connecting; the outcome, success or failure, arrives as connectFinished. Port 0
    // fails at once (0, errno EINVAL) and reports nothing.
    int Connect(const QString& host, quint16 port);
    // Bytes sent, or -1 with errno set (EAGAIN when the system's buffer is full, or while the
    // send queue still holds bytes, which go first). Never blocks and never raises SIGPIPE; safe
    // from any thread, also while the owner closes the socket.
    int Send(const void* buf, int len, int flags = 0);
    // All or nothing: the system takes what it can and the rest waits whole in the send queue.
    // When the queue has no room for all n bytes, waits up to `wait` for the peer to read, and
    // then gives Full with none of them taken. More than the queue holds is TooLarge; a socket
    // that is closed or broke gives Failed. Safe from any thread, as Send.
    WriteResult WriteWhole(const void* data, int n, std::chrono::milliseconds wait = {});
    // Bytes in the send queue, not yet given to the system: after the connection broke, those
    // that will never go, until Close.
    qint64 QueuedBytes() const;
    // Bytes received; 0 when the peer has closed and nothing is left; -1 with errno EAGAIN when
    // nothing is there yet (ENOTCONN when not connected).
    int Receive(void* buf, int len);
    // Closes the connection; the handle is invalid afterwards. Safe inside an event handler.
    void Close();

    qintptr GetHandle() const;
    // Address and port of the peer while connected (kept after the peer closes, until Close);
    // 0 and an empty address when there is none, as after a failed connect.
    int GetPeerName(QString& address, quint16& port) const;
    QAbstractSocket::SocketState GetState() const;
    // The system's words for the socket's last error, such as a refused connection.
    QString GetErrorString() const;
    // The kind of the last failure (a refused or timed-out connect, a host not found).
    QAbstractSocket::SocketError GetError() const;

signals:
    // Data waits to be received.
    void receiveReady();
    // The connect ended; GetPeerName tells whether it succeeded.
    void connectFinished();
    // The peer closed the connection or it broke; a server slot is free again by now.
    void closed();
    // This server slot is free again, closed by the peer or by the owner.
    void slotFreed();

protected:
    // Each emits its signal; the receiver may close or delete the socket meanwhile.
    virtual void OnReceive(int errorCode);
    virtual void OnConnect(int errorCode);
    virtual void OnClose(int errorCode);

private:
    friend class CServerSock;

    // Takes over a descriptor that a server accepted into this slot; non-zero on success. The
    // descriptor is closed on failure.
    int Attach(qintptr descriptor);
    void Adopt(QTcpSocket* socket);
    // Reports receives while data is left after the peer closed; false when the owner closed
    // or deleted this socket meanwhile, so that no close is to be reported.
    bool DeliverRemainingData();
    void ReleaseSocket();
    // Makes our handle refer to Qt's socket fd, keeping the handle's number once it has one.
    bool SetHandle(int fd);
    // Points the handle at a fresh unconnected socket, letting go of any earlier connection.
    void ResetHandle();
    void CloseHandle();
    void RememberPeer();
    void FreeSlot();
    void ScheduleReceiveReport();
    // Under m_sendMutex: gives the system what it takes of the queue; false when the connection
    // broke (errno says why).
    bool FlushQueueLocked();
    WriteResult TryWriteLocked(const char* data, int n);
    void DropQueueLocked();
    // Has the owner's thread watch for room while the queue holds bytes.
    void RequestFlush();
    void ArmFlush();
    void OnWritable();
    void DisarmFlush();

    int m_nSerialNo = -1;
    int m_nSlotState = kSlotInUse;
    QTcpSocket* m_pSocket = nullptr;
    bool m_bConnecting = false;
    bool m_bPeerClosed = false;
    bool m_bReceiveReportPending = false;
    QString m_strPeerAddress;
    quint16 m_nPeerPort = 0;

    // Our own descriptor of the socket: the handle, and what Send writes to, so that a send
    // never meets a descriptor that Qt closed or the system gave to someone else.
    mutable std::mutex m_sendMutex;
    int m_hSocket = -1;
    // The send queue, from m_nQueueHead on; guarded by m_sendMutex. The flag tells whether the
    // owner's thread was asked to watch for room.
    QByteArray m_sendQueue;
    qsizetype m_nQueueHead = 0;
    bool m_bFlushArmed = false;
    std::unique_ptr<QSocketNotifier> m_pWriteNotifier; // owner's thread only
};
