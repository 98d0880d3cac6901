#include "CTARVENView.h"

#include "CChildFrame.h"
#include "CClientSock.h"
#include "CControlPanel.h"
#include "CDocument.h"
#include "CMainFrame.h"
#include "CMonitorStatusBar.h"
#include "CRS232Ctrl.h"
#include "CServerSock.h"
#include "CTextViewCtrl.h"
#include "MonitorConstants.h"
#include "ShellConstants.h"
#include "TransportEvent.h"

#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QSettings>

CTARVENView::CTARVENView(CDocument* document, CChildFrame* frame, CMonitorStatusBar* status,
                         QWidget* parent)
    : QWidget(parent), m_pDocument(document), m_pFrame(frame), m_pStatus(status),
      m_pTextView(new CTextViewCtrl(this)), m_pPanel(new CControlPanel(this))
{
    setObjectName(QStringLiteral("CTARVENView"));
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_statusTimer.setSingleShot(true);
    m_statusTimer.setInterval(kStatusRefreshMs);
    InitActionsConnections();
    OnInitialUpdate();
}

CTARVENView::~CTARVENView()
{
    StopConnectWait();
    // The serial port's destructor joins its reader; sockets close before the view goes.
    m_pSerial.reset();
    if (m_pServer)
        m_pServer->Close();
    m_pServer.reset();
    if (m_pClient)
        m_pClient->Close();
    m_pClient.reset();
}

void CTARVENView::InitActionsConnections()
{
    connect(m_pTextView, &CTextViewCtrl::KeyText, this, &CTARVENView::OnChar);
    connect(m_pTextView, &CTextViewCtrl::CaptureFailed, this, &CTARVENView::OnCaptureFailed);
    connect(m_pPanel, &CControlPanel::cellClicked, this, &CTARVENView::OnPanelClick);
    connect(&m_statusTimer, &QTimer::timeout, this, &CTARVENView::OnStatusRefresh);
    if (m_pFrame != nullptr)
        m_pStatus->FollowLamps(m_pFrame);
    // Posted, as a click on the pane posts the command: the dialog runs after the click ends.
    connect(m_pStatus, &CMonitorStatusBar::portSettingsRequested, this,
            &CTARVENView::OnPortSettings, Qt::QueuedConnection);
}

void CTARVENView::OnInitialUpdate()
{
    LoadLinkSettings();
    m_bPanelShown = m_link.bShowControlPanel;
    m_pTextView->Create(this, rect(), kTerminalViewId);
    m_pTextView->ControlReceive(m_bControlCodes);
    m_pTextView->CaretShow(true);
    const EnvSettings env = CurrentEnv();
    m_pTextView->SetTotalLineMax(env.nMaxLine);
    m_pTextView->SetColor(env.colours.data());
    LayoutChildren();
    RefreshConnections();
    UpdatePanes();
    UpdateCounters();
    // A window opened from a capture file shows it; a new one asks how to connect.
    if (m_pDocument != nullptr && !m_pDocument->PathName().isEmpty())
        QMetaObject::invokeMethod(this, &CTARVENView::OnShowDocumentFile, Qt::QueuedConnection);
    else
        QMetaObject::invokeMethod(this, &CTARVENView::OnPortSettings, Qt::QueuedConnection);
}

CMainFrame* CTARVENView::MainFrame() const
{
    return qobject_cast<CMainFrame*>(window());
}

EnvSettings CTARVENView::CurrentEnv() const
{
    if (const CMainFrame* frame = MainFrame())
        return frame->Env();
    QSettings settings(kCompanyName, kApplicationName);
    return EnvSettings::Load(settings);
}

QString CTARVENView::DocumentTitle() const
{
    return m_pDocument != nullptr ? m_pDocument->Title() : QString::fromLatin1(kDocTypeTvn);
}

