#include "CMdiChildFrame.h"

#include "CDocument.h"
#include "ShellConstants.h"

#include <QIcon>

CMdiChildFrame::CMdiChildFrame(CDocument* document) : m_pDocument(document)
{
    setAttribute(Qt::WA_DeleteOnClose);
    document->setParent(this);
    setWindowTitle(document->Title());
    setWindowIcon(QIcon(QStringLiteral(":/tarven.svg")));
    resize(kChildWidthPx, kChildHeightPx);
    connect(document, &CDocument::titleChanged, this, &QWidget::setWindowTitle);
}
