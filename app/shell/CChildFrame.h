#pragma once

#include "CMdiChildFrame.h"

// Child frame of a monitor document; it carries the send and receive lamps. What it shows is
// given to it by whoever makes it (setWidget).
class CChildFrame : public CMdiChildFrame
{
    Q_OBJECT

public:
    explicit CChildFrame(CDocument* document);

    // Lamp values: sending or receiving sets 100, the main frame's lamp timer sets 0.
    int SendLamp() const { return m_nSendLamp; }
    int ReceiveLamp() const { return m_nReceiveLamp; }
    void SetSendLamp(int value);
    void SetReceiveLamp(int value);

signals:
    void lampsChanged();

protected:
    // A new monitor fills the area behind the child windows, less its border, centred.
    QRect FirstGeometry(const QRect& area) const override;

private:
    // A lamp just lit (value above 0) wakes the main frame's lamp timer, which puts it out.
    void LampsChanged(int value);

    int m_nSendLamp = 0;
    int m_nReceiveLamp = 0;
};
