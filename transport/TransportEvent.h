#pragma once

#include <QEvent>
#include <QtGlobal>

// Message numbers that the transports and the script host deliver to their owner objects.
enum : int
{
    WM_NOTIFY = 0x4E,
    WM_SOCKET_ACCEPT = 0x401,  // sent: wParam client socket handle, lParam slot index
    WM_SOCKET_RECEIVE = 0x402, // sent: wParam socket handle, lParam serial number & 0xFFFF
    WM_SOCKET_CLOSE = 0x403,   // sent: as WM_SOCKET_RECEIVE
    WM_SOCKET_CONNECT = 0x404, // sent: as WM_SOCKET_RECEIVE
    WM_COMM_RECEIVED = 0x464,  // posted by a serial reader thread: wParam 0, lParam 0
};

// One window message as a Qt event. "Sent" messages go through QCoreApplication::sendEvent and
// are handled before the sender goes on; "posted" ones through postEvent, on the owner's thread.
// Owners receive them in customEvent() and dispatch on Message().
class CTransportEvent : public QEvent
{
public:
    CTransportEvent(int message, quintptr wParam, qintptr lParam)
        : QEvent(TypeOf(message)), m_wParam(wParam), m_lParam(lParam)
    {}

    static QEvent::Type TypeOf(int message) { return QEvent::Type(QEvent::User + message); }
    int Message() const { return int(type()) - int(QEvent::User); }
    quintptr WParam() const { return m_wParam; }
    qintptr LParam() const { return m_lParam; }

private:
    quintptr m_wParam;
    qintptr m_lParam;
};
