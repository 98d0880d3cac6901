#include "CMonitorStatusBar.h"

#include "CChildFrame.h"
#include "CClientSelector.h"
#include "CCounterLabel.h"
#include "CElidedLabel.h"
#include "CPaneIndicator.h"
#include "MonitorConstants.h"
#include "TransportConstants.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QResizeEvent>
#include <QTimer>

#include <algorithm>

namespace {

struct ModemLinePane
{
    int id;
    const char* text;
    const char* tip;
    unsigned bit; // MS_*
};

constexpr ModemLinePane kLineTable[] = {
    {ID_PANE_CTS, "CTS", "CTS (Clear To Send)", MS_CTS_ON},
    {ID_PANE_DSR, "DSR", "DSR (Data Set Ready)", MS_DSR_ON},
    {ID_PANE_DCD, "DCD", "DCD (Data Carrier Detect)", MS_RLSD_ON},
    {ID_PANE_RI, "RI", "RI (Ring Indicator)", MS_RING_ON},
};
static_assert(std::size(kLineTable) == kModemLinePanes);

// PaneText numbers the input lines after the seven panes of old.
constexpr int kFirstLinePaneIndex = 7;

} // namespace

CMonitorStatusBar::CMonitorStatusBar(QWidget* parent) : QStatusBar(parent)
{
    setSizeGripEnabled(false);
    // Filled by itself, so that a count or a time drawn anew stops here and does not draw the
    // sub-window's frame and title bar beneath it as well.
    setAutoFillBackground(true);
    // The stretchable panes share the room by these weights, and short of room they shorten
    // by them: the port description most, as a device path is long. The on-line state, the
    // lamps and the time keep the room of their short texts.
    m_pOnline = AddLabel<QLabel>(ID_PANE_ONLINE, QStringLiteral("OFF-LINE"), 0);
    m_pInterface = AddLabel<CElidedLabel>(ID_PANE_INTERFACE, QStringLiteral("RS-232C"), 1);
    m_pPort = new CPaneIndicator(ID_PANE_PORT, QStringLiteral("COM1,9600,8,N,1"), this);
    addPermanentWidget(m_pPort, 4);
    m_pClients = new CClientSelector(this);
    m_pClients->hide();
    addPermanentWidget(m_pClients);
    m_pCounters = AddLabel<CCounterLabel>(ID_PANE_COUNTERS, QStringLiteral("I : 0, O : 0 "), 2);
    m_pSend = new CPaneIndicator(ID_PANE_SEND, QStringLiteral("Tx"), this);
    addPermanentWidget(m_pSend);
    m_pReceive = new CPaneIndicator(ID_PANE_RECEIVE, QStringLiteral("Rx"), this);
    addPermanentWidget(m_pReceive);
    // The input lines as one group, side by side, so they take little room.
    auto* lines = new QWidget(this);
    auto* linesLayout = new QHBoxLayout(lines);
    linesLayout->setContentsMargins(0, 0, 0, 0);
    linesLayout->setSpacing(0);
    for (std::size_t i = 0; i < m_linePanes.size(); ++i) {
        const ModemLinePane& line = kLineTable[i];
        m_linePanes[i] = new CPaneIndicator(line.id, QString::fromLatin1(line.text), lines);
        m_linePanes[i]->SetLiveToolTip(QString::fromLatin1(line.tip));
        linesLayout->addWidget(m_linePanes[i]);
    }
    addPermanentWidget(lines);
    SetModemLinesUnavailable(QStringLiteral("OFF-LINE"));
    m_pTime = AddLabel<QLabel>(ID_PANE_TIME, QStringLiteral("00:00:00"), 1);
    m_yielding = {lines, m_pTime};
    connect(m_pPort, &CPaneIndicator::clicked, this, &CMonitorStatusBar::portSettingsRequested);
    FitPanes(QWIDGETSIZE_MAX);
}

QSize CMonitorStatusBar::minimumSizeHint() const
{
    return {m_nLeastWidth, QStatusBar::minimumSizeHint().height()};
}

