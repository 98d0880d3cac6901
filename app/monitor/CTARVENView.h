#pragma once

#include "CArrivalClock.h"
#include "CMonitorLink.h"
#include "EnvSettings.h"
#include "LinkSettings.h"
#include "MonitorServices.h"

#include <QDateTime>
#include <QTime>
#include <QTimer>
#include <QWidget>
#include <memory>

class CCaptureSession;
class CExportJob;
enum class ExportKind;
class CChildFrame;
class CControlPanel;
class CDocument;
class CLineSignals;
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
// terminal view beside the control-code panel, hands what the user types or clicks to the link
// and counts bytes. The link does the opening, closing, receiving and sending; the line
// signals (CLineSignals) and the capture files (CCaptureSession) have owners of their own.
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
    // Asks for a file and exports the held traffic, or the selection when there is one.
    void OnExport();
    // Exports as OnExport does after its dialog, on a thread of its own: exportFinished tells
    // the end. False when an export runs already.
    bool ExportTo(const QString& path, ExportKind kind);
    bool IsExporting() const { return m_pExport != nullptr; }
    // Prints the log with its header on target; false, and the user told why, when the
    // document does not start or finish.
    bool PrintTo(CPrintTarget& target);
    // The window's find bar: open it, or find the next or previous match.
    void Find(FindStep step) { emit findRequested(step); }

    // Starts or stops recording the traffic to a capture file.
    void OnCapture();
    CCaptureSession* Capture() const { return m_pCapture; }
    // Makes the view one that only shows a replay of the capture file at path (none yet when
    // empty): it never asks how to connect, its link panes name the replay and the file, and
    // nothing typed or clicked in it goes to its link.
    void ShowReplay(const QString& path);
    bool IsReplay() const { return m_bReplay; }
    // Counts bytes a replay wrote into the terminal view by their recorded direction.
    void CountReplayed(qint64 received, qint64 sent);

    // Shows bytes the link received at arrival: what every received notice does, with the time
    // taken as it came in.
    // peer: the client they came from, marked beside them; -1 for a link of one.
    void ShowReceived(const QByteArray& bytes, const QDateTime& arrival, int peer = -1);

    CLineSignals* LineSignals() const { return m_pLines; }

    // The view becomes the active monitor: its terminal view takes the keys.
    void Activate();

    CMonitorLink* Link() const { return m_pLink.get(); }
    bool IsOnline() const { return m_pLink->IsOnline(); }
    // A connect is under way; the window is not online yet.
    bool IsConnecting() const { return m_pLink->IsConnecting(); }
    bool IsPaused() const { return m_bPaused; }
    bool IsCapturing() const;
    bool IsHexMode() const { return m_bHexMode; }
    bool ShowsControlCodes() const { return m_bControlCodes; }
    bool IsPanelShown() const { return m_bPanelShown; }
    bool ShowsTimeStamps() const;
    qint64 Received() const { return m_nReceived; }
    qint64 Sent() const { return m_nSent; }
    qint64 Lines() const { return m_nLines; }
    QString PortDescription() const;

    CTextViewCtrl* TextView() const { return m_pTextView; }
    CControlPanel* Panel() const { return m_pPanel; }
    CMonitorStatusBar* StatusBar() const { return m_pStatus; }

signals:
    // Online, pause, capture, display mode or panel changed: menus follow.
    void stateChanged();
    // The user asked to search the traffic.
    void findRequested(FindStep step);
    // An export ended: error is empty when the file was written.
    void exportFinished(const QString& path, const QString& error);

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
    void LayoutChildren();
    // Line limit, colours, NUL display and text encoding of the environment settings.
    void ApplyEnv(const EnvSettings& env);

    // What the link tells.
    void OnReceived(const QByteArray& bytes, int peer);
    void OnSent(const QByteArray& bytes);
    void OnOnlineChanged();
    void OnConnectingChanged(bool connecting);
    void OnLinkFailed(CMonitorLink::Failure failure, const QString& reason);

    // A notice in the terminal view, one call, with the given attribute.
    void WriteNotice(const QString& text, char attribute);
    // Shows bytes that went out (with the echo on), or captures them only.
    void ShowSent(const QByteArray& bytes);
    void LightSendLamp();
    void LightReceiveLamp();
    void UpdatePanes();
    void UpdateCounters();
    void OnStatusRefresh();
    // A capture file is shown: the counters are its.
    void OnCaptureShown();
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
    CLineSignals* m_pLines = nullptr;
    CCaptureSession* m_pCapture = nullptr;
    qint64 m_nReceived = 0;
    qint64 m_nSent = 0;
    qint64 m_nLines = 0;
    bool m_bHexMode = false;
    bool m_bControlCodes = false;
    bool m_bPaused = false;
    bool m_bPanelShown = true;
    bool m_bJoinedFrame = false;
    bool m_bReplay = false;
    QString m_strReplay;
    bool m_bForwardingKey = false;
    QTime m_lastReceived;
    CArrivalClock m_arrivalClock;
    QTimer m_statusTimer;
    std::unique_ptr<CExportJob> m_pExport;
    QString m_strExportFolder;
};
