#pragma once

#include "TextCodec.h"

#include <QByteArray>
#include <QObject>

// Where the command list sends its prepared strings: the link of the monitor window activated
// last, which the main frame hands out. A sender that keeps sending (a repeat) holds on to it
// with a QPointer and ends when it goes offline or is destroyed.
class CSendTarget : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;
    // Sends already translated bytes on the window's link; its window echoes and counts them as
    // typed bytes. Returns the number of bytes handled, 0 when the link cannot take them.
    virtual int SendTranslated(const QByteArray& bytes) = 0;
    // The window's link is up.
    virtual bool IsOnline() const = 0;
    // The encoding text goes out in on this window's link.
    virtual tsl::TextCodec Codec() const = 0;

signals:
    void onlineChanged(bool online);
};
