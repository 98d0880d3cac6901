#pragma once

#include "CCaptureReader.h"
#include "CMonitorLink.h"
#include "EnvSettings.h"
#include "LinkSettings.h"
#include "MonitorServices.h"

#include <QDateTime>
#include <QTime>
#include <QTimer>
#include <QWidget>
#include <limits>
#include <memory>

class CChildFrame;
class CControlPanel;
class CDocument;
class CMonitorStatusBar;
class CPrintTarget;
class CTextViewCtrl;

// What the user asked of the find bar.
enum class FindStep
{
    Open,
    Next,
    Previous
};

// The view of a monitor window: shows the traffic of the window's link (CMonitorLink) in a
// terminal view beside the control-code panel, hands what the user types or clicks to the link,
// counts bytes, captures traffic to files and prints. The link does the opening, closing,
// receiving and sending; the view only shows.
class CTARVENView : public QWidget
{
    Q_OBJECT

public:
    // document and frame may be null (a view on its own); status shows the panes.
    CTARVENView(CDocument* document, CChildFrame* frame, CMonitorStatusBar* status,
                QWidget* parent = nullptr, const MonitorServices& services = {});
    ~CTARVENView() override;

    // Link.
    void OnPortOpen();
    void OnPortClose();
    void OnPortSettings();
    void LoadLinkSettings();
    void RefreshConnections();

    // Display.
    void OnChar(const QString& text);
    void OnPanelClick(int byte);
    void OnPause();
    void OnAsciiView();
    void OnHexView();
    void OnControlView();
    void OnClear();
    void OnTogglePanel();
    // Shows or hides the arrival times of received chunks; kept as "ShowTimeStamp".
    void OnTimeStamps();
    void OnPrint();
    // The window's find bar: open it, or find the next or previous match.
    void OnFind() { emit findRequested(FindStep::Open); }
    void OnFindNext() { emit findRequested(FindStep::Next); }
    void OnFindPrevious() { emit findRequested(FindStep::Previous); }
    // Prints the log with its header on target; false, and the user told why, when the
    // document does not start or finish.
    bool PrintTo(CPrintTarget& target);

    // Tools: file transfer on the open link, checksum calculator.
    void OnFileTransfer();
    void OnCheckSum();

    // Capture files.
    void OnCapture();
    void OnCaptureShow();
    void OnShowDocumentFile();
    // Shows a capture file in the terminal view and tells the user why when it cannot; the
    // terminal view's result (0 shown; 1 a big file being read, shown when it is done).
    int ShowCaptureFile(const QString& path);
    // Why a capture file at path cannot be shown or replayed, in the user's words.
    static QString CaptureErrorText(CaptureStatus status, const QString& path);
    // The capture file the view last showed; empty when none.
    QString ShownCapture() const { return m_strShownCapture; }
    // Makes the view one that only shows a replay of the capture file at path (none yet when
    // empty): it never asks how to connect, its link panes name the replay and the file, and
    // nothing typed or clicked in it goes to its link.
    void ShowReplay(const QString& path);
    bool IsReplay() const { return m_bReplay; }
    // Counts bytes a replay wrote into the terminal view by their recorded direction.
    void CountReplayed(qint64 received, qint64 sent);

    // Shows bytes the link received at arrival: what every received notice does, with the time
    // taken as it came in.
    void ShowReceived(const QByteArray& bytes, const QDateTime& arrival);

    // Line signals of a serial link: DTR and RTS as the user set them, a break, and the four
    // input lines in the status bar. Harmless where the device has no modem lines.
    void OnDtr();
    void OnRts();
    void OnBreak();
    // An open serial link whose device has modem lines.
    bool HasLineSignals() const;
    bool IsDtrOn() const { return m_bDtr; }
    bool IsRtsOn() const { return m_bRts; }

    // The view becomes the active monitor: its terminal view takes the keys.
    void Activate();

