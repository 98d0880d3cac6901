#include "CMdiClientWnd.h"

#include "ShellConstants.h"

#include <QPainter>
#include <QSettings>

CMdiClientWnd::CMdiClientWnd(QWidget* parent) : QMdiArea(parent)
{
    m_colour = RefFromColour(palette().color(QPalette::Dark));
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
