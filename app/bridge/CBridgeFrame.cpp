#include "CBridgeFrame.h"

#include "CBridgeWindow.h"
#include "CDocTemplate.h"
#include "CDocument.h"
#include "CReplayFrame.h"
#include "MenuBars.h"
#include "MessageBox.h"

#include <QMdiArea>
#include <QStyle>

namespace {

CDocTemplate& BridgeTemplate()
{
    // Not a type a user opens files as: its documents come from the bridge command, and the
    // monitor's menus (with the bridge command) serve them.
    static CDocTemplate docTemplate(
        QStringLiteral("Bridge"), MenuBars::kTvn, [] { return new CDocument; },
        [](CDocument* document) { return new CBridgeFrame(document); });
    return docTemplate;
}

} // namespace

CBridgeFrame* CBridgeFrame::Open(QMdiArea* area)
{
    CDocument* document = BridgeTemplate().OpenDocumentFile(QString(), area);
    return document != nullptr ? qobject_cast<CBridgeFrame*>(document->Frame()) : nullptr;
}

CBridgeFrame::CBridgeFrame(CDocument* document)
    : CMdiChildFrame(document), m_pWindow(new CBridgeWindow)
{
    setObjectName(QStringLiteral("BridgeFrame"));
    setWidget(m_pWindow);
    connect(m_pWindow, &CBridgeWindow::replayRequested, this, &CBridgeFrame::Replay);
}

QRect CBridgeFrame::FirstGeometry(const QRect& area) const
{
    const int border = style()->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth, nullptr, this);
    return area.adjusted(border, border, -border, -border);
}

void CBridgeFrame::Replay(const QString& path)
{
    QString error;
    if (CReplayFrame::Open(path, mdiArea(), &error) == nullptr && !error.isEmpty())
        ShowMessage(error, QMessageBox::Warning, QMessageBox::Ok, this);
}
