#pragma once

class CCommandActions;
class CCommandKeys;
class QMdiArea;

// What a router of the main frame's commands works with, and all it gets of the frame: the
// commands, the area whose active window they act on, and the guard that keeps their keys from
// the widgets that type.
struct CommandRouting
{
    CCommandActions& actions;
    QMdiArea& area;
    CCommandKeys& keys;
};
