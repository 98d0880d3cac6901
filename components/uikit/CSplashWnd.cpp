#include "CSplashWnd.h"

CSplashWnd::CSplashWnd(const QPixmap& picture, int milliseconds)
    : QSplashScreen(picture, Qt::WindowStaysOnTopHint), m_nMilliseconds(milliseconds)
{
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &QWidget::hide);
}

bool CSplashWnd::Create()
{
    if (pixmap().isNull())
        return false;
    show();
    raise();
    m_timer.start(m_nMilliseconds);
    return true;
}

void CSplashWnd::mousePressEvent(QMouseEvent* event)
{
    m_timer.stop();
    QSplashScreen::mousePressEvent(event);
}
