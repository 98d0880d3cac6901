#pragma once

#include <QByteArray>

// Where the command list sends its prepared strings: the monitor window activated last.
class CSendTarget
{
public:
    virtual ~CSendTarget() = default;
    // Sends already translated bytes on the window's link, echoing and counting them as typed
    // bytes. Returns the number of bytes handled, 0 when the window cannot take them.
    virtual int SendTranslated(const QByteArray& bytes) = 0;
    // The window's link is up.
    virtual bool IsOnline() const = 0;
};
