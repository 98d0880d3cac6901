#pragma once

#include <QSplashScreen>
#include <QTimer>

// Start-up picture shown over the screen that goes away by itself or at a click.
class CSplashWnd : public QSplashScreen
{
    Q_OBJECT

public:
    CSplashWnd(const QPixmap& picture, int milliseconds);

    // Shows the picture and starts the countdown.
    bool Create();

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    QTimer m_timer;
    int m_nMilliseconds = 0;
};
