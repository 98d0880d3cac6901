// The link side of the monitor view: opening and closing, the port settings, and the notices
// of the serial port and the sockets.
#include "CTARVENView.h"

#include "CClientSock.h"
#include "CMonitorStatusBar.h"
#include "CPortSettingsDlg.h"
#include "CRS232Ctrl.h"
#include "CServerSock.h"
#include "CTextViewCtrl.h"
#include "MessageBox.h"
#include "MonitorConstants.h"
#include "ShellConstants.h"
#include "TransportEvent.h"

#include <QGuiApplication>
#include <QSettings>
#include <QTimerEvent>
#include <cerrno>
#include <cstring>

namespace {

const QString kCrLf = QStringLiteral("\r\n");

QString SystemError(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

} // namespace

void CTARVENView::LoadLinkSettings()
{
    QSettings settings(kCompanyName, kApplicationName);
    m_link = LinkSettings::Load(settings);
}

QString CTARVENView::PortDescription() const
{
    return m_pStatus->PaneText(2);
}

void CTARVENView::RefreshConnections()
{
    int connections = 0;
    if (m_pServer) {
        m_pServer->CalcConnection();
        connections = m_pServer->GetConnectionCount();
    }
    m_pStatus->SetPortText(m_link.PortDescription(connections));
}

void CTARVENView::OnPortOpen()
{
    if (m_link.nInterface == LinkSettings::Rs232c)
        OpenSerial();
    else if (m_link.nActive == LinkSettings::Client)
        OpenClient();
    else
        OpenServer();
    UpdatePanes();
    emit stateChanged();
}

void CTARVENView::OpenClient()
{
    // A connect under way, or a link that is up, is not started again.
    if (m_pClient)
        return;
    m_nConnectTicks = 0;
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    m_bWaitCursor = true;
    m_nConnectTimer = startTimer(kConnectTickMs);
    m_pClient = std::make_unique<CClientSock>();
    m_pClient->SetWnd(this);
    m_pClient->Create();
    m_pClient->Connect(m_link.ServerAddressText(), quint16(m_link.nServerPort));
}

void CTARVENView::OpenServer()
{
    if (m_pServer)
        return;
    m_pServer = std::make_unique<CServerSock>();
    m_pServer->SetWnd(this);
    if (!m_pServer->Create(quint16(m_link.nServerPort))) {
        const int error = errno;
        m_pServer.reset();
        const QString text = error == EADDRINUSE
                                 ? QStringLiteral("이미 서버 서비스가 시작되었습니다.")
                                 : QStringLiteral("서버 서비스를 시작할 수 없습니다. (port:%1)\n%2")
                                       .arg(m_link.nServerPort)
                                       .arg(SystemError(error));
        ShowMessage(text, QMessageBox::Critical, QMessageBox::Ok, this,
                    QStringLiteral("SERVICE 오류..."));
        return;
    }
    m_pServer->Listen(kServerListenBacklog);
    WriteNotice(kCrLf + QStringLiteral("Server started (port:%1)...").arg(m_link.nServerPort) +
                    kCrLf,
                kAttrReceived);
    m_bOnline = true;
    RefreshConnections();
}

void CTARVENView::OpenSerial()
{
    if (m_pSerial)
        return;
    auto port = std::make_unique<CRS232Ctrl>(this);
    if (!port->Open(m_link.strPortName.toLocal8Bit().constData(), m_link.BaudRate(),
                    m_link.DataBits(), m_link.Parity(), m_link.StopBits())) {
        // The reason tells a missing device from one the user may not open.
        ShowMessage(QStringLiteral("통신포트 연결에 실패하였습니다. [%1]\n%2")
                        .arg(m_link.strPortName, SystemError(int(port->GetLastError()))),
                    QMessageBox::Warning, QMessageBox::Ok, this);
        return;
    }
    m_pSerial = std::move(port);
    m_bOnline = true;
}

void CTARVENView::OnPortClose()
{
    StopConnectWait();
    if (m_link.nInterface == LinkSettings::Rs232c) {
        if (m_pSerial) {
            m_bOnline = false;
            DisposeSerial();
        }
    } else if (m_link.nActive == LinkSettings::Server) {
        if (m_pServer) {
            m_pServer->Close();
            m_pServer.reset();
            WriteNotice(kCrLf + QStringLiteral("Server stopped ...") + kCrLf + u'\n',
                        kAttrReceived);
            m_bOnline = false;
            RefreshConnections();
        }
    } else if (m_pClient) {
        DisposeClient();
        m_bOnline = false;
    }
    UpdatePanes();
    emit stateChanged();
}

void CTARVENView::OnPortSettings()
{
    CPortSettingsDlg dialog(this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const bool wasOpen = m_bOnline;
    if (wasOpen)
        OnPortClose();
    LoadLinkSettings();
    RefreshConnections();
    UpdatePanes();
    if (wasOpen)
        OnPortOpen();
    emit stateChanged();
}

void CTARVENView::StopConnectWait()
{
    if (m_nConnectTimer != 0)
        killTimer(m_nConnectTimer);
    m_nConnectTimer = 0;
    m_nConnectTicks = 0;
    if (m_bWaitCursor)
        QGuiApplication::restoreOverrideCursor();
    m_bWaitCursor = false;
}

void CTARVENView::DisposeClient()
{
    m_pClient->Close();
    if (m_bTransferring)
        m_pParkedClient = std::move(m_pClient);
    else
        m_pClient.release()->deleteLater(); // we may be inside one of its own notices
}

void CTARVENView::DisposeSerial()
{
    m_pSerial->Close();
    if (m_bTransferring)
        m_pParkedSerial = std::move(m_pSerial);
    else
        m_pSerial.reset();
}

CClientSock* CTARVENView::FindSocket(const CTransportEvent& event, QString* address) const
{
    CClientSock* socket = CClientSock::FromHandle(qintptr(event.WParam()));
    // A handle may have been given to another window's socket since the notice was made.
    if (socket == nullptr || socket->GetWnd() != this)
        return nullptr;
    if (address != nullptr) {
        quint16 port = 0;
        socket->GetPeerName(*address, port);
    }
    return socket;
}

void CTARVENView::SetOnline(bool online)
{
    m_bOnline = online;
    UpdatePanes();
    emit stateChanged();
}

void CTARVENView::timerEvent(QTimerEvent* event)
{
    if (event->timerId() != m_nConnectTimer || m_nConnectTimer == 0) {
        QWidget::timerEvent(event);
        return;
    }
    OnConnectTimer();
}

void CTARVENView::OnConnectTimer()
{
    if (++m_nConnectTicks < kConnectGiveUpTicks)
        return;
    StopConnectWait();
    if (m_pClient)
        DisposeClient();
    emit stateChanged();
    ShowMessage(QStringLiteral("Socket Client 접속실패 !!!"), QMessageBox::Warning, QMessageBox::Ok,
                this);
}

void CTARVENView::OnConnectSocket(const CTransportEvent& event)
{
    QString address;
    // A failed connect has no peer: the time-out tells the user.
    if (FindSocket(event, &address) == nullptr || address.isEmpty())
        return;
    WriteNotice(kCrLf +
                    QStringLiteral("Connected to %1:%2 ...")
                        .arg(m_link.ServerAddressText())
                        .arg(m_link.nServerPort) +
                    kCrLf,
                kAttrReceived);
    StopConnectWait();
    SetOnline(true);
}

void CTARVENView::OnAcceptSocket(const CTransportEvent& event)
{
    CClientSock* socket = FindSocket(event);
    if (socket == nullptr)
        return;
    // The peer's own port tells apart clients that connect from one machine.
    QString address;
    quint16 port = 0;
    socket->GetPeerName(address, port);
    if (m_link.bWelcomeFlag && !m_link.strWelcomeMsg.isEmpty()) {
        const QByteArray welcome = m_link.strWelcomeMsg.toUtf8();
        socket->Send(welcome.constData(), int(welcome.size()), 0);
    }
    WriteNotice(kCrLf + QStringLiteral("Connected from %1:%2 ...\n").arg(address).arg(port) + kCrLf,
                kAttrSent);
    RefreshConnections();
}

void CTARVENView::OnCloseSocket(const CTransportEvent& event)
{
    QString address;
    CClientSock* socket = FindSocket(event, &address);
    if (socket == nullptr)
        return;
    WriteNotice(kCrLf + QStringLiteral("Disconnect from %1 ...\n").arg(address) + kCrLf, kAttrSent);
    if (socket == m_pClient.get()) {
        DisposeClient();
        SetOnline(false);
        return;
    }
    socket->Close();
    RefreshConnections();
}

void CTARVENView::OnReceiveSocket(const CTransportEvent& event)
{
    CClientSock* socket = FindSocket(event);
    if (socket == nullptr)
        return;
    // Read what is there up to a bound; the socket brings another notice for the rest.
    unsigned char buffer[kReceiveBatchBytes];
    qint64 total = 0;
    while (total < kSocketBytesPerNotice) {
        const int got = socket->Receive(buffer, int(sizeof buffer));
        if (got <= 0)
            break;
        total += got;
        if (!m_bPaused)
            ShowReceived(buffer, got);
    }
    if (m_bPaused)
        return;
    CountReceived(total);
}

void CTARVENView::OnCommReceived()
{
    if (!m_pSerial)
        return;
    const bool keepNul = CurrentEnv().bNullCheck;
    // Drain what the queue holds now, in batches; bytes arriving meanwhile bring a notice.
    int left = m_pSerial->m_queue.GetSize();
    unsigned char batch[kReceiveBatchBytes];
    qint64 shown = 0;
    while (left > 0) {
        int n = 0;
        unsigned char byte = 0;
        while (left > 0 && n < kReceiveBatchBytes && m_pSerial->m_queue.GetByte(&byte)) {
            --left;
            if (byte != 0 || keepNul)
                batch[n++] = byte;
        }
        if (n == 0 && left > 0)
            break; // the queue held less than it said: nothing more to take
        if (!m_bPaused)
            ShowReceived(batch, n);
        shown += n;
    }
    if (!m_bPaused)
        CountReceived(shown);
    if (m_pSerial->bsGetConnectFlag() == 0)
        OnSerialVanished();
}

void CTARVENView::OnSerialVanished()
{
    // The device went away (an adapter pulled out): its reader has stopped. Close the port so
    // it can be opened again once the device is back.
    const QString reason = SystemError(int(m_pSerial->GetLastError()));
    DisposeSerial();
    WriteNotice(kCrLf + QStringLiteral("Port lost (%1): %2 ...").arg(m_link.strPortName, reason) +
                    kCrLf,
                kAttrSent);
    SetOnline(false);
}
