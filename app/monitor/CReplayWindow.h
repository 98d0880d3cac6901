#pragma once

#include "CCaptureReader.h"

#include <QWidget>

class CCaptureReplay;
class CDocument;
class CMonitorWindow;
class CReplayBar;

// What a replay's child window shows: an offline monitor window whose panes name the replay,
// with the replay's controls under it. No link is opened for it, and nothing typed or clicked
// in it is sent.
class CReplayWindow : public QWidget
{
    Q_OBJECT

public:
    // document may be null for a window on its own.
    explicit CReplayWindow(CDocument* document = nullptr, QWidget* parent = nullptr);

    // "재생 - NAME", NAME the capture file's name.
    static QString Title(const QString& path);

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
