#pragma once

class CEnvironment;
class QMenu;
class QStatusBar;

// What the program lends a monitor window; a window on its own goes without and reads the
// environment settings itself.
struct MonitorServices
{
    // The environment settings, and word of their changes.
    const CEnvironment* pEnvironment = nullptr;
    // The monitor commands' popup, the window's context menu.
    QMenu* pContextMenu = nullptr;
    // Where passing messages show.
    QStatusBar* pStatusMessages = nullptr;
};
