#pragma once

#include <QFont>
#include <QRect>
#include <QWidget>

// The control-code panel on the left of a monitor view: 11 rows of 3 cells, one per control
// code (NUL..US) and the space. A click on a cell asks for its byte to be sent.
class CControlPanel : public QWidget
{
    Q_OBJECT

public:
    explicit CControlPanel(QWidget* parent);

    // Cell under pos (rows first, then columns), or -1.
    int CellAt(QPoint pos) const;
    QRect CellRect(int cell) const;
    int HoveredCell() const { return m_nHovered; }
    double RowHeight() const;
    // Whether the labels show the code's name above its number.
    bool ShowsNames() const;
    const QFont& LabelFont() const { return m_font; }

signals:
    void cellClicked(int byte);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void SetHovered(int cell);
    void PaintCell(QPainter& painter, int cell);

    QFont m_font;
    int m_nHovered = -1;
    int m_nLastHovered = -1;
    QRect m_hoveredRect;
};
