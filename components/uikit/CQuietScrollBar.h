#pragma once

#include <QElapsedTimer>
#include <QRect>
#include <QScrollBar>
#include <QTimer>

// A scroll bar that draws itself again only when its picture changes. A view that follows a
// stream moves its range and value at every frame; the thumb of a long log moves a pixel only
// every few hundred lines, and drawing the bar (a gradient fill the raster engine spreads over
// its worker threads) cost more than the rows it scrolled.
class CQuietScrollBar : public QScrollBar
{
public:
    explicit CQuietScrollBar(Qt::Orientation orientation, QWidget* parent = nullptr);

    // While changes keep coming (a view that follows a stream), the bar looks at most this often
    // whether its picture changed; a lone change, or a drag, is drawn at once.
    static constexpr int kLookGapMs = 50;
    bool LookCheckPending() const { return m_checkTimer.isActive(); }

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
    void CheckLook();

    Look m_drawn;
    bool m_bDrawn = false;
    QTimer m_checkTimer;
    QElapsedTimer m_sinceCheck;
};
