#include "CControlPanel.h"

#include "ColorRef.h"
#include "ControlCodeNames.h"
#include "MonitorConstants.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

namespace {

// The control codes by the names the terminal view shows them with; the last cell is the space.
QString CellName(int cell)
{
    const char* name = ControlCodeName(static_cast<uint8_t>(cell));
    return name != nullptr ? QString::fromLatin1(name) : QStringLiteral("SPC");
}

} // namespace

// A font family's name, kept in Korean.
CControlPanel::CControlPanel(QWidget* parent) : QWidget(parent), m_font(QStringLiteral("굴림"))
{
    setObjectName(QStringLiteral("ControlPanel"));
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

double CControlPanel::RowHeight() const
{
    return height() / double(kPanelRows);
}

bool CControlPanel::ShowsNames() const
{
    return RowHeight() > kPanelTwoLineRowPx;
}

QRect CControlPanel::CellRect(int cell) const
{
    const int row = cell / kPanelColumns;
    const int column = cell % kPanelColumns;
    const double h = RowHeight();
    const int left = int(column * kPanelColumnWidthPx);
    const int top = int(row * h);
    const int right = int((column + 1) * kPanelColumnWidthPx);
    const int bottom = int((row + 1) * h);
    return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
}

int CControlPanel::CellAt(QPoint pos) const
{
    for (int cell = 0; cell < kPanelCells; ++cell) {
        if (CellRect(cell).contains(pos))
            return cell;
    }
    return -1;
}

void CControlPanel::resizeEvent(QResizeEvent* event)
{
    m_font.setPixelSize(std::max(1, std::min(height() / kPanelRows, kPanelMaxFontPx)));
    QWidget::resizeEvent(event);
}

void CControlPanel::PaintCell(QPainter& painter, int cell)
{
    const QRect box = CellRect(cell);
    if (cell == m_nHovered) {
        painter.fillRect(box, ColourFromRef(kPanelHoverColour));
        m_hoveredRect = box;
    }
    painter.setPen(Qt::white);
    painter.drawLine(box.topLeft(), box.topRight());
    painter.drawLine(box.topLeft(), box.bottomLeft());
    painter.setPen(ColourFromRef(kPanelShadowColour));
    painter.drawLine(box.bottomLeft(), box.bottomRight());
    painter.drawLine(box.topRight(), box.bottomRight());

    painter.setPen(Qt::white);
    const QString code = QStringLiteral("%1").arg(cell, 2, 16, QLatin1Char('0')).toUpper();
    if (ShowsNames()) {
        const QString label = CellName(cell) + u'\n' + code;
        painter.drawText(box.adjusted(2, 2, -2, -2), Qt::AlignCenter | Qt::TextWordWrap, label);
    } else {
        painter.drawText(box, Qt::AlignCenter | Qt::TextSingleLine, code);
    }
}

void CControlPanel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), ColourFromRef(kPanelColour));
    painter.setFont(m_font);
    for (int cell = 0; cell < kPanelCells; ++cell)
        PaintCell(painter, cell);
    painter.setPen(QPen(Qt::black, 2));
    painter.drawLine(width() - 1, 0, width() - 1, height());
}

void CControlPanel::SetHovered(int cell)
{
    if (cell == m_nLastHovered)
        return;
    if (!m_hoveredRect.isNull())
        update(m_hoveredRect);
    m_nHovered = cell;
    m_nLastHovered = cell;
    m_hoveredRect = cell >= 0 ? CellRect(cell) : QRect();
    if (cell >= 0)
        update(m_hoveredRect);
}

void CControlPanel::mouseMoveEvent(QMouseEvent* event)
{
    SetHovered(CellAt(event->position().toPoint()));
}

void CControlPanel::leaveEvent(QEvent* event)
{
    SetHovered(-1);
    QWidget::leaveEvent(event);
}

void CControlPanel::mouseReleaseEvent(QMouseEvent* event)
{
    // The cell index is the byte it sends: the control codes, then the space (32).
    const int cell = CellAt(event->position().toPoint());
    if (event->button() == Qt::LeftButton && cell >= 0)
        emit cellClicked(cell);
    QWidget::mouseReleaseEvent(event);
}
