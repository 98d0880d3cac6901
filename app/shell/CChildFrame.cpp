#include "CChildFrame.h"

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
    emit lampsChanged();
}

void CChildFrame::SetReceiveLamp(int value)
{
    m_nReceiveLamp = value;
    emit lampsChanged();
}
