#pragma once

#include "CMdiChildFrame.h"

// Child frame of a monitor document; it carries the send and receive lamps.
class CChildFrame : public CMdiChildFrame
{
    Q_OBJECT

public:
    // Makes what a new monitor frame shows; installed once by the program before any monitor
    // document opens. Without one the frame stays empty.
    using ContentFactory = QWidget* (*)(CChildFrame& frame);
    static void SetContentFactory(ContentFactory factory);

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

    static inline ContentFactory s_contentFactory = nullptr;
    int m_nSendLamp = 0;
    int m_nReceiveLamp = 0;
};
