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

private:
    CDocument* m_pDocument = nullptr;
};
