// The link side of the monitor view: the commands that open and close the link, the port
// settings, and how the view shows what the link tells it.
#include "CTARVENView.h"

#include "CClientSelector.h"
#include "CMonitorStatusBar.h"
#include "CPortSettingsDlg.h"
#include "CTextViewCtrl.h"
#include "LinkFailureMessage.h"
#include "LinkText.h"
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
    CClientSelector* clients = m_pStatus->ClientSelector();
    connect(link, &CMonitorLink::peersChanged, clients,
            [this, clients] { clients->SetPeers(m_pLink->Peers()); });
    connect(link, &CMonitorLink::peerChoiceChanged, clients, &CClientSelector::Select);
    connect(clients, &CClientSelector::peerChosen, this, [this](int peer) {
        m_pLink->ChoosePeer(peer);
        // The keys typed next go where the user just chose.
        m_pTextView->setFocus();
    });
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
    const LinkSettings& settings = m_pLink->Settings();
    m_pStatus->ClientSelector()->setVisible(!IsReplay() && settings.Takes(kLinkRole) &&
                                            settings.nActive == LinkSettings::Server);
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
    ShowLinkFailure(failure, m_pLink->Settings(), reason, this);
}

void CTARVENView::WriteNotice(const QString& text, char attribute)
{
    // A notice the window's encoding cannot hold is written in UTF-8 rather than lost.
    const tsl::EncodedText encoded = LinkText(text, m_pTextView->GetTextEncoding());
    const QByteArray bytes =
        encoded.nUnencodable < 0 ? QByteArray::fromStdString(encoded.bytes) : text.toUtf8();
    m_pTextView->NoticeWrite(reinterpret_cast<const unsigned char*>(bytes.constData()),
                             int(bytes.size()), attribute);
}
