#pragma once

#include <QAbstractSocket>
#include <QObject>
#include <QString>

#include <mutex>

class QTcpSocket;

// TCP stream socket that reports receive, connect and close by its signals, which its owner
// handles before the socket goes on. Send may be called from any thread.
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
    // Bytes sent, or -1 with errno set (EAGAIN when the system's buffer is full). Never blocks
    // and never raises SIGPIPE; safe from any thread, also while the owner closes the socket.
    int Send(const void* buf, int len, int flags = 0);
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
};
