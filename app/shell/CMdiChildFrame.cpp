#include "CMdiChildFrame.h"

#include "CDocument.h"
#include "ShellConstants.h"
#include "WindowArrangement.h"

#include <QIcon>
#include <QMdiArea>

CMdiChildFrame::CMdiChildFrame(CDocument* document) : m_pDocument(document)
{
    setAttribute(Qt::WA_DeleteOnClose);
    document->setParent(this);
    setWindowTitle(document->Title());
    setWindowIcon(QIcon(QStringLiteral(":/tarven.svg")));
    resize(kChildWidthPx, kChildHeightPx);
    connect(document, &CDocument::titleChanged, this, &QWidget::setWindowTitle);
}

QRect CMdiChildFrame::FirstGeometry(const QRect&) const
{
    return geometry();
}

void CMdiChildFrame::showEvent(QShowEvent* event)
{
    QMdiSubWindow::showEvent(event);
    if (m_bPlaced)
        return;
    m_bPlaced = true;
    const QMdiArea* area = mdiArea();
    // A window that opens maximised, as its neighbours are, stays so.
    if (area == nullptr || isMaximized() || isMinimized())
        return;
    const QRect room = area->viewport()->rect();
    setGeometry(WindowArrangement::FitInside(FirstGeometry(room),
                                             WindowArrangement::SmallestSize(this), room));
}
