#include "CTARVENView.h"

#include "CCaptureSession.h"
#include "CChildFrame.h"
#include "CControlPanel.h"
#include "CDocument.h"
#include "CEnvironment.h"
#include "CLineSignals.h"
#include "CMonitorStatusBar.h"
#include "CTextViewCtrl.h"
#include "CharacterAt.h"
#include "LinkText.h"
#include "MonitorConstants.h"
#include "MonitorExport.h"
#include "MonitorPrint.h"
#include "ShellConstants.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QDir>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMenu>
#include <QSettings>
#include <QStatusBar>

static_assert(int(EnvSettings::ColourCount) == int(kColourCount),
              "the settings keep the colours in the terminal view's order");

CTARVENView::CTARVENView(CDocument* document, CChildFrame* frame, CMonitorStatusBar* status,
                         QWidget* parent, const MonitorServices& services)
    : QWidget(parent), m_pLink(std::make_unique<CMonitorLink>()), m_services(services),
      m_pDocument(document), m_pFrame(frame), m_pStatus(status),
      m_pTextView(new CTextViewCtrl(this)), m_pPanel(new CControlPanel(this)),
      m_pLines(new CLineSignals(m_pLink.get(), status, this)),
      m_pCapture(new CCaptureSession(m_pTextView, this))
{
    setObjectName(QStringLiteral("CTARVENView"));
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_statusTimer.setSingleShot(true);
    m_statusTimer.setInterval(kStatusRefreshMs);
    InitActionsConnections();
    InitLinkConnections();
    OnInitialUpdate();
}

CTARVENView::~CTARVENView()
{
    // An export under way stops; its file is left as it was.
    m_pExport.reset();
    // The link closes without telling the view, which is going; the cursor comes back here.
    m_pLink.reset();
    if (m_bWaitCursor)
        QGuiApplication::restoreOverrideCursor();
}

void CTARVENView::InitActionsConnections()
{
    connect(m_pTextView, &CTextViewCtrl::keyText, this, &CTARVENView::OnChar);
    connect(m_pLines, &CLineSignals::stateChanged, this, &CTARVENView::stateChanged);
    connect(m_pLines, &CLineSignals::notice, this, &CTARVENView::WriteNotice);
    connect(m_pCapture, &CCaptureSession::stateChanged, this, [this] {
        UpdateCounters();
        emit stateChanged();
    });
    connect(m_pCapture, &CCaptureSession::shown, this, &CTARVENView::OnCaptureShown);
    connect(m_pPanel, &CControlPanel::cellClicked, this, &CTARVENView::OnPanelClick);
    connect(&m_statusTimer, &QTimer::timeout, this, &CTARVENView::OnStatusRefresh);
    // A refresh nearly due is drawn with the terminal's frame: one pass paints both.
    connect(m_pTextView, &CTextViewCtrl::dataShown, this, [this] {
        if (m_statusTimer.isActive() && m_statusTimer.remainingTime() <= kNoticeGapMs) {
            m_statusTimer.stop();
            OnStatusRefresh();
        }
    });
    if (m_pFrame != nullptr)
        m_pStatus->FollowLamps(m_pFrame);
    // Posted, as a click on the pane posts the command: the dialog runs after the click ends.
    connect(m_pStatus, &CMonitorStatusBar::portSettingsRequested, this,
            &CTARVENView::OnPortSettings, Qt::QueuedConnection);
    if (m_services.pEnvironment != nullptr)
        connect(m_services.pEnvironment, &CEnvironment::changed, this, &CTARVENView::ApplyEnv);
}

void CTARVENView::OnInitialUpdate()
{
    LoadLinkSettings();
    m_bPanelShown = m_pLink->Settings().bShowControlPanel;
    m_pTextView->Create(this, rect(), kTerminalViewId);
    if (m_services.pContextMenu != nullptr)
        m_pTextView->SetContextMenu(m_services.pContextMenu);
    m_pTextView->ControlReceive(m_bControlCodes);
    m_pTextView->CaretShow(true);
    LoadStampSettings();
    ApplyEnv(CurrentEnv());
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_pPanel);
    layout->addWidget(m_pTextView, 1);
    m_pPanel->setFixedWidth(kPanelWidthPx);
    LayoutChildren();
    RefreshConnections();
    UpdatePanes();
    UpdateCounters();
    // A window opened from a capture file shows it; a new one asks how to connect; a replay
    // does neither.
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (IsReplay())
                return;
            if (m_pDocument != nullptr && !m_pDocument->PathName().isEmpty())
                m_pCapture->Show(m_pDocument->PathName());
            else
                OnPortSettings();
        },
        Qt::QueuedConnection);
}

