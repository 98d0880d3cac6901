#include "CColorPicker.h"

#include <QColorDialog>
#include <QPainter>
#include <QStyleOptionButton>

namespace {
constexpr int kSwatchMarginPx = 5;
constexpr int kMinimumWidthPx = 48;
} // namespace

CColorPicker::CColorPicker(QWidget* parent) : QPushButton(parent)
{
    setMinimumWidth(kMinimumWidthPx);
    connect(this, &QPushButton::clicked, this, &CColorPicker::ChooseColour);
}

void CColorPicker::SetColour(COLORREF colour)
{
    colour &= 0x00FFFFFF;
    if (colour == m_colour)
        return;
    m_colour = colour;
    update();
    emit colourChanged(m_colour);
}

void CColorPicker::ChooseColour()
{
    // A cancelled dialog returns an invalid colour and keeps the old one.
    const QColor chosen = QColorDialog::getColor(ColourFromRef(m_colour), this, accessibleName());
    if (chosen.isValid())
        SetColour(RefFromColour(chosen));
}

void CColorPicker::paintEvent(QPaintEvent* event)
{
    QPushButton::paintEvent(event);
    QPainter painter(this);
    const QRect swatch =
        rect().adjusted(kSwatchMarginPx, kSwatchMarginPx, -kSwatchMarginPx, -kSwatchMarginPx);
    painter.fillRect(swatch, ColourFromRef(m_colour));
    painter.setPen(
        palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
    painter.drawRect(swatch.adjusted(0, 0, -1, -1));
}
