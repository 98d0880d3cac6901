#include "CQuietScrollBar.h"

#include <QStyle>
#include <QStyleOptionSlider>

CQuietScrollBar::CQuietScrollBar(Qt::Orientation orientation, QWidget* parent)
    : QScrollBar(orientation, parent)
{
    m_checkTimer.setSingleShot(true);
    connect(&m_checkTimer, &QTimer::timeout, this, &CQuietScrollBar::CheckLook);
}

void CQuietScrollBar::sliderChange(SliderChange change)
{
    if (change == SliderOrientationChange || !m_bDrawn || isSliderDown()) {
        QScrollBar::sliderChange(change);
        return;
    }
    // A view sets range and value one after the other; what counts is where they end up. The
    // look is taken in the pass of a change (a frame of the view), so that a stream wakes
    // nothing more; the timer of a longer wait only draws where a burst of changes ended.
    if (!m_sinceCheck.isValid() || m_sinceCheck.elapsed() >= kLookGapMs)
        m_checkTimer.start(0);
    else if (!m_checkTimer.isActive())
        m_checkTimer.start(kLookGapMs);
}

void CQuietScrollBar::CheckLook()
{
    m_sinceCheck.start();
    if (CurrentLook() != m_drawn)
        update();
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
