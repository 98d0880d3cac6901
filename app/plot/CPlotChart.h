#pragma once

#include <QChartView>
#include <QList>
#include <QPointF>
#include <QRectF>

class QLineSeries;
class QValueAxis;

// The chart of a live plot (Qt Charts): a line per series against a value axis of time or line
// number, with the user's zoom and pan. It draws what it is given; what to draw and which
// ranges to show while it follows the data is the panel's to say.
//
// Mouse: a box drawn with the left button zooms into it, the right button zooms out, the wheel
// zooms the time axis about the pointer (with Shift the value axis, with Ctrl both), dragging
// with the middle button or with Shift and the left button pans. Keys: + and - zoom, the arrows
// pan, Home follows the data again, Space pauses.
class CPlotChart : public QChartView
{
    Q_OBJECT

public:
    explicit CPlotChart(QWidget* parent = nullptr);

    // Makes one line per name, in order, keeping the lines there are.
    void SetSeries(const QStringList& names);
    int SeriesCount() const { return int(m_series.size()); }
    void SetPoints(int series, const QList<QPointF>& points);
    QList<QPointF> Points(int series) const;
    // The text of a line's legend entry.
    void SetLegendText(int series, const QString& text);
    QString LegendText(int series) const;
    void SetAxisTitle(const QString& title);
    // The shown ranges, x as the rectangle's width and y as its height; setting them is not
    // the user's doing.
    void SetRanges(const QRectF& ranges);
    QRectF Ranges() const;
    // The chart as it is shown, drawn with smooth lines.
    QPixmap Picture();
    // How many columns the plot area has: more points than two per column show nothing more.
    int Columns() const;
    // A word in place of the title while there is nothing to draw; empty for none.
    void SetHint(const QString& hint);

signals:
    // The user zoomed or panned: the ranges are the user's from now on.
    void rangesChangedByUser();
    void followRequested();
    void pauseRequested();

protected:
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void OnAxisRangeChanged();
    // Scales a range about at by factor (below 1 zooms in).
    static void Scale(double& low, double& high, double at, double factor);
    void Zoom(double factor, bool x, bool y, QPointF at);
    // Moves the ranges by a distance in pixels of the plot area.
    void Pan(QPointF pixels);

    QValueAxis* m_pAxisX = nullptr;
    QValueAxis* m_pAxisY = nullptr;
    QList<QLineSeries*> m_series;
    bool m_bSettingRanges = false;
    bool m_bPanning = false;
    QPointF m_lastPan;
};
