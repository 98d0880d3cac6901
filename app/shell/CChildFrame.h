#pragma once

#include "CMdiChildFrame.h"

// Child frame of a monitor document; it carries the send and receive lamps.
class CChildFrame : public CMdiChildFrame
{
    Q_OBJECT

public:
    using CMdiChildFrame::CMdiChildFrame;

    // Lamp values: sending or receiving sets 100, the main frame's lamp timer sets 0.
    int SendLamp() const { return m_nSendLamp; }
    int ReceiveLamp() const { return m_nReceiveLamp; }
    void SetSendLamp(int value);
    void SetReceiveLamp(int value);

signals:
    void lampsChanged();

private:
    int m_nSendLamp = 0;
    int m_nReceiveLamp = 0;
};