    CMonitorLink* Link() const { return m_pLink.get(); }
    bool IsOnline() const { return m_pLink->IsOnline(); }
    // A connect is under way; the window is not online yet.
    bool IsConnecting() const { return m_pLink->IsConnecting(); }
    bool IsPaused() const { return m_bPaused; }
    bool IsCapturing() const { return m_bCapturing; }
    bool IsHexMode() const { return m_bHexMode; }
    bool ShowsControlCodes() const { return m_bControlCodes; }
    bool IsPanelShown() const { return m_bPanelShown; }
    bool ShowsTimeStamps() const;
    qint64 Received() const { return m_nReceived; }
    qint64 Sent() const { return m_nSent; }
    qint64 Lines() const { return m_nLines; }
    QString PortDescription() const;
    QString CaptureFolder() const;

    CTextViewCtrl* TextView() const { return m_pTextView; }
    CControlPanel* Panel() const { return m_pPanel; }
    CMonitorStatusBar* StatusBar() const { return m_pStatus; }

signals:
    // Online, pause, capture, display mode or panel changed: menus follow.
    void stateChanged();
    // The user asked to search the traffic.
    void findRequested(FindStep step);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void OnInitialUpdate();
    void InitActionsConnections();
    void InitLinkConnections();
    // Arrival stamps as the settings say.
    void LoadStampSettings();
    // Line signals: follows the link going on-line (the port may be a new one each time).
    void InitLineConnections();
    void ArmLineSignals();
    void OnModemLines(unsigned status);
    // Flips a line the user sets (on: what it is now) through the port's setter.
    void ToggleLine(bool& on, int (CMonitorLink::*set)(bool), const QString& name);
    // The four indicators as the link now allows.
    void ShowLineState();
    // A line command the device refused: a notice, never a box.
    void ReportLineFailure(const QString& what, int error);
    void LayoutChildren();
    // Line limit, colours, NUL display and text encoding of the environment settings.
    void ApplyEnv(const EnvSettings& env);

    // What the link tells.
    void OnReceived(const QByteArray& bytes);
    void OnSent(const QByteArray& bytes);
    void OnOnlineChanged();
    void OnConnectingChanged(bool connecting);
    void OnLinkFailed(CMonitorLink::Failure failure, const QString& reason);

    // A notice in the terminal view, one call, with the given attribute.
    void WriteNotice(const QString& text, char attribute);
    // Shows bytes that went out (with the echo on), or captures them only.
    // Now, in local time, for stamping received bytes.
    QDateTime ArrivalNow();
    void ShowSent(const QByteArray& bytes);
    void LightSendLamp();
    void LightReceiveLamp();
    void UpdatePanes();
    void UpdateCounters();
    void OnStatusRefresh();
    void OnCaptureFailed(const QString& message);
    EnvSettings CurrentEnv() const;
    QString DocumentTitle() const;

    std::unique_ptr<CMonitorLink> m_pLink;
    bool m_bWaitCursor = false;

    MonitorServices m_services;
    CDocument* m_pDocument = nullptr;
    CChildFrame* m_pFrame = nullptr;
    CMonitorStatusBar* m_pStatus = nullptr;
    CTextViewCtrl* m_pTextView = nullptr;
    CControlPanel* m_pPanel = nullptr;
    qint64 m_nReceived = 0;
    qint64 m_nSent = 0;
    qint64 m_nLines = 0;
    bool m_bHexMode = false;
    bool m_bControlCodes = false;
    bool m_bPaused = false;
    bool m_bCapturing = false;
    bool m_bPanelShown = true;
    bool m_bJoinedFrame = false;
    bool m_bReplay = false;
    QString m_strReplay;
    QString m_strShownCapture;
    bool m_bForwardingKey = false;
    bool m_bDtr = true; // raised, as opening a port leaves them
    bool m_bRts = true;
    QTime m_lastReceived;
    // The local time zone's offset, taken again after kUtcOffsetRefreshMs (see ArrivalNow).
    static constexpr qint64 kUtcOffsetRefreshMs = 1000;
    int m_nUtcOffsetS = 0;
    qint64 m_nOffsetTakenMs = std::numeric_limits<qint64>::min() / 2;
    QTimer m_statusTimer;
};
