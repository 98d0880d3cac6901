#include "CChildFrame.h"

#include "CMainFrame.h"

#include <QStyle>

CChildFrame::CChildFrame(CDocument* document) : CMdiChildFrame(document) {}

QRect CChildFrame::FirstGeometry(const QRect& area) const
{
    const int border = style()->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth, nullptr, this);
    return area.adjusted(border, border, -border, -border);
}

void CChildFrame::SetSendLamp(int value)
{
    m_nSendLamp = value;
    LampsChanged(value);
}

void CChildFrame::SetReceiveLamp(int value)
{
    m_nReceiveLamp = value;
    LampsChanged(value);
}

void CChildFrame::LampsChanged(int value)
{
    if (value > 0) {
        if (auto* mainFrame = qobject_cast<CMainFrame*>(window()))
            mainFrame->WakeLampTimer();
    }
    emit lampsChanged();
}
