#include "CSerialReconnect.h"

#include "CRS232Ctrl.h"
#include "TransportConstants.h"

CSerialReconnect::CSerialReconnect(QObject* parent) : QObject(parent)
{
    m_timer.setInterval(kReopenRetryMs);
    connect(&m_timer, &QTimer::timeout, this, &CSerialReconnect::Try);
}

CSerialReconnect::~CSerialReconnect() = default;

void CSerialReconnect::Start(CRS232Ctrl* port)
{
    m_pPort = port;
    m_away.start();
    // The port still holds the vanished device: let go of it, so that it can come back.
    m_pPort->Close();
    m_timer.start();
    Try();
}

void CSerialReconnect::Stop()
{
    m_timer.stop();
    m_pPort = nullptr;
}

void CSerialReconnect::Try()
{
    if (m_pPort == nullptr || !m_pPort->Reopen())
        return;
    const qint64 awayMs = m_away.elapsed();
    Stop();
    emit reopened(awayMs);
}
