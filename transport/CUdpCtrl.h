#pragma once

#include "LinkWrite.h"
#include "TransportConstants.h"

#include <QObject>
#include <QString>

#include <chrono>
#include <memory>
#include <mutex>
#include <netinet/in.h>

class QSocketNotifier;

// UDP datagram link over IPv4: bound to a local port, it sends every Send as one datagram to a
// remote address and port, or, while no remote is set, back to the sender of the last datagram
// received. With a remote it takes datagrams from that address and port alone: others are
// counted and left. Arrivals are announced by receiveReady and taken whole, one datagram per
// Receive; a datagram from another sender than the last one is announced by senderChanged
// first. Send may be called from any thread, also while the owner closes the link.
class CUdpCtrl : public QObject
{
    Q_OBJECT

public:
    static constexpr int kMaxDatagramBytes = kMaxUdpDatagramBytes;

    explicit CUdpCtrl(QObject* parent = nullptr);
    ~CUdpCtrl() override;

    // Binds the local port (0: any free port) on the address (empty: every address); non-zero on
    // success, else 0 with errno set (EADDRINUSE when another socket has the port, EACCES for a
    // port below 1024 without the right, EINVAL for an address that is not one).
    int Create(quint16 localPort, const QString& address = QString());
    // Where Send goes from now on: an address or a name (looked up here, once, by the system's
    // resolver) and a port 1..65535. An empty host means reply-to-sender. Non-zero on success,
    // else 0 with errno set (EINVAL for port 0, EHOSTUNREACH for a name that does not resolve).
    int SetRemote(const QString& host, quint16 port);
    // Sends len bytes (0 allowed) as one datagram; the bytes sent, or -1 with errno set: EMSGSIZE
    // above kMaxDatagramBytes, EDESTADDRREQ with no remote and no sender yet, EBADF when closed,
    // EAGAIN when the system's buffer stayed full for kUdpSendWaitMs.
    int Send(const void* buf, int len);
    // The same, as every link writes: one datagram, whole or not at all. Waits up to `wait` for
    // room in the system's buffer (Full after that); TooLarge above kMaxDatagramBytes, NoPeer
    // with no remote and no sender yet.
    WriteResult WriteWhole(const void* data, int n, std::chrono::milliseconds wait);
    // The next datagram, whole, into `datagram`: its size (0 for an empty datagram), or -1 with
    // errno EAGAIN when none waits (EBADF when closed). Only on the owner's thread. Datagrams of
    // other senders than the remote are passed over (a bounded number per call, and then -1
    // with EAGAIN while receiveReady comes again for the rest) and announced by ignored.
    int Receive(QByteArray& datagram);
    // Datagrams passed over since Create because they came from another sender than the remote.
    quint64 GetIgnoredCount() const { return m_nIgnored; }
    // While paused, arrivals wait in the system and receiveReady is not emitted: an owner that
    // has no room stops the notices instead of being called again and again.
    void PauseReceive(bool paused);
    void Close();

    bool IsOpen() const;
    qintptr GetHandle() const;
    quint16 GetLocalPort() const;
    // The sender of the last datagram received; 0 and an empty address before the first.
    int GetPeerName(QString& address, quint16& port) const;

signals:
    // Datagrams wait to be received. Take a bounded batch per notice: against a sender as fast
    // as the receiver, taking until none is left may never end; the notice comes again.
    void receiveReady();
    // The datagram about to be received comes from another sender than the one before it.
    void senderChanged(const QString& address, quint16 port);
    // count datagrams of other senders than the remote were passed over.
    void ignored(int count);

private:
    std::unique_ptr<QSocketNotifier> m_pNotifier;
    std::unique_ptr<char[]> m_pBuffer; // one datagram and a byte to tell an oversized one

    // Guards the descriptor and the addresses against a Send from another thread.
    mutable std::mutex m_mutex;
    int m_hSocket = -1;
    bool m_bHasRemote = false;
    sockaddr_in m_remote = {};
    bool m_bHasSender = false;
    sockaddr_in m_sender = {};
    quint64 m_nIgnored = 0; // owner's thread
};
