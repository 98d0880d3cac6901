#pragma once

#include "ColorRef.h"

#include <QMdiArea>
#include <QPixmap>

class QSettings;

// The area behind the child windows: a colour and a picture drawn in one of four modes.
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

    COLORREF BkColour() const { return m_colour; }
    const QPixmap& Picture() const { return m_picture; }
    QString FileName() const { return m_fileName; }
    int DisplayMode() const { return m_nDisplayMode; }
    QPoint Origin() const { return {m_nOriginX, m_nOriginY}; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QPixmap m_picture;
    COLORREF m_colour = 0;
    QString m_fileName;
    int m_nOriginX = 0;
    int m_nOriginY = 0;
    int m_nDisplayMode = Tile;
};