void CTARVENView::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    // The main frame is known only once the window sits in it.
    if (m_bMenuSet)
        return;
    if (CMainFrame* frame = MainFrame()) {
        m_pTextView->SetContextMenu(frame->TvnMenu());
        m_bMenuSet = true;
    }
}

void CTARVENView::Activate()
{
    m_pTextView->setFocus();
}

void CTARVENView::focusInEvent(QFocusEvent* event)
{
    QWidget::focusInEvent(event);
    m_pTextView->setFocus();
}

void CTARVENView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    LayoutChildren();
}

void CTARVENView::LayoutChildren()
{
    const int panelWidth = m_bPanelShown ? kPanelWidthPx : 0;
    m_pPanel->setGeometry(0, 0, kPanelWidthPx, height());
    m_pPanel->setVisible(m_bPanelShown);
    m_pTextView->setGeometry(panelWidth, 0, std::max(0, width() - panelWidth), height());
}

void CTARVENView::keyPressEvent(QKeyEvent* event)
{
    // Keys that reach the view itself go where typed keys go: scroll keys scroll the terminal,
    // the rest comes back as typed text. A key the terminal leaves comes back here: pass it on.
    if (m_bForwardingKey) {
        QWidget::keyPressEvent(event);
        return;
    }
    m_bForwardingKey = true;
    QCoreApplication::sendEvent(m_pTextView, event);
    m_bForwardingKey = false;
}

void CTARVENView::contextMenuEvent(QContextMenuEvent* event)
{
    if (CMainFrame* frame = MainFrame())
        frame->TvnMenu()->exec(event->globalPos());
}

void CTARVENView::customEvent(QEvent* event)
{
    const int message = int(event->type()) - int(QEvent::User);
    switch (message) {
    case WM_COMM_RECEIVED:
        OnCommReceived();
        return;
    case WM_SOCKET_RECEIVE:
        OnReceiveSocket(*static_cast<CTransportEvent*>(event));
        return;
    case WM_SOCKET_ACCEPT:
        OnAcceptSocket(*static_cast<CTransportEvent*>(event));
        return;
    case WM_SOCKET_CLOSE:
        OnCloseSocket(*static_cast<CTransportEvent*>(event));
        return;
    case WM_SOCKET_CONNECT:
        OnConnectSocket(*static_cast<CTransportEvent*>(event));
        return;
    default:
        QWidget::customEvent(event);
    }
}

void CTARVENView::SendOnLink(const char* data, int n)
{
    if (m_link.nInterface == LinkSettings::Rs232c) {
        if (m_pSerial)
            m_pSerial->Write(data, n);
    } else if (m_link.nActive == LinkSettings::Client) {
        if (m_pClient)
            m_pClient->Send(data, n, 0);
    } else if (m_pServer) {
        for (int slot = 0; slot < CServerSock::kSlots; ++slot) {
            CClientSock* client = m_pServer->GetSlot(slot);
            if (client->bsGetSlotState() == 0)
                client->Send(data, n, 0);
        }
    }
}

void CTARVENView::OnChar(const QString& text)
{
    // Typing sends whether or not the link is up, and counts: the user sees what was typed.
    const QByteArray bytes = text.toUtf8();
    if (bytes.isEmpty())
        return;
    if (CurrentEnv().bEcho)
        m_pTextView->TextWrite(reinterpret_cast<const unsigned char*>(bytes.constData()),
                               int(bytes.size()), kAttrSent);
    SendOnLink(bytes.constData(), int(bytes.size()));
    LightSendLamp();
    m_nSent += bytes.size();
    m_nLines = m_pTextView->GetLineSize();
    UpdateCounters();
}

void CTARVENView::OnPanelClick(int byte)
{
    const char data = char(byte);
    if (CurrentEnv().bEcho)
        m_pTextView->TextWrite(static_cast<unsigned char>(data), kAttrSent);
    // Unlike typing, a click sends only on a link that is up, and is not counted.
    if (m_bOnline)
        SendOnLink(&data, 1);
}

