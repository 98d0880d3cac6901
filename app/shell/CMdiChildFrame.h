#pragma once

#include <QMdiSubWindow>

class CDocument;

// Child window of the main frame that shows one document and owns it.
class CMdiChildFrame : public QMdiSubWindow
{
    Q_OBJECT

public:
    explicit CMdiChildFrame(CDocument* document);

    CDocument* Document() const { return m_pDocument; }

protected:
    // A new window opens inside the area behind the windows, never larger than it, so that its
    // status bar shows.
    void showEvent(QShowEvent* event) override;
    // Where the window would first like to be, in the coordinates of the area; it is then
    // fitted inside.
    virtual QRect FirstGeometry(const QRect& area) const;

private:
    CDocument* m_pDocument = nullptr;
    bool m_bPlaced = false;
};
