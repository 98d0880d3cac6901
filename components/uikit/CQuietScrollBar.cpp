#include "CQuietScrollBar.h"

#include <QStyle>
#include <QStyleOptionSlider>

CQuietScrollBar::CQuietScrollBar(Qt::Orientation orientation, QWidget* parent)
    : QScrollBar(orientation, parent)
{}

void CQuietScrollBar::sliderChange(SliderChange change)
{
    if (change == SliderOrientationChange || !m_bDrawn) {
        QScrollBar::sliderChange(change);
        return;
    }
    // A view sets range and value one after the other; what counts is where they end up.
    if (m_bCheckPending)
        return;
    m_bCheckPending = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_bCheckPending = false;
            if (CurrentLook() != m_drawn)
                update();
        },
        Qt::QueuedConnection);
}

void CQuietScrollBar::paintEvent(QPaintEvent* event)
{
    QScrollBar::paintEvent(event);
    m_drawn = CurrentLook();
    m_bDrawn = true;
}

CQuietScrollBar::Look CQuietScrollBar::CurrentLook() const
{
    QStyleOptionSlider option;
    initStyleOption(&option);
    return {
        style()->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarSlider, this),
        value() == minimum(), value() == maximum()};
}
