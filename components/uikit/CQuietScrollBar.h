#pragma once

#include <QRect>
#include <QScrollBar>

// A scroll bar that draws itself again only when its picture changes. A view that follows a
// stream moves its range and value at every frame; the thumb of a long log moves a pixel only
// every few hundred lines, and drawing the bar (a gradient fill the raster engine spreads over
// its worker threads) cost more than the rows it scrolled.
class CQuietScrollBar : public QScrollBar
{
public:
    explicit CQuietScrollBar(Qt::Orientation orientation, QWidget* parent = nullptr);

protected:
    void sliderChange(SliderChange change) override;
    void paintEvent(QPaintEvent* event) override;

private:
    // What a range, value or step change can alter on screen.
    struct Look
    {
        QRect thumb;
        bool bAtMinimum = false;
        bool bAtMaximum = false;
        bool operator==(const Look&) const = default;
    };
    Look CurrentLook() const;

    Look m_drawn;
    bool m_bDrawn = false;
    bool m_bCheckPending = false;
};
