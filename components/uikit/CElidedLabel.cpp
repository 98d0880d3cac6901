#include "CElidedLabel.h"

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
    held = text;
    widget->updateGeometry();
    widget->update();
    return true;
}

void CElidedLabel::setText(const QString& text)
{
    if (ReplaceShownText(this, m_strText, text))
        UpdateToolTip();
}

QString CElidedLabel::ShownText() const
{
    const int room = contentsRect().width() - 2 * kMarginPx;
    return fontMetrics().elidedText(m_strText, Qt::ElideMiddle, std::max(room, 0));
}

QSize CElidedLabel::sizeHint() const
{
    const int frame = 2 * frameWidth() + 2 * kMarginPx;
    // Eliding measures in fractions of a pixel: a width rounded down would cut the text.
    const int text = qCeil(QFontMetricsF(font()).horizontalAdvance(m_strText));
    return {text + frame, fontMetrics().height() + frame};
}

QSize CElidedLabel::minimumSizeHint() const
{
    const int frame = 2 * frameWidth() + 2 * kMarginPx;
    return {fontMetrics().horizontalAdvance(QStringLiteral("…")) + frame,
            fontMetrics().height() + frame};
}

void CElidedLabel::paintEvent(QPaintEvent* event)
{
    QFrame::paintEvent(event);
    QPainter painter(this);
    painter.drawText(contentsRect().adjusted(kMarginPx, 0, -kMarginPx, 0),
                     Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, ShownText());
}

void CElidedLabel::resizeEvent(QResizeEvent* event)
{
    QFrame::resizeEvent(event);
    UpdateToolTip();
}

void CElidedLabel::UpdateToolTip()
{
    setToolTip(ShownText() == m_strText ? QString() : m_strText);
}
