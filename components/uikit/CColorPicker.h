#pragma once

#include "ColorRef.h"

#include <QPushButton>

// Colour button of a dialog: shows one colour and lets the user pick another.
class CColorPicker : public QPushButton
{
    Q_OBJECT

public:
    explicit CColorPicker(QWidget* parent = nullptr);

    void SetColour(COLORREF colour);
    COLORREF GetColour() const { return m_colour; }

signals:
    void colourChanged(COLORREF colour);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void ChooseColour();

    COLORREF m_colour = 0;
};
