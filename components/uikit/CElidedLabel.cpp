#include "CElidedLabel.h"

#include <QEvent>
#include <QFontMetricsF>
#include <QPainter>
#include <QtMath>

#include <algorithm>

namespace {
constexpr int kMarginPx = 3;

bool IsDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// Whether two texts differ only in which digits they hold, place by place.
bool SameButDigits(const QString& a, const QString& b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        if (a[i] != b[i] && !(IsDigit(a[i]) && IsDigit(b[i])))
            return false;
    }
    return true;
}

bool DigitsShareAWidth(const QFontMetricsF& metrics)
{
    const qreal zero = metrics.horizontalAdvance(QLatin1Char('0'));
    for (char digit = '1'; digit <= '9'; ++digit) {
        if (metrics.horizontalAdvance(QLatin1Char(digit)) != zero)
            return false;
    }
    return true;
}
} // namespace

CElidedLabel::CElidedLabel(const QString& text, QWidget* parent) : QFrame(parent), m_strText(text)
{
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

bool ReplaceShownText(QWidget* widget, QString& held, const QString& text)
{
    if (text == held)
        return false;
    // Only the size is compared (the least size follows it).
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

int CElidedLabel::TextPx() const
{
    // A count changes many times a second and a measure shapes the whole text (about a tenth of a
    // millisecond). In a font whose digits share one width, as nearly all do, a text that
    // differs from the measured one only in its digits has its width.
    if (m_bMeasured &&
        (m_strMeasured == m_strText || (m_bEvenDigits && SameButDigits(m_strMeasured, m_strText))))
        return m_nMeasuredPx;
    const QFontMetricsF metrics(font());
    if (!m_bMeasured)
        m_bEvenDigits = DigitsShareAWidth(metrics);
    // Eliding measures in fractions of a pixel: a width rounded down would cut the text.
    m_nMeasuredPx = qCeil(metrics.horizontalAdvance(m_strText));
    m_strMeasured = m_strText;
    m_bMeasured = true;
    return m_nMeasuredPx;
}

QString CElidedLabel::ShownText() const
{
    if (TextPx() <= TextRoom())
        return m_strText;
    const QString shown = fontMetrics().elidedText(m_strText, Qt::ElideMiddle, TextRoom());
    // At its least width the pane still says that it holds something.
    return shown.isEmpty() && !m_strText.isEmpty() ? QStringLiteral("…") : shown;
}

QSize CElidedLabel::sizeHint() const
{
    return {TextPx() + FramePx(), fontMetrics().height() + FramePx()};
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

void CElidedLabel::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) {
        // Measured again, digits too, at the next ask.
        m_bMeasured = false;
    }
    QFrame::changeEvent(event);
}

bool CElidedLabel::event(QEvent* event)
{
    // Made when it is asked for: a counter changes many times a second, a tooltip is seldom shown.
    if (event->type() == QEvent::ToolTip)
        setToolTip(ShownText() == m_strText ? QString() : m_strText);
    return QFrame::event(event);
}
