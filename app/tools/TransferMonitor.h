#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

// What a protocol transfer needs of the monitor window besides the link's writer: while it
// runs, the bytes the link receives are the transfer's and are not shown as traffic; the
// window still records both directions (its capture and its counters) and tells in one line
// when the transfer starts and how it ended.
class CTransferMonitor
{
public:
    virtual ~CTransferMonitor() = default;
    // From now until Release, received bytes go to sink, NUL bytes and all.
    virtual void Divert(std::function<void(const QByteArray&)> sink) = 0;
    virtual void Release() = 0;
    // Bytes the transfer sent on the link, to be recorded.
    virtual void RecordSent(const QByteArray& bytes) = 0;
    virtual void Notice(const QString& text) = 0;
};