int CTARVENView::SendTranslated(const QByteArray& bytes)
{
    if (bytes.isEmpty())
        return 0;
    SendOnLink(bytes.constData(), int(bytes.size()));
    if (CurrentEnv().bEcho)
        m_pTextView->TextWrite(reinterpret_cast<const unsigned char*>(bytes.constData()),
                               int(bytes.size()), kAttrSent);
    LightSendLamp();
    m_nSent += bytes.size();
    m_nLines = m_pTextView->GetLineSize();
    UpdateCounters();
    return int(bytes.size());
}

void CTARVENView::ShowReceived(const unsigned char* data, int n)
{
    if (n > 0)
        m_pTextView->TextWrite(data, n, kAttrReceived);
}

void CTARVENView::CountReceived(qint64 n)
{
    LightReceiveLamp();
    m_nReceived += n;
    m_nLines = m_pTextView->GetLineSize();
    m_lastReceived = QTime::currentTime();
    if (!m_statusTimer.isActive())
        m_statusTimer.start();
}

void CTARVENView::OnStatusRefresh()
{
    UpdateCounters();
    if (m_lastReceived.isValid())
        m_pStatus->SetTimeText(m_lastReceived.toString(QStringLiteral("HH:mm:ss")));
}

void CTARVENView::WriteNotice(const QString& text, char attribute)
{
    const QByteArray bytes = text.toUtf8();
    m_pTextView->TextWrite(reinterpret_cast<const unsigned char*>(bytes.constData()),
                           int(bytes.size()), attribute);
}

void CTARVENView::LightSendLamp()
{
    if (m_pFrame != nullptr)
        m_pFrame->SetSendLamp(kLampOn);
    else
        m_pStatus->SetSendLamp(kLampOn);
}

void CTARVENView::LightReceiveLamp()
{
    if (m_pFrame != nullptr)
        m_pFrame->SetReceiveLamp(kLampOn);
    else
        m_pStatus->SetReceiveLamp(kLampOn);
}

void CTARVENView::UpdatePanes()
{
    QString online = m_bOnline ? QStringLiteral("ON-LINE") : QStringLiteral("OFF-LINE");
    if (m_bPaused)
        online += QStringLiteral("(Paused)");
    m_pStatus->SetOnlineText(online);
    m_pStatus->SetInterfaceText(m_link.InterfaceText());
    UpdateCounters();
}

void CTARVENView::UpdateCounters()
{
    QString text =
        QStringLiteral("I: %1, O: %2, L: %3").arg(m_nReceived).arg(m_nSent).arg(m_nLines);
    if (m_bCapturing)
        text += QStringLiteral(" (갈무리)");
    m_pStatus->SetCountersText(text);
}

void CTARVENView::OnPause()
{
    m_bPaused = !m_bPaused;
    UpdatePanes();
    emit stateChanged();
}

void CTARVENView::OnAsciiView()
{
    m_bHexMode = false;
    m_pTextView->HexaView(false);
    emit stateChanged();
}

void CTARVENView::OnHexView()
{
    m_bHexMode = true;
    m_pTextView->HexaView(true);
    emit stateChanged();
}

void CTARVENView::OnControlView()
{
    m_bControlCodes = !m_bControlCodes;
    m_pTextView->ControlReceive(m_bControlCodes);
    emit stateChanged();
}

void CTARVENView::OnClear()
{
    m_pTextView->Clear();
    m_nReceived = 0;
    m_nSent = 0;
    m_nLines = 0;
    UpdateCounters();
}

void CTARVENView::OnTogglePanel()
{
    m_bPanelShown = !m_bPanelShown;
    QSettings settings(kCompanyName, kApplicationName);
    settings.setValue(QStringLiteral("%1/ShowControlPanel").arg(kGroupTarven), int(m_bPanelShown));
    LayoutChildren();
    update();
    emit stateChanged();
}
