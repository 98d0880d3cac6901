#pragma once

#include "CMdiChildFrame.h"

class CReplayWindow;
class QMdiArea;

// Child window of the main frame that replays a capture file, listed in the window menu as
// "재생 - NAME" like any document. Closing it stops the replay; it never touches a link.
class CReplayFrame : public CMdiChildFrame
{
    Q_OBJECT

public:
    // Opens a replay of path in area and starts it, or brings forward the replay of path open
    // already. Null when the file cannot be replayed; error then says why.
    static CReplayFrame* Open(const QString& path, QMdiArea* area, QString* error);

    explicit CReplayFrame(CDocument* document);

    CReplayWindow* Window() const { return m_pWindow; }

protected:
    // As a new monitor: the area behind the child windows, less its border.
    QRect FirstGeometry(const QRect& area) const override;

private:
    CReplayWindow* m_pWindow = nullptr;
};
