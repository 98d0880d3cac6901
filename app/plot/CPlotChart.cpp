#include "CPlotChart.h"

#include <QChart>
#include <QKeyEvent>
#include <QLegend>
#include <QLineSeries>
#include <QMouseEvent>
#include <QValueAxis>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace {

constexpr double kWheelZoomIn = 0.8; // one wheel step shows this much of the range
constexpr double kKeyPanShare = 0.1; // an arrow key moves a tenth of the range
constexpr int kFallbackColumns = 600;

} // namespace

CPlotChart::CPlotChart(QWidget* parent) : QChartView(parent)
{
    setObjectName(QStringLiteral("PlotChart"));
    auto* chart = new QChart();
    chart->setMargins(QMargins(4, 4, 4, 4));
    chart->legend()->setAlignment(Qt::AlignBottom);
    m_pAxisX = new QValueAxis(chart);
    m_pAxisY = new QValueAxis(chart);
    chart->addAxis(m_pAxisX, Qt::AlignBottom);
    chart->addAxis(m_pAxisY, Qt::AlignLeft);
    m_pAxisX->setRange(0, 1);
    m_pAxisY->setRange(0, 1);
    setChart(chart);
    // Smooth lines cost twice the painting of plain ones, 25 times a second; pictures that are
    // saved are drawn smooth (Picture).
    setRenderHint(QPainter::Antialiasing, false);
    setRubberBand(QChartView::RectangleRubberBand);
    setFocusPolicy(Qt::StrongFocus);
    connect(m_pAxisX, &QValueAxis::rangeChanged, this, &CPlotChart::OnAxisRangeChanged);
    connect(m_pAxisY, &QValueAxis::rangeChanged, this, &CPlotChart::OnAxisRangeChanged);
}

void CPlotChart::SetSeries(const QStringList& names)
{
    if (names.isEmpty()) {
        chart()->removeAllSeries();
        m_series.clear();
        return;
    }
    while (m_series.size() < names.size()) {
        auto* series = new QLineSeries(chart());
        series->setName(names.at(m_series.size()));
        chart()->addSeries(series);
        series->attachAxis(m_pAxisX);
        series->attachAxis(m_pAxisY);
        m_series.append(series);
    }
}

void CPlotChart::SetPoints(int series, const QList<QPointF>& points)
{
    if (series >= 0 && series < m_series.size())
        m_series[series]->replace(points);
}

QList<QPointF> CPlotChart::Points(int series) const
{
    return series >= 0 && series < m_series.size() ? m_series[series]->points() : QList<QPointF>();
}

void CPlotChart::SetLegendText(int series, const QString& text)
{
    if (series >= 0 && series < m_series.size() && m_series[series]->name() != text)
        m_series[series]->setName(text);
}

QString CPlotChart::LegendText(int series) const
{
    return series >= 0 && series < m_series.size() ? m_series[series]->name() : QString();
}

void CPlotChart::SetAxisTitle(const QString& title)
{
    m_pAxisX->setTitleText(title);
}

void CPlotChart::SetRanges(const QRectF& ranges)
{
    m_bSettingRanges = true;
    m_pAxisX->setRange(ranges.left(), ranges.right());
    m_pAxisY->setRange(ranges.top(), ranges.bottom());
    m_bSettingRanges = false;
}

QRectF CPlotChart::Ranges() const
{
    return QRectF(QPointF(m_pAxisX->min(), m_pAxisY->min()),
                  QPointF(m_pAxisX->max(), m_pAxisY->max()));
}

QPixmap CPlotChart::Picture()
{
    setRenderHint(QPainter::Antialiasing, true);
    const QPixmap picture = grab();
    setRenderHint(QPainter::Antialiasing, false);
    return picture;
}

int CPlotChart::Columns() const
{
    const int width = int(chart()->plotArea().width());
    return width > 0 ? width : kFallbackColumns;
}

void CPlotChart::SetHint(const QString& hint)
{
    if (chart()->title() != hint)
        chart()->setTitle(hint);
}

void CPlotChart::OnAxisRangeChanged()
{
    if (!m_bSettingRanges)
        emit rangesChangedByUser();
}

