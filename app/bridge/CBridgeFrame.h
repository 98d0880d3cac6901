#pragma once

#include "CMdiChildFrame.h"

class CBridgeWindow;
class QMdiArea;

// Child window of the main frame that holds a bridge, listed in the window menu as
// "BridgeN" like any document; closing it closes both links.
class CBridgeFrame : public CMdiChildFrame
{
    Q_OBJECT

public:
    // A new bridge window in area, not started yet.
    static CBridgeFrame* Open(QMdiArea* area);

    explicit CBridgeFrame(CDocument* document);

    CBridgeWindow* Window() const { return m_pWindow; }

protected:
    // As a new monitor: the area behind the child windows, less its border.
    QRect FirstGeometry(const QRect& area) const override;

private:
    // Replays path as a monitor's capture, beside this window.
    void Replay(const QString& path);

    CBridgeWindow* m_pWindow = nullptr;
};