bool CMonitorStatusBar::event(QEvent* event)
{
    const bool handled = QStatusBar::event(event);
    // A pane's text grew or shrank (more digits, "(Paused)"); the layout has just measured it.
    if (event->type() != QEvent::LayoutRequest || m_bFitting)
        return handled;
    const bool allAside = std::all_of(m_yielding.begin(), m_yielding.end(),
                                      [](const QWidget* pane) { return pane->isHidden(); });
    if (allAside) {
        SetLeastWidth(layout()->minimumSize().width());
    } else if (layout()->minimumSize().width() > width() && !m_bFitPending) {
        m_bFitPending = true;
        QTimer::singleShot(0, this, [this] {
            m_bFitPending = false;
            FitPanes(width());
        });
    }
    return handled;
}

void CMonitorStatusBar::resizeEvent(QResizeEvent* event)
{
    FitPanes(event->size().width());
    QStatusBar::resizeEvent(event);
}

void CMonitorStatusBar::FitPanes(int width)
{
    m_bFitting = true;
    // The bar's own layout says what the panes need; it is made anew for each trial.
    for (QWidget* pane : m_yielding)
        pane->setVisible(false);
    reformat();
    const int least = layout()->minimumSize().width();
    for (auto pane = m_yielding.rbegin(); pane != m_yielding.rend(); ++pane) {
        (*pane)->setVisible(true);
        reformat();
        if (layout()->minimumSize().width() > width) {
            (*pane)->setVisible(false);
            reformat();
            break;
        }
    }
    m_bFitting = false;
    SetLeastWidth(least);
}

void CMonitorStatusBar::SetLeastWidth(int width)
{
    if (width == m_nLeastWidth)
        return;
    m_nLeastWidth = width;
    updateGeometry();
}

template <typename Label>
Label* CMonitorStatusBar::AddLabel(int id, const QString& text, int stretch)
{
    auto* label = new Label(text, this);
    label->setObjectName(QString::number(id));
    label->setFrameShape(QFrame::Panel);
    label->setFrameShadow(QFrame::Sunken);
    addPermanentWidget(label, stretch);
    return label;
}

void CMonitorStatusBar::FollowLamps(const CChildFrame* frame)
{
    connect(frame, &CChildFrame::lampsChanged, this, [this, frame] {
        m_pSend->SetLamp(frame->SendLamp());
        m_pReceive->SetLamp(frame->ReceiveLamp());
    });
}

void CMonitorStatusBar::SetOnlineText(const QString& text)
{
    m_pOnline->setText(text);
}

void CMonitorStatusBar::SetInterfaceText(const QString& text)
{
    m_pInterface->setText(text);
}

void CMonitorStatusBar::SetPortText(const QString& text)
{
    m_pPort->SetText(text);
}

void CMonitorStatusBar::SetCountersText(const QString& text)
{
    m_pCounters->setText(text);
}

void CMonitorStatusBar::SetTimeText(const QString& text)
{
    m_pTime->setText(text);
}

void CMonitorStatusBar::SetSendLamp(int value)
{
    m_pSend->SetLamp(value);
}

void CMonitorStatusBar::SetReceiveLamp(int value)
{
    m_pReceive->SetLamp(value);
}

void CMonitorStatusBar::SetModemLines(unsigned status)
{
    for (std::size_t i = 0; i < m_linePanes.size(); ++i)
        m_linePanes[i]->SetLamp((status & kLineTable[i].bit) != 0 ? kLampOn : 0);
}

void CMonitorStatusBar::SetModemLinesUnavailable(const QString& reason)
{
    for (CPaneIndicator* pane : m_linePanes) {
        pane->SetUnavailable(reason);
        if (!reason.isEmpty())
            pane->SetLamp(0);
    }
}

QString CMonitorStatusBar::PaneText(int index) const
{
    if (index >= kFirstLinePaneIndex && index < kFirstLinePaneIndex + kModemLinePanes)
        return m_linePanes[std::size_t(index - kFirstLinePaneIndex)]->Text();
    switch (index) {
    case 0:
        return m_pOnline->text();
    case 1:
        return m_pInterface->text();
    case 2:
        return m_pPort->Text();
    case 3:
        return m_pCounters->text();
    case 4:
        return m_pSend->Text();
    case 5:
        return m_pReceive->Text();
    case 6:
        return m_pTime->text();
    default:
        return QString();
    }
}
