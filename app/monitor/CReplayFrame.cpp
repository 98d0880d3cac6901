#include "CReplayFrame.h"

#include "CCaptureReplay.h"
#include "CCaptureSession.h"
#include "CDocTemplate.h"
#include "CDocument.h"
#include "CReplayWindow.h"
#include "CTARVENView.h"
#include "MenuBars.h"

#include <QFileInfo>
#include <QMdiArea>
#include <QStyle>
#include <algorithm>

namespace {

// The document of a replay: the capture file it replays.
class CReplayDoc : public CDocument
{
public:
    // The framework titles a document after its file; a replay names itself with it.
    void SetTitle(const QString& title) override
    {
        CDocument::SetTitle(CReplayWindow::Title(title));
    }

    bool OnOpenDocument(const QString& path) override
    {
        // The header only: the replay reads the rest as it goes.
        CCaptureReader reader;
        const CaptureStatus status = reader.Open(path);
        if (status != CaptureStatus::Ok)
            SetOpenError(CCaptureSession::ErrorText(status, path));
        return status == CaptureStatus::Ok;
    }
};

CDocTemplate& ReplayTemplate()
{
    // Not one of the types a user opens files as: its documents come from the replay command,
    // and the monitor's menus serve them.
    static CDocTemplate docTemplate(
        QStringLiteral("Replay"), MenuBars::kTvn, [] { return new CReplayDoc; },
        [](CDocument* document) { return new CReplayFrame(document); });
    return docTemplate;
}

} // namespace

CReplayFrame* CReplayFrame::Open(const QString& path, QMdiArea* area, QString* error)
{
    CDocTemplate& docTemplate = ReplayTemplate();
    const QString absolute = QFileInfo(path).absoluteFilePath();
    const bool wasOpen =
        std::any_of(docTemplate.Documents().cbegin(), docTemplate.Documents().cend(),
                    [&](const CDocument* document) { return document->PathName() == absolute; });
    CDocument* document = docTemplate.OpenDocumentFile(path, area, error);
    if (document == nullptr)
        return nullptr;
    auto* frame = qobject_cast<CReplayFrame*>(document->Frame());
    if (frame != nullptr && !wasOpen)
        frame->Window()->Replay()->Play();
    return frame;
}

CReplayFrame::CReplayFrame(CDocument* document)
    : CMdiChildFrame(document), m_pWindow(new CReplayWindow(document))
{
    setObjectName(QStringLiteral("ReplayFrame"));
    m_pWindow->Open(document->PathName());
    setWidget(m_pWindow);
}

QRect CReplayFrame::FirstGeometry(const QRect& area) const
{
    const int border = style()->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth, nullptr, this);
    return area.adjusted(border, border, -border, -border);
}
