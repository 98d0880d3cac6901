// The link side of the monitor view: the commands that open and close the link, the port
// settings, and how the view shows what the link tells it.
#include "CTARVENView.h"

#include "CMonitorStatusBar.h"
#include "CPortSettingsDlg.h"
#include "CTextViewCtrl.h"
#include "LinkText.h"
#include "MessageBox.h"
#include "SerialPortName.h"
#include "ShellConstants.h"

#include <QGuiApplication>
#include <QSettings>

void CTARVENView::InitLinkConnections()
{
    CMonitorLink* link = m_pLink.get();
    connect(link, &CMonitorLink::received, this, &CTARVENView::OnReceived);
    connect(link, &CMonitorLink::sent, this, &CTARVENView::OnSent);
    connect(link, &CMonitorLink::onlineChanged, this, &CTARVENView::OnOnlineChanged);
    connect(link, &CMonitorLink::connectingChanged, this, &CTARVENView::OnConnectingChanged);
    connect(link, &CMonitorLink::notice, this, &CTARVENView::WriteNotice);
    connect(link, &CMonitorLink::clientJoined, this, &CTARVENView::RefreshConnections);
    connect(link, &CMonitorLink::clientLeft, this, &CTARVENView::RefreshConnections);
    connect(link, &CMonitorLink::failed, this, &CTARVENView::OnLinkFailed);
    // While a vanished device is waited for, the online pane says so, whatever else the panes
    // show meanwhile (pause, settings).
    const auto showWait = [this] {
        if (m_pLink->IsReconnecting())
            m_pStatus->SetOnlineText(tr("재연결 대기중...") +
                                     (m_bPaused ? QStringLiteral("(Paused)") : QString()));
    };
    connect(link, &CMonitorLink::reconnectingChanged, this, [this] {
        UpdatePanes();
        emit stateChanged();
    });
    connect(this, &CTARVENView::stateChanged, this, showWait);
}

void CTARVENView::LoadLinkSettings()
{
    QSettings settings(kCompanyName, kApplicationName);
    m_pLink->SetSettings(LinkSettings::Load(settings));
}

QString CTARVENView::PortDescription() const
{
    return m_pStatus->PaneText(2);
}

void CTARVENView::RefreshConnections()
{
    m_pStatus->SetPortText(m_pLink->Settings().PortDescription(m_pLink->ConnectionCount()));
}

void CTARVENView::OnPortOpen()
{
    m_pLink->Open();
    RefreshConnections();
    UpdatePanes();
    emit stateChanged();
}

void CTARVENView::OnPortClose()
{
    m_pLink->Close();
    RefreshConnections();
    UpdatePanes();
    emit stateChanged();
}

void CTARVENView::OnPortSettings()
{
    // The settings are shared by every monitor window: the dialog shows what is stored, and
    // what it hands back is stored for all of them.
    QSettings settings(kCompanyName, kApplicationName);
    CPortSettingsDlg dialog(LinkSettings::Load(settings), this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    dialog.Settings().Save(settings);
    settings.sync();
    // A link waiting for its device counts as open: it opens again with the new settings.
    const bool wasOpen = m_pLink->IsOnline() || m_pLink->IsReconnecting();
    if (wasOpen)
        OnPortClose();
    LoadLinkSettings();
    RefreshConnections();
    UpdatePanes();
    if (wasOpen)
        OnPortOpen();
    emit stateChanged();
}

void CTARVENView::OnOnlineChanged()
{
    UpdatePanes();
    emit stateChanged();
}

void CTARVENView::OnConnectingChanged(bool connecting)
{
    // The wait cursor shows while a connect is under way.
    if (connecting && !m_bWaitCursor)
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    else if (!connecting && m_bWaitCursor)
        QGuiApplication::restoreOverrideCursor();
    m_bWaitCursor = connecting;
    emit stateChanged();
}

void CTARVENView::OnLinkFailed(CMonitorLink::Failure failure, const QString& reason)
{
    const LinkSettings& link = m_pLink->Settings();
    switch (failure) {
    case CMonitorLink::Failure::SerialOpen:
        // The reason tells a missing device from one the user may not open.
        ShowMessage(tr("통신포트 연결에 실패하였습니다. [%1]\n%2").arg(link.PortLabel(), reason),
                    QMessageBox::Warning, QMessageBox::Ok, this);
        return;
    case CMonitorLink::Failure::SerialInUse:
        ShowMessage(
            tr("이미 다른 창에서 사용중인 포트입니다: %1").arg(SerialDevicePath(link.strPortName)),
            QMessageBox::Warning, QMessageBox::Ok, this);
        return;
    case CMonitorLink::Failure::SerialLocked:
        ShowMessage(
            tr("다른 프로그램이 사용중인 포트입니다: %1").arg(SerialDevicePath(link.strPortName)),
            QMessageBox::Warning, QMessageBox::Ok, this);
        return;
    case CMonitorLink::Failure::ServerPortInUse:
        ShowMessage(tr("이미 서버 서비스가 시작되었습니다."), QMessageBox::Critical,
                    QMessageBox::Ok, this, tr("SERVICE 오류..."));
        return;
    case CMonitorLink::Failure::ServerStart:
        ShowMessage(
            tr("서버 서비스를 시작할 수 없습니다. (port:%1)\n%2").arg(link.nServerPort).arg(reason),
            QMessageBox::Critical, QMessageBox::Ok, this, tr("SERVICE 오류..."));
        return;
    case CMonitorLink::Failure::PortOutOfRange:
        ShowMessage(tr("포트 번호는 1부터 65535까지입니다. (port:%1)").arg(reason),
                    QMessageBox::Warning, QMessageBox::Ok, this);
        return;
    case CMonitorLink::Failure::UdpOpen:
        ShowMessage(tr("UDP 포트를 열 수 없습니다. (port:%1)\n%2").arg(link.nLocalPort).arg(reason),
                    QMessageBox::Warning, QMessageBox::Ok, this);
        return;
    case CMonitorLink::Failure::ConnectTimeout:
    case CMonitorLink::Failure::ConnectRefused:
        ShowMessage(tr("Socket Client 접속실패 !!!") + QStringLiteral("\n%1:%2: %3")
                                                           .arg(link.ServerAddressText())
                                                           .arg(link.nServerPort)
                                                           .arg(reason),
                    QMessageBox::Warning, QMessageBox::Ok, this);
        return;
    }
}

void CTARVENView::WriteNotice(const QString& text, char attribute)
{
    // A notice the window's encoding cannot hold is written in UTF-8 rather than lost.
    const tsl::EncodedText encoded = LinkText(text, m_pTextView->GetTextEncoding());
    const QByteArray bytes =
        encoded.nUnencodable < 0 ? QByteArray::fromStdString(encoded.bytes) : text.toUtf8();
    m_pTextView->TextWrite(reinterpret_cast<const unsigned char*>(bytes.constData()),
                           int(bytes.size()), attribute);
}
