#include "CSerialLink.h"

#include "Comm.h"
#include "SerialPortName.h"
#include "TransportConstants.h"

#include <cerrno>
#include <cstring>

namespace {

LinkPtr MakeSerialLink(const LinkParams& params)
{
    return LinkPtr(new CSerialLink(params));
}

const CLinkKind kSerialKind = {0,         "serial",        "RS-232C",      MEDIA_RS232C,
                               kLinkLine, "a serial port", &MakeSerialLink};
const CLinkKindRegistration kRegistration(kSerialKind);

} // namespace

CSerialLink::CSerialLink(const LinkParams& params) : CLink(params)
{
    m_port.bsSetReceiveRing(kSerialReceiveRingBytes);
    connect(m_port.Notifier(), &CSerialNotifier::received, this, &CSerialLink::OnPortReceived);
    connect(m_port.Notifier(), &CSerialNotifier::modemLinesChanged, this,
            &CLink::modemLinesChanged);
    connect(&m_reconnect, &CSerialReconnect::reopened, this, &CSerialLink::OnReopened);
}

CSerialLink::~CSerialLink()
{
    m_reconnect.Stop();
    m_port.Close();
}

bool CSerialLink::Open()
{
    if (GetState() != State::Closed)
        return true;
    m_bStalled = false;
    const LinkParams& params = Params();
    const QString device = params.strDevice.isEmpty() ? params.strPortName : params.strDevice;
    if (!m_port.Open(device.toLocal8Bit().constData(), params.nBaud, params.nDataBits,
                     params.nParity, params.nStopBits, params.nFlowControl)) {
        const int error = int(m_port.GetLastError());
        // Busy also when another program opened the device for itself alone (TIOCEXCL stops
        // all but root).
        LinkFailure failure = LinkFailure::DeviceOpen;
        if (error == EBUSY)
            failure = CSerialDeviceClaim::IsHeld(SerialDevicePath(device))
                          ? LinkFailure::DeviceInUse
                          : LinkFailure::DeviceLocked;
        else if (error == EWOULDBLOCK)
            failure = LinkFailure::DeviceLocked;
        return Fail(failure, error);
    }
    m_lineBase = {};
    TakeLineErrors(m_port.GetCommHandle(), &m_lineBase);
    m_bVanishPosted = false;
    SetLossReason({});
    SetState(State::Open);
    return true;
}

void CSerialLink::Close()
{
    m_reconnect.Stop();
    m_port.Close();
    MarkClosed();
}

uint64_t CSerialLink::DroppedBytes() const
{
    LineErrorCounts now = m_lineBase;
    if (TakeLineErrors(m_port.GetCommHandle(), &now) == 0)
        return 0;
    return uint64_t(now.overrun - m_lineBase.overrun) +
           uint64_t(now.bufferOverrun - m_lineBase.bufferOverrun);
}

QString CSerialLink::Target() const
{
    return SerialPortLabel(Params().strPortName);
}

int CSerialLink::Outcome(int result) const
{
    return result != 0 ? 0 : int(m_port.GetLastError());
}

int CSerialLink::SetDtr(bool on)
{
    return Outcome(m_port.bsSetDtr(on ? 1 : 0));
}

int CSerialLink::SetRts(bool on)
{
    return Outcome(m_port.bsSetRts(on ? 1 : 0));
}

int CSerialLink::SendBreak(int durationMs)
{
    return Outcome(m_port.bsSendBreak(durationMs));
}

int CSerialLink::WatchModemLines(bool on)
{
    return Outcome(m_port.bsWatchModemLines(on ? 1 : 0));
}

WriteResult CSerialLink::WriteLink(const char* data, int n, std::chrono::milliseconds wait,
                                   LinkDrops* drops)
{
    if (wait >= std::chrono::milliseconds(0))
        return m_port.WriteWhole(data, n, wait);
    // The line's own time-out: but a line that stalled is not waited for again while it still
    // takes nothing.
    WriteResult result = {WriteStatus::Written, 0, 0};
    const bool stalled = m_bStalled;
    if (stalled)
        result = m_port.WriteWhole(data, n, std::chrono::milliseconds(0));
    if (!stalled || (result.status == WriteStatus::TimedOut && result.nWritten > 0)) {
        const int before = result.nWritten;
        result = m_port.WriteWhole(data + before, n - before);
        result.nWritten += before;
    }
    // What the line took stays sent; the rest is told, never cut without a word. (A port that
    // went away tells that instead.)
    m_bStalled = result.status == WriteStatus::TimedOut;
    if (m_bStalled)
        AddDrop(drops, Target(), n - result.nWritten, WriteStatus::TimedOut);
    return result;
}

int CSerialLink::TakeLink(QByteArray& out, int max, int)
{
    const int taken = m_port.TakeReceived(out, max);
    // A device that went away is let go once it was taken; the owner may take it in parts, on
    // another thread.
    if (m_port.bsGetConnectFlag() == 0 && m_port.GetReceivedSize() == 0 &&
        !m_bVanishPosted.exchange(true))
        QMetaObject::invokeMethod(this, &CSerialLink::CheckVanished, Qt::QueuedConnection);
    return taken;
}

void CSerialLink::OnPortReceived()
{
    emit received();
    CheckVanished();
}

void CSerialLink::CheckVanished()
{
    // A port already let go (a late notice) is not let go twice.
    if (GetState() != State::Open || m_port.GetCommHandle() < 0 || m_port.bsGetConnectFlag() != 0 ||
        m_port.GetReceivedSize() != 0)
        return;
    const int error = int(m_port.GetLastError());
    SetLossReason(QString::fromLocal8Bit(std::strerror(error)));
    if (!Params().bAutoReconnect) {
        m_port.Close();
        emit lost(error);
        SetState(State::Closed);
        return;
    }
    // The port object stays, with its settings, and is opened again in place; the wait is told
    // before the state changes, so that an owner shows the wait.
    emit lost(error);
    SetState(State::Waiting);
    m_reconnect.Start(&m_port);
}

void CSerialLink::OnReopened(qint64 awayMs)
{
    m_bVanishPosted = false;
    SetLossReason({});
    emit restored(awayMs);
    SetState(State::Open);
}
