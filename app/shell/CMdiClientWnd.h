#pragma once

#include "ColorRef.h"

#include <QMdiArea>
#include <QPixmap>

class QMdiSubWindow;
class QSettings;

// The area behind the child windows: a colour and a picture drawn in one of four modes. It
// arranges the windows inside itself, and offers scroll bars to reach a window that lies
// partly outside, as one can when the main window or the docking bars took its room.
class CMdiClientWnd : public QMdiArea
{
    Q_OBJECT

public:
    enum DisplayMode
    {
        Tile = 0,
        Centre = 1,
        Stretch = 2,
        AtOrigin = 3
    };

    explicit CMdiClientWnd(QWidget* parent = nullptr);
    ~CMdiClientWnd() override;

    // Reads the "MDIClient" values and loads the named picture file, if any.
    void LoadSettings(QSettings& settings);
    void SaveSettings(QSettings& settings) const;

    void SetBkColour(COLORREF colour);
    // A picture of the program's own; no file name is kept for it.
    void SetPicture(const QPixmap& picture);
    // Loads a picture file; false, and the old picture kept, when it cannot be read.
    bool LoadPicture(const QString& fileName);
    void SetDisplayMode(int mode);
    void SetOrigin(int x, int y);

    // The 창 menu's arrangements; both keep every window inside the area (as far as the
    // windows' minimum sizes allow) and never resize the main window.
    void TileSubWindows();
    void CascadeSubWindows();

    COLORREF BkColour() const { return m_colour; }
    const QPixmap& Picture() const { return m_picture; }
    QString FileName() const { return m_fileName; }
    int DisplayMode() const { return m_nDisplayMode; }
    QPoint Origin() const { return {m_nOriginX, m_nOriginY}; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    // When the area shrinks (a docking bar grew, the main window got smaller), the windows
    // that lay wholly inside it are fitted in again, so no status bar slips out of sight.
    bool viewportEvent(QEvent* event) override;

private:
    // The windows the arrangements move: shown and not minimised, in the order they opened.
    QList<QMdiSubWindow*> ArrangedWindows() const;
    // Shows maximised windows normal, and gives the least size of each window.
    static QList<QSize> NormalSizes(const QList<QMdiSubWindow*>& windows);

    QPixmap m_picture;
    COLORREF m_colour = 0;
    QString m_fileName;
    int m_nOriginX = 0;
    int m_nOriginY = 0;
    int m_nDisplayMode = Tile;
};
