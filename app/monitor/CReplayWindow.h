#pragma once

#include "CCaptureReader.h"

#include <QWidget>

class CCaptureReplay;
class CMonitorWindow;
class CReplayBar;

// A monitor window of its own that replays a capture file: an offline monitor view with the
// replay's controls under it. No link is opened for it.
class CReplayWindow : public QWidget
{
    Q_OBJECT

public:
    explicit CReplayWindow(QWidget* parent = nullptr);

    // Opens path for replay, still paused at its start.
    CaptureStatus Open(const QString& path);

    CMonitorWindow* Monitor() const { return m_pMonitor; }
    CCaptureReplay* Replay() const { return m_pReplay; }
    CReplayBar* Bar() const { return m_pBar; }

private:
    CMonitorWindow* m_pMonitor = nullptr;
    CCaptureReplay* m_pReplay = nullptr;
    CReplayBar* m_pBar = nullptr;
};
