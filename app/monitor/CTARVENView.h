#pragma once

#include "CSendTarget.h"
#include "EnvSettings.h"
#include "LinkSettings.h"

#include <QTime>
#include <QTimer>
#include <QWidget>
#include <memory>

class CChildFrame;
class CClientSock;
class CLinkWriter;
class CControlPanel;
class CDocument;
class CMainFrame;
class CMonitorStatusBar;
class CRS232Ctrl;
class CServerSock;
class CTextViewCtrl;
class CTransportEvent;
class QPrinter;

// The view of a monitor window: owns the window's one link (serial port, TCP client or TCP
// server), shows its traffic in a terminal view beside the control-code panel, sends what the
// user types or clicks, counts bytes, captures traffic to files and prints.
class CTARVENView : public QWidget, public CSendTarget
{
    Q_OBJECT

public:
    // document and frame may be null (a view on its own); status shows the panes.
    CTARVENView(CDocument* document, CChildFrame* frame, CMonitorStatusBar* status,
                QWidget* parent = nullptr);
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
    void OnPrint();
    // Prints the log with its header on printer; false when the printer cannot start.
    bool PrintTo(QPrinter& printer);

    // Tools: file transfer on the open link, checksum calculator.
    void OnFileTransfer();
    void OnCheckSum();

    // Capture files.
    void OnCapture();
    void OnCaptureShow();
    void OnShowDocumentFile();
    // Shows a capture file in the terminal view and tells the user why when it cannot; the
    // terminal view's result (0 shown).
    int ShowCaptureFile(const QString& path);

    int SendTranslated(const QByteArray& bytes) override;

    // The view becomes the active monitor: its terminal view takes the keys.
    void Activate();

    bool IsOnline() const override { return m_bOnline; }
    // A connect is under way; the window is not online yet.
    bool IsConnecting() const { return m_nConnectTimer != 0; }
    bool IsPaused() const { return m_bPaused; }
    bool IsCapturing() const { return m_bCapturing; }
    bool IsHexMode() const { return m_bHexMode; }
    bool ShowsControlCodes() const { return m_bControlCodes; }
    bool IsPanelShown() const { return m_bPanelShown; }
    qint64 Received() const { return m_nReceived; }
    qint64 Sent() const { return m_nSent; }
    qint64 Lines() const { return m_nLines; }
    const LinkSettings& Link() const { return m_link; }
    QString PortDescription() const;
    QString CaptureFolder() const;

    CTextViewCtrl* TextView() const { return m_pTextView; }
    CControlPanel* Panel() const { return m_pPanel; }
    CMonitorStatusBar* StatusBar() const { return m_pStatus; }
    CRS232Ctrl* SerialPort() const { return m_pSerial.get(); }
    CClientSock* ClientSocket() const { return m_pClient.get(); }
    CServerSock* ServerSocket() const { return m_pServer.get(); }

signals:
    // Online, pause, capture, display mode or panel changed: menus follow.
    void stateChanged();

protected:
    void customEvent(QEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void OnInitialUpdate();
    void InitActionsConnections();
    void LayoutChildren();

    // Link opening by kind.
    void OpenClient();
    void OpenServer();
    void OpenSerial();
    void StopConnectWait();
    void DisposeClient();
    void DisposeSerial();
    // A writer for the link that is up, or null.
    std::unique_ptr<CLinkWriter> MakeLinkWriter();
    // The socket of a notice, if it is one of ours; address gets its peer's address.
    CClientSock* FindSocket(const CTransportEvent& event, QString* address = nullptr) const;
    void SetOnline(bool online);

    // Transport notices.
    void OnCommReceived();
    void OnSerialVanished();
    void OnReceiveSocket(const CTransportEvent& event);
    void OnAcceptSocket(const CTransportEvent& event);
    void OnCloseSocket(const CTransportEvent& event);
    void OnConnectSocket(const CTransportEvent& event);
    void OnConnectTimer();

    // Sends on the link as a typed byte goes: serial port, client, or every connected client.
    void SendOnLink(const char* data, int n);
    // A notice in the terminal view, one call, with the given attribute.
    void WriteNotice(const QString& text, char attribute);
    void ShowReceived(const unsigned char* data, int n);
    void CountReceived(qint64 n);
    void LightSendLamp();
    void LightReceiveLamp();
    void UpdatePanes();
    void UpdateCounters();
    void OnStatusRefresh();
    void OnCaptureFailed(const QString& message);
    EnvSettings CurrentEnv() const;
    CMainFrame* MainFrame() const;
    QString DocumentTitle() const;

    LinkSettings m_link;
    std::unique_ptr<CServerSock> m_pServer;
    std::unique_ptr<CClientSock> m_pClient;
    std::unique_ptr<CRS232Ctrl> m_pSerial;
    bool m_bOnline = false;
    int m_nConnectTimer = 0; // id of the running connect timer, 0 when none runs
    int m_nConnectTicks = 0;
    bool m_bWaitCursor = false;
    // While a file transfer runs its writer refers to the link: a link that goes away
    // meanwhile is closed at once but freed only after the transfer.
    bool m_bTransferring = false;
    std::unique_ptr<CRS232Ctrl> m_pParkedSerial;
    std::unique_ptr<CClientSock> m_pParkedClient;

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
    bool m_bMenuSet = false;
    bool m_bForwardingKey = false;
    QTime m_lastReceived;
    QTimer m_statusTimer;
};