void CTARVENView::ShowReplay(const QString& path)
{
    m_strReplay = path;
    if (m_bReplay) {
        UpdatePanes();
        return;
    }
    m_bReplay = true;
    disconnect(m_pTextView, &CTextViewCtrl::keyText, this, &CTARVENView::OnChar);
    disconnect(m_pStatus, &CMonitorStatusBar::portSettingsRequested, this,
               &CTARVENView::OnPortSettings);
    // The control codes would only be sent.
    disconnect(m_pPanel, &CControlPanel::cellClicked, this, &CTARVENView::OnPanelClick);
    m_bPanelShown = false;
    LayoutChildren();
    UpdatePanes();
    emit stateChanged();
}

EnvSettings CTARVENView::CurrentEnv() const
{
    if (m_services.pEnvironment != nullptr)
        return m_services.pEnvironment->Env();
    QSettings settings(kCompanyName, kApplicationName);
    return EnvSettings::Load(settings);
}

void CTARVENView::ApplyEnv(const EnvSettings& env)
{
    m_pTextView->SetTotalLineMax(env.nMaxLine);
    m_pTextView->SetColor(env.colours.data());
    m_pLink->SetKeepNul(env.bNullCheck);
    m_pTextView->SetTextEncoding(env.encoding);
    m_pLink->SetTextEncoding(env.encoding);
}

