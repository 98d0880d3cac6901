#include "CMdiClientWnd.h"

#include "ShellConstants.h"
#include "WindowArrangement.h"

#include <QMdiSubWindow>
#include <QPainter>
#include <QResizeEvent>
#include <QSettings>
#include <QStyle>

CMdiClientWnd::CMdiClientWnd(QWidget* parent) : QMdiArea(parent)
{
    m_colour = RefFromColour(palette().color(QPalette::Dark));
    // Without scroll bars the area would grow the main window to a window's minimum size.
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
}

CMdiClientWnd::~CMdiClientWnd()
{
    QSettings settings(kCompanyName, kApplicationName);
    SaveSettings(settings);
}

void CMdiClientWnd::LoadSettings(QSettings& settings)
{
    settings.beginGroup(kGroupMdiClient);
    SetDisplayMode(settings.value("DisplayMode", Tile).toInt());
    m_nOriginX = settings.value("OriginX", 0).toInt();
    m_nOriginY = settings.value("OriginY", 0).toInt();
    SetBkColour(settings.value("BkColor", m_colour).toUInt());
    const QString fileName = settings.value("FileName").toString();
    settings.endGroup();
    // A missing picture file leaves the plain colour, and its name is kept for the next run.
    if (!fileName.isEmpty() && !LoadPicture(fileName))
        m_fileName = fileName;
}

void CMdiClientWnd::SaveSettings(QSettings& settings) const
{
    settings.beginGroup(kGroupMdiClient);
    settings.setValue("DisplayMode", m_nDisplayMode);
    settings.setValue("BkColor", m_colour);
    settings.setValue("FileName", m_fileName);
    settings.setValue("OriginX", m_nOriginX);
    settings.setValue("OriginY", m_nOriginY);
    settings.endGroup();
}

void CMdiClientWnd::SetBkColour(COLORREF colour)
{
    m_colour = colour & 0x00FFFFFF;
    viewport()->update();
}

void CMdiClientWnd::SetPicture(const QPixmap& picture)
{
    m_picture = picture;
    m_fileName.clear();
    viewport()->update();
}

bool CMdiClientWnd::LoadPicture(const QString& fileName)
{
    QPixmap picture(fileName);
    if (picture.isNull())
        return false;
    m_picture = picture;
    m_fileName = fileName;
    viewport()->update();
    return true;
}

void CMdiClientWnd::SetDisplayMode(int mode)
{
    m_nDisplayMode = (mode >= Tile && mode <= AtOrigin) ? mode : Tile;
    viewport()->update();
}

void CMdiClientWnd::SetOrigin(int x, int y)
{
    m_nOriginX = x;
    m_nOriginY = y;
    viewport()->update();
}

QList<QMdiSubWindow*> CMdiClientWnd::ArrangedWindows() const
{
    QList<QMdiSubWindow*> windows;
    for (QMdiSubWindow* window : subWindowList(CreationOrder)) {
        if (!window->isHidden() && !window->isMinimized())
            windows.append(window);
    }
    return windows;
}

QList<QSize> CMdiClientWnd::NormalSizes(const QList<QMdiSubWindow*>& windows)
{
    QList<QSize> sizes;
    for (QMdiSubWindow* window : windows) {
        if (window->isMaximized())
            window->showNormal();
        sizes.append(WindowArrangement::SmallestSize(window));
    }
    return sizes;
}

void CMdiClientWnd::TileSubWindows()
{
    const QList<QMdiSubWindow*> windows = ArrangedWindows();
    const QList<QRect> cells = WindowArrangement::Tile(NormalSizes(windows), viewport()->rect());
    for (qsizetype i = 0; i < windows.size(); ++i)
        windows[i]->setGeometry(cells[i]);
}

void CMdiClientWnd::CascadeSubWindows()
{
    // The window in use comes last, in front, and stays the one in use.
    QList<QMdiSubWindow*> windows = ArrangedWindows();
    if (QMdiSubWindow* current = currentSubWindow(); windows.removeOne(current))
        windows.append(current);
    // One title bar down and across, so that every title stays readable.
    const int step = style()->pixelMetric(QStyle::PM_TitleBarHeight) +
                     style()->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth);
    const QList<QRect> rects =
        WindowArrangement::Cascade(NormalSizes(windows), viewport()->rect(), step);
    for (qsizetype i = 0; i < windows.size(); ++i) {
        windows[i]->setGeometry(rects[i]);
        windows[i]->raise();
    }
}

bool CMdiClientWnd::viewportEvent(QEvent* event)
{
    const bool handled = QMdiArea::viewportEvent(event);
    if (event->type() != QEvent::Resize)
        return handled;
    const auto* resize = static_cast<QResizeEvent*>(event);
    const QRect before(QPoint(0, 0), resize->oldSize());
    const QRect now(QPoint(0, 0), resize->size());
    if (!before.isValid() || now.contains(before))
        return handled;
    for (QMdiSubWindow* window : ArrangedWindows()) {
        if (!window->isMaximized() && before.contains(window->geometry()) &&
            !now.contains(window->geometry()))
            window->setGeometry(WindowArrangement::FitInside(
                window->geometry(), WindowArrangement::SmallestSize(window), now));
    }
    return handled;
}

void CMdiClientWnd::paintEvent(QPaintEvent*)
{
    QPainter painter(viewport());
    const QRect area = viewport()->rect();
    // Filling first also shows the colour through transparent parts of the picture.
    painter.fillRect(area, ColourFromRef(m_colour));
    if (m_picture.isNull())
        return;
    switch (m_nDisplayMode) {
    case Tile:
        painter.drawTiledPixmap(area, m_picture);
        break;
    case Centre:
        painter.drawPixmap((area.width() - m_picture.width()) / 2,
                           (area.height() - m_picture.height()) / 2, m_picture);
        break;
    case Stretch:
        painter.drawPixmap(area, m_picture);
        break;
    case AtOrigin:
        painter.drawPixmap(m_nOriginX, m_nOriginY, m_picture);
        break;
    }
}

void CMdiClientWnd::resizeEvent(QResizeEvent* event)
{
    QMdiArea::resizeEvent(event);
    if (m_nDisplayMode != Tile)
        viewport()->update();
}
