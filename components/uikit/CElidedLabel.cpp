#include "CElidedLabel.h"

#include <QEvent>
#include <QFontMetricsF>
#include <QPainter>
#include <QtMath>

#include <algorithm>

namespace {
constexpr int kMarginPx = 3;
}

CElidedLabel::CElidedLabel(const QString& text, QWidget* parent) : QFrame(parent), m_strText(text)
{
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

bool ReplaceShownText(QWidget* widget, QString& held, const QString& text)
{
    if (text == held)
        return false;
    // Only the size is measured (the least size follows it): two measures a count of a counter.
    const QSize size = widget->sizeHint();
    held = text;
    // A new layout repaints a whole status bar: ask for one only when the measures changed, not
    // at each count of a counter whose digits keep their number.
    if (widget->sizeHint() != size)
        widget->updateGeometry();
    widget->update();
    return true;
}

void CElidedLabel::setText(const QString& text)
{
    ReplaceShownText(this, m_strText, text);
}

int CElidedLabel::TextRoom() const
{
    return std::max(contentsRect().width() - 2 * kMarginPx, 0);
}

int CElidedLabel::FramePx() const
{
    return 2 * frameWidth() + 2 * kMarginPx;
}

QString CElidedLabel::ShownText() const
{
    const QString shown = fontMetrics().elidedText(m_strText, Qt::ElideMiddle, TextRoom());
    // At its least width the pane still says that it holds something.
    return shown.isEmpty() && !m_strText.isEmpty() ? QStringLiteral("…") : shown;
}

QSize CElidedLabel::sizeHint() const
{
    // Eliding measures in fractions of a pixel: a width rounded down would cut the text.
    const int text = qCeil(QFontMetricsF(font()).horizontalAdvance(m_strText));
    return {text + FramePx(), fontMetrics().height() + FramePx()};
}

QSize CElidedLabel::minimumSizeHint() const
{
    return {fontMetrics().horizontalAdvance(QStringLiteral("…")) + FramePx(),
            fontMetrics().height() + FramePx()};
}

void CElidedLabel::paintEvent(QPaintEvent* event)
{
    QFrame::paintEvent(event);
    QPainter painter(this);
    painter.drawText(contentsRect().adjusted(kMarginPx, 0, -kMarginPx, 0),
                     Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, ShownText());
}

bool CElidedLabel::event(QEvent* event)
{
    // Made when it is asked for: a counter changes many times a second, a tooltip is seldom shown.
    if (event->type() == QEvent::ToolTip)
        setToolTip(ShownText() == m_strText ? QString() : m_strText);
    return QFrame::event(event);
}
