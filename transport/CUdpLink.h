#pragma once

#include "CUdpCtrl.h"
#include "Link.h"

// A UDP socket as a link of messages: each write is one datagram (more than one holds goes in
// several), each datagram is taken whole where it fits, and one waiting for room holds the
// others back in the system. A new sender is announced between the datagrams of the one
// before and its own.
class CUdpLink : public CLink
{
    Q_OBJECT

public:
    explicit CUdpLink(const LinkParams& params = {});
    ~CUdpLink() override;

    CUdpCtrl& Socket() { return m_udp; }

    bool Open() override;
    void Close() override;
    bool HasReceived() const override { return m_bHolding; }
    quint16 LocalPort() const override { return m_udp.GetLocalPort(); }
    QString Target() const override;
    QString OpenedNotice() const override;
    QString ClosedNotice() const override;
    QString NoPeerNotice() const override;

protected:
    WriteResult WriteLink(const char* data, int n, std::chrono::milliseconds wait,
                          LinkDrops* drops) override;
    int TakeLink(QByteArray& out, int max, int wholeUpTo) override;

private:
    bool HasRemote() const { return !Params().strHost.isEmpty(); }
    void TellSender();

    CUdpCtrl m_udp;
    // The datagram being taken, and how much of it was.
    QByteArray m_held;
    qsizetype m_nHeldAt = 0;
    bool m_bHolding = false;
    // Its sender is new, and not told yet.
    bool m_bNewSender = false;
    QString m_strSender;
    quint16 m_nSenderPort = 0;
};
