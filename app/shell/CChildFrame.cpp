#include "CChildFrame.h"

#include "CMainFrame.h"

#include <QStyle>

void CChildFrame::SetContentFactory(ContentFactory factory)
{
    s_contentFactory = factory;
}

CChildFrame::CChildFrame(CDocument* document) : CMdiChildFrame(document)
{
    if (s_contentFactory != nullptr)
        setWidget(s_contentFactory(*this));
}

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
