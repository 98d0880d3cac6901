#include "CChildFrame.h"

#include <QMdiArea>
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

void CChildFrame::showEvent(QShowEvent* event)
{
    CMdiChildFrame::showEvent(event);
    if (m_bPlaced)
        return;
    m_bPlaced = true;
    const QMdiArea* area = mdiArea();
    // A window that opens maximised, as its neighbours are, stays so.
    if (area == nullptr || isMaximized())
        return;
    const int border = style()->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth, nullptr, this);
    setGeometry(area->viewport()->rect().adjusted(border, border, -border, -border));
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