void CPlotChart::Scale(double& low, double& high, double at, double factor)
{
    const double newLow = at - (at - low) * factor;
    const double newHigh = at + (high - at) * factor;
    // A range a double cannot tell apart any more is as far as zooming goes.
    if (newHigh - newLow > std::max(std::abs(at), 1.0) * 1e-12) {
        low = newLow;
        high = newHigh;
    }
}

void CPlotChart::Zoom(double factor, bool x, bool y, QPointF at)
{
    const QRectF area = chart()->plotArea();
    if (area.width() <= 0 || area.height() <= 0)
        return;
    const QRectF ranges = Ranges();
    double x0 = ranges.left();
    double x1 = ranges.right();
    double y0 = ranges.top();
    double y1 = ranges.bottom();
    const double atX = x0 + (at.x() - area.left()) / area.width() * (x1 - x0);
    const double atY = y1 - (at.y() - area.top()) / area.height() * (y1 - y0);
    if (x)
        Scale(x0, x1, atX, factor);
    if (y)
        Scale(y0, y1, atY, factor);
    m_pAxisX->setRange(x0, x1);
    m_pAxisY->setRange(y0, y1);
}

void CPlotChart::Pan(QPointF pixels)
{
    const QRectF area = chart()->plotArea();
    if (area.width() <= 0 || area.height() <= 0)
        return;
    const QRectF ranges = Ranges();
    // Content follows the pointer: moving it right shows earlier values, down higher ones.
    const double dx = -pixels.x() / area.width() * ranges.width();
    const double dy = pixels.y() / area.height() * ranges.height();
    m_pAxisX->setRange(ranges.left() + dx, ranges.right() + dx);
    m_pAxisY->setRange(ranges.top() + dy, ranges.bottom() + dy);
}

void CPlotChart::wheelEvent(QWheelEvent* event)
{
    const int steps = event->angleDelta().y() / 120;
    if (steps == 0) {
        event->ignore();
        return;
    }
    const Qt::KeyboardModifiers modifiers = event->modifiers();
    const bool both = modifiers & Qt::ControlModifier;
    const bool valuesOnly = modifiers & Qt::ShiftModifier;
    const QPointF at = chart()->mapFromScene(mapToScene(event->position().toPoint()));
    Zoom(std::pow(kWheelZoomIn, steps), both || !valuesOnly, both || valuesOnly, at);
    event->accept();
}

void CPlotChart::mousePressEvent(QMouseEvent* event)
{
    const bool pan =
        event->button() == Qt::MiddleButton ||
        (event->button() == Qt::LeftButton && (event->modifiers() & Qt::ShiftModifier));
    if (!pan) {
        QChartView::mousePressEvent(event);
        return;
    }
    setFocus(Qt::MouseFocusReason);
    m_bPanning = true;
    m_lastPan = event->position();
    setCursor(Qt::ClosedHandCursor);
    event->accept();
}

void CPlotChart::mouseMoveEvent(QMouseEvent* event)
{
    if (!m_bPanning) {
        QChartView::mouseMoveEvent(event);
        return;
    }
    Pan(event->position() - m_lastPan);
    m_lastPan = event->position();
    event->accept();
}

void CPlotChart::mouseReleaseEvent(QMouseEvent* event)
{
    if (!m_bPanning) {
        QChartView::mouseReleaseEvent(event);
        return;
    }
    m_bPanning = false;
    unsetCursor();
    event->accept();
}

void CPlotChart::keyPressEvent(QKeyEvent* event)
{
    const QRectF area = chart()->plotArea();
    const QPointF step(area.width() * kKeyPanShare, area.height() * kKeyPanShare);
    switch (event->key()) {
    case Qt::Key_Plus:
    case Qt::Key_Equal:
        Zoom(kWheelZoomIn, true, false, area.center());
        break;
    case Qt::Key_Minus:
        Zoom(1 / kWheelZoomIn, true, false, area.center());
        break;
    case Qt::Key_Left:
        Pan(QPointF(step.x(), 0));
        break;
    case Qt::Key_Right:
        Pan(QPointF(-step.x(), 0));
        break;
    case Qt::Key_Up:
        Pan(QPointF(0, step.y()));
        break;
    case Qt::Key_Down:
        Pan(QPointF(0, -step.y()));
        break;
    case Qt::Key_Home:
        emit followRequested();
        break;
    case Qt::Key_Space:
        emit pauseRequested();
        break;
    default:
        QChartView::keyPressEvent(event);
        return;
    }
    event->accept();
}
