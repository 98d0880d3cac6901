#include "CChildFrame.h"

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
