#pragma once

#include "CRS232Ctrl.h"
#include "CSerialReconnect.h"
#include "Link.h"

#include <atomic>

// A serial line as a link: a CRS232Ctrl whose reader thread hands received bytes over through a
// ring. A device that goes away is told once everything it sent before was taken, and, when
// the params asks for it, waited for and opened again in place.
class CSerialLink : public CLink
{
    Q_OBJECT

public:
    explicit CSerialLink(const LinkParams& params = {});
    ~CSerialLink() override;

    // The port itself; open it directly to use it without the params.
    CRS232Ctrl& Port() { return m_port; }

    bool Open() override;
    void Close() override;
    int64_t WriteTimeoutMs(int n) const override { return m_port.GetWriteTimeoutMs(n); }
    // The ring has one consumer, on whatever thread.
    bool TakesOnAnyThread() const override { return true; }
    bool HasReceived() const override { return m_port.GetReceivedSize() > 0; }
    uint64_t DroppedBytes() const override;
    QString Target() const override;

    bool HasModemLines() const override { return m_port.bsHasModemLines() != 0; }
    int SetDtr(bool on) override;
    int SetRts(bool on) override;
    int SendBreak(int durationMs) override;
    int WatchModemLines(bool on) override;
    void SetNoticeGap(std::chrono::milliseconds gap) override
    {
        m_port.SetNoticeGap(int(gap.count()));
    }

protected:
    WriteResult WriteLink(const char* data, int n, std::chrono::milliseconds wait,
                          LinkDrops* drops) override;
    int TakeLink(QByteArray& out, int max, int wholeUpTo) override;

private:
    // 0, or the port's last error.
    int Outcome(int result) const;
    void OnPortReceived();
    // Lets a device that went away go once nothing it sent is left to take.
    void CheckVanished();
    void OnReopened(qint64 awayMs);

    CRS232Ctrl m_port;
    CSerialReconnect m_reconnect;
    // The last write of the link's own wait timed out: the next is not waited for while the
    // line still takes nothing (a device holding flow control off would hold the caller).
    std::atomic<bool> m_bStalled = false;
    // A take found the device gone and everything taken: the link's thread looks once.
    std::atomic<bool> m_bVanishPosted = false;
    LineErrorCounts m_lineBase;
};
