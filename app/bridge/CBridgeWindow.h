#pragma once

#include "CBridge.h"
#include "LinkSettings.h"

#include <QTimer>
#include <QWidget>

#include <array>
#include <memory>

class CEnvironment;
class CFindBar;
class CTextViewCtrl;
class QAction;
class QLabel;
struct EnvSettings;

// A bridge (tap) window: two links, each chosen with the port settings dialog, joined by a
// CBridge; both directions shown in one terminal view in the colours of sent (A→B) and
// received (B→A) bytes, with their times, counts and holds in the status line; captured with
// the direction of each byte, searched and replayed as a monitor's capture.
class CBridgeWindow : public QWidget
{
    Q_OBJECT

public:
    explicit CBridgeWindow(QWidget* parent = nullptr);
    ~CBridgeWindow() override;

    // Colours, line limit and encoding follow the environment's, now and when they change.
    void SetEnvironment(const CEnvironment* environment);

    const LinkSettings& Side(CBridge::Side side) const { return m_sides[side]; }
    // Takes the side's settings and keeps them for the next window; a running bridge starts
    // again with them.
    void SetSide(CBridge::Side side, const LinkSettings& settings);
    // The port settings dialog for the side; true when confirmed.
    bool ChooseSide(CBridge::Side side);
    // Asks for side A and side B in turn, then starts; nothing when either is cancelled.
    void ChooseAndStart();

    // Opens both sides; false, with the reason shown, when one does not open.
    bool Start();
    void Stop();
    bool IsRunning() const { return m_pBridge != nullptr && m_pBridge->IsRunning(); }
    CBridge* Bridge() const { return m_pBridge.get(); }

    CTextViewCtrl* View() const { return m_pView; }
    CFindBar* FindBar() const { return m_pFindBar; }
    // The status line: counts of each direction, the sides' states, what is held back.
    QString StatusText() const;
    // The last thing a side told ("A lost: ...").
    QString NoticeText() const;

    // Starts capturing both directions into path; false, with the reason shown, when it could
    // not start.
    bool StartCapture(const QString& path);
    void StopCapture();
    bool IsCapturing() const;
    // The capture file written last, for a replay.
    const QString& CapturePath() const { return m_strCapturePath; }

    void SetHexView(bool on);
    void SetTimeStamps(bool on);

signals:
    // The user asked to replay a capture file as a monitor's.
    void replayRequested(const QString& path);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreateControls();
    void InitActionsConnections();
    void ApplyEnvironment(const EnvSettings& env);
    void OnChunk(CBridge::Direction direction, const QByteArray& bytes, qint64 timeMs);
    void OnCaptureToggled(bool on);
    void OnReplay();
    void UpdateActions();
    void UpdateStatus();

    std::array<LinkSettings, 2> m_sides;
    std::unique_ptr<CBridge> m_pBridge;
    const CEnvironment* m_pEnvironment = nullptr;
    CTextViewCtrl* m_pView = nullptr;
    CFindBar* m_pFindBar = nullptr;
    QLabel* m_pStatus = nullptr;
    QLabel* m_pNotice = nullptr;
    std::array<QLabel*, 2> m_legend = {};
    QAction* m_pSettingsA = nullptr;
    QAction* m_pSettingsB = nullptr;
    QAction* m_pStart = nullptr;
    QAction* m_pStop = nullptr;
    QAction* m_pClear = nullptr;
    QAction* m_pHex = nullptr;
    QAction* m_pStamps = nullptr;
    QAction* m_pCapture = nullptr;
    QAction* m_pReplay = nullptr;
    QAction* m_pFind = nullptr;
    QAction* m_pFindNext = nullptr;
    QString m_strCapturePath;
    QString m_strNotice;
    // The status line follows the counts at most this often.
    QTimer m_statusTimer;
};
