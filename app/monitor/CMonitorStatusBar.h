#pragma once

#include "MonitorConstants.h"

#include <QStatusBar>

#include <array>

class CChildFrame;
class CClientSelector;
class CCounterLabel;
class CElidedLabel;
class CPaneIndicator;
class QLabel;

// Status bar of a monitor window: on-line state, link kind, port description, a server's
// clients with the choice where sends go, counters, the
// send and receive lamps, the input lines of a serial link (CTS, DSR, DCD, RI) and the time of
// the last received data. In a narrow window the texts
// shorten with an ellipsis (the counters keep every digit); the on-line state and the lamps
// always keep their room. Narrower still, as in six windows tiled side by side, the input lines
// and then the time step aside until there is room for them again, so that the bar fits the
// window instead of being cut.
class CMonitorStatusBar : public QStatusBar
{
    Q_OBJECT

public:
    explicit CMonitorStatusBar(QWidget* parent);

    // The lamps follow the frame's lamp values from now on.
    void FollowLamps(const CChildFrame* frame);

    void SetOnlineText(const QString& text);
    void SetInterfaceText(const QString& text);
    void SetPortText(const QString& text);
    void SetCountersText(const QString& text);
    void SetTimeText(const QString& text);
    void SetSendLamp(int value);
    void SetReceiveLamp(int value);
    // The input lines lit as the MS_* bits of status say.
    void SetModemLines(unsigned status);
    // Greys the input lines with reason as their tool tip; empty: they are live.
    void SetModemLinesUnavailable(const QString& reason);

    // Pane text by index: 0..6 as ever, then 7..10 for CTS, DSR, DCD and RI.
    QString PaneText(int index) const;
    CPaneIndicator* PortPane() const { return m_pPort; }
    // The clients of a server and the choice where sends go; hidden for other links.
    CClientSelector* ClientSelector() const { return m_pClients; }
    CPaneIndicator* SendPane() const { return m_pSend; }
    CPaneIndicator* ReceivePane() const { return m_pReceive; }
    // CTS, DSR, DCD, RI by index 0..3.
    CPaneIndicator* LinePane(int index) const { return m_linePanes.at(index); }

    QSize minimumSizeHint() const override;

signals:
    // The port description was clicked: the user wants the port settings.
    void portSettingsRequested();

protected:
    bool event(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    template <typename Label> Label* AddLabel(int id, const QString& text, int stretch);
    // Shows the panes that step aside as far as width allows them.
    void FitPanes(int width);
    void SetLeastWidth(int width);

    // The input lines and the time, in the order they step aside.
    std::array<QWidget*, 2> m_yielding = {};
    // The width the bar needs with both of them aside.
    int m_nLeastWidth = 0;
    bool m_bFitting = false;
    bool m_bFitPending = false;

    QLabel* m_pOnline = nullptr;
    CElidedLabel* m_pInterface = nullptr;
    CPaneIndicator* m_pPort = nullptr;
    CClientSelector* m_pClients = nullptr;
    CCounterLabel* m_pCounters = nullptr;
    CPaneIndicator* m_pSend = nullptr;
    CPaneIndicator* m_pReceive = nullptr;
    std::array<CPaneIndicator*, kModemLinePanes> m_linePanes = {};
    QLabel* m_pTime = nullptr;
};
