#pragma once

#include <QByteArray>

// Where the command list sends its prepared strings: the link of the monitor window activated
// last, which the main frame hands out.
class CSendTarget
{
public:
    virtual ~CSendTarget() = default;
    // Sends already translated bytes on the window's link; its window echoes and counts them as
    // typed bytes. Returns the number of bytes handled, 0 when the link cannot take them.
    virtual int SendTranslated(const QByteArray& bytes) = 0;
    // The window's link is up.
    virtual bool IsOnline() const = 0;
};
