#include "CPaneIndicator.h"

#include "CElidedLabel.h"
#include "ColorRef.h"
#include "MonitorConstants.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>

CPaneIndicator::CPaneIndicator(int id, const QString& text, QWidget* parent)
    // A font family's name, kept in Korean.
    : QWidget(parent), m_nId(id), m_strText(text), m_font(QStringLiteral("굴림"))
{
    setObjectName(QString::number(id));
    // It paints all of its rectangle: a blinking lamp draws only itself, not the window
    // around it (in a sub-window, the whole frame and title bar at every blink).
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_font.setPixelSize(kIndicatorFontPx);
    m_shownLayout.setTextFormat(Qt::PlainText);
    if (id == ID_PANE_PORT)
        setCursor(Qt::PointingHandCursor);
    UpdateToolTip();
}

void CPaneIndicator::SetLamp(int value)
{
    const bool wasLit = IsLit();
    m_nLamp = value;
    if (IsLit() != wasLit)
        update();
}

void CPaneIndicator::SetText(const QString& text)
{
    if (ReplaceShownText(this, m_strText, text))
        UpdateToolTip();
}

QString CPaneIndicator::ShownText() const
{
    if (m_nShownWidth != width() || m_strShownFrom != m_strText) {
        m_strShown = QFontMetrics(m_font).elidedText(m_strText, Qt::ElideMiddle,
                                                     std::max(width() - 2 * MarginPx(), 0));
        m_strShownFrom = m_strText;
        m_nShownWidth = width();
        m_shownLayout.setText(m_strShown);
        m_shownLayout.prepare(QTransform(), m_font);
    }
    return m_strShown;
}

int CPaneIndicator::MarginPx() const
{
    // The input lines sit side by side as one group: narrow margins keep it small.
    return IsModemLinePane(m_nId) ? kLineIndicatorMarginPx : kIndicatorMarginPx;
}

void CPaneIndicator::SetUnavailable(const QString& reason)
{
    const bool unavailable = !reason.isEmpty();
    if (unavailable != m_bUnavailable) {
        m_bUnavailable = unavailable;
        update();
    }
    setToolTip(unavailable ? reason : m_strLiveTip);
}

void CPaneIndicator::SetLiveToolTip(const QString& tip)
{
    m_strLiveTip = tip;
    if (!m_bUnavailable)
        setToolTip(tip);
}

void CPaneIndicator::UpdateToolTip()
{
    if (m_nId != ID_PANE_PORT)
        return;
    // The whole description, also when the pane shows it shortened; and what a click does.
    setToolTip(m_strText + u'\n' + tr("클릭하면 포트설정을 엽니다."));
}

bool CPaneIndicator::IsLit() const
{
    return !m_bUnavailable && m_nLamp >= kLampLitThreshold;
}

QSize CPaneIndicator::sizeHint() const
{
    // The exact advance, rounded up: the rounded one can be a pixel short, and the text is then
    // shortened although the pane was made for it.
    const QFontMetricsF metrics(m_font);
    return {static_cast<int>(std::ceil(metrics.horizontalAdvance(m_strText))) + 2 * MarginPx(),
            static_cast<int>(std::ceil(metrics.height())) + 4};
}

QSize CPaneIndicator::minimumSizeHint() const
{
    if (m_nId != ID_PANE_PORT)
        return sizeHint();
    const QFontMetrics metrics(m_font);
    return {metrics.horizontalAdvance(QStringLiteral("…")) + 2 * kIndicatorMarginPx,
            metrics.height() + 4};
}

void CPaneIndicator::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(),
                     IsLit() ? ColourFromRef(kLampColour) : palette().color(QPalette::Button));
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    painter.setPen(m_bUnavailable ? palette().color(QPalette::Disabled, QPalette::WindowText)
                                  : QColor(Qt::black));
    painter.setFont(m_font);
    ShownText(); // brings the layout up to date
    const QSizeF size = m_shownLayout.size();
    painter.drawStaticText(QPointF((width() - size.width()) / 2, (height() - size.height()) / 2),
                           m_shownLayout);
}

void CPaneIndicator::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        emit clicked();
    QWidget::mousePressEvent(event);
}
