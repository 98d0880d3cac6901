#include "CChildFrame.h"

#include "CMainFrame.h"

void CChildFrame::SetContentFactory(ContentFactory factory)
{
    s_contentFactory = factory;
}

CChildFrame::CChildFrame(CDocument* document) : CMdiChildFrame(document)
{
    if (s_contentFactory != nullptr)
        setWidget(s_contentFactory(*this));
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