QString CTARVENView::DocumentTitle() const
{
    return m_pDocument != nullptr ? m_pDocument->Title() : QString::fromLatin1(kDocTypeTvn);
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

void CTARVENView::LayoutChildren()
{
    m_pPanel->setVisible(m_bPanelShown);
    layout()->activate();
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
    if (m_services.pContextMenu != nullptr)
        m_services.pContextMenu->exec(event->globalPos());
}

void CTARVENView::OnChar(const QString& text)
{
    // Typing goes out as the command list's strings go: the link reports it back to be shown.
    // Enter sends the line end the port settings chose.
    QString typed = text;
    typed.replace(u'\r', m_pLink->Settings().EnterText());
    const tsl::EncodedText bytes = LinkText(typed, m_pTextView->GetTextEncoding());
    if (bytes.nUnencodable < 0) {
        m_pLink->Send(QByteArray::fromStdString(bytes.bytes));
        return;
    }
    // A character the link's encoding lacks goes out as nothing, never as another character.
    QApplication::beep();
    if (m_services.pStatusMessages != nullptr)
        m_services.pStatusMessages->showMessage(
            tr("'%1' 문자는 %2(으)로 보낼 수 없어 보내지 않았습니다.")
                .arg(CharacterAt(typed.toUtf8(), bytes.nUnencodable),
                     QString::fromLatin1(tsl::CodecName(m_pLink->Codec()))),
            kRefusedTextMessageMs);
}

void CTARVENView::OnPanelClick(int byte)
{
    // As with typing, only a byte that went out is shown as sent; unlike typing, it is not
    // counted.
    if (m_pLink->Send(QByteArray(1, char(byte)), CMonitorLink::Announce::No) > 0)
        ShowSent(QByteArray(1, char(byte)));
}

void CTARVENView::ShowSent(const QByteArray& bytes)
{
    // Without the echo, what went out is still part of the session a capture records.
    const auto* pBytes = reinterpret_cast<const unsigned char*>(bytes.constData());
    // Sent to one client alone, the bytes carry its mark.
    if (CurrentEnv().bEcho)
        m_pTextView->TextWrite(pBytes, int(bytes.size()), kAttrSent, m_arrivalClock.Now(),
                               m_pLink->ChosenPeer());
    else
        m_pTextView->CaptureWrite(pBytes, int(bytes.size()), kAttrSent);
}

void CTARVENView::OnSent(const QByteArray& bytes)
{
    ShowSent(bytes);
    LightSendLamp();
    m_nSent += bytes.size();
    m_nLines = m_pTextView->GetLineSize();
    UpdateCounters();
}

void CTARVENView::OnReceived(const QByteArray& bytes, int peer)
{
    ShowReceived(bytes, m_arrivalClock.Now(), peer);
}

void CTARVENView::ShowReceived(const QByteArray& bytes, const QDateTime& arrival, int peer)
{
    // Data that arrives while paused is gone, and not counted.
    if (m_bPaused)
        return;
    if (!bytes.isEmpty())
        m_pTextView->TextWrite(reinterpret_cast<const unsigned char*>(bytes.constData()),
                               int(bytes.size()), kAttrReceived, arrival, peer);
    LightReceiveLamp();
    m_nReceived += bytes.size();
    m_nLines = m_pTextView->GetLineSize();
    m_lastReceived = arrival.time();
    if (!m_statusTimer.isActive())
        m_statusTimer.start();
}

void CTARVENView::OnStatusRefresh()
{
    UpdateCounters();
    if (m_lastReceived.isValid())
        m_pStatus->SetTimeText(m_lastReceived.toString(QStringLiteral("HH:mm:ss")));
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
    if (IsReplay()) {
        m_pStatus->SetOnlineText(QStringLiteral("OFF-LINE"));
        m_pStatus->SetInterfaceText(tr("재생"));
        m_pStatus->SetPortText(QDir::toNativeSeparators(m_strReplay));
        m_pStatus->SetModemLinesUnavailable(tr("재생"));
        UpdateCounters();
        return;
    }
    QString online = m_pLink->IsOnline() ? QStringLiteral("ON-LINE") : QStringLiteral("OFF-LINE");
    if (m_bPaused)
        online += QStringLiteral("(Paused)");
    m_pStatus->SetOnlineText(online);
    m_pStatus->SetInterfaceText(m_pLink->Settings().InterfaceText());
    m_pLines->ShowLineState();
    UpdateCounters();
}

void CTARVENView::UpdateCounters()
{
    QString text =
        QStringLiteral("I: %1, O: %2, L: %3").arg(m_nReceived).arg(m_nSent).arg(m_nLines);
    if (IsCapturing())
        text += tr(" (갈무리)");
    m_pStatus->SetCountersText(text);
}

bool CTARVENView::IsCapturing() const
{
    return m_pCapture->IsCapturing();
}

void CTARVENView::OnCapture()
{
    m_pCapture->Toggle(CurrentEnv().bGalmuriFileCreate, DocumentTitle());
}

void CTARVENView::OnCaptureShown()
{
    m_nReceived = m_pTextView->GetBufferSize();
    m_nLines = m_pTextView->GetLineSize();
    UpdateCounters();
    emit stateChanged();
}

void CTARVENView::CountReplayed(qint64 received, qint64 sent)
{
    m_nReceived += received;
    m_nSent += sent;
    m_nLines = m_pTextView->GetLineSize();
    if (!m_statusTimer.isActive())
        m_statusTimer.start();
}

void CTARVENView::OnPrint()
{
    PrintMonitorLog(*m_pTextView, {DocumentTitle(), PortDescription(), m_nReceived},
                    CCaptureSession::Folder(), this);
}

bool CTARVENView::PrintTo(CPrintTarget& target)
{
    return PrintMonitorLogTo(target, *m_pTextView,
                             {DocumentTitle(), PortDescription(), m_nReceived}, this);
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

void CTARVENView::LoadStampSettings()
{
    QSettings settings(kCompanyName, kApplicationName);
    settings.beginGroup(QLatin1String(kGroupTarven));
    m_pTextView->ShowArrivalStamps(settings.value(QStringLiteral("ShowTimeStamp"), 0).toInt() != 0);
    // A gap out of range (or no number) keeps the default.
    bool ok = false;
    const int gap = settings.value(QStringLiteral("TimeStampGap")).toInt(&ok);
    m_pTextView->SetArrivalGap(ok && gap >= 0 && gap <= kMaxArrivalGapMs ? gap
                                                                         : kDefaultArrivalGapMs);
}

bool CTARVENView::ShowsTimeStamps() const
{
    return m_pTextView->IsShowingArrivalStamps();
}

void CTARVENView::OnTimeStamps()
{
    const bool on = !ShowsTimeStamps();
    m_pTextView->ShowArrivalStamps(on);
    QSettings settings(kCompanyName, kApplicationName);
    settings.setValue(QStringLiteral("%1/ShowTimeStamp").arg(kGroupTarven), int(on));
    emit stateChanged();
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
