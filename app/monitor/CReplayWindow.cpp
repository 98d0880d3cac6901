#include "CReplayWindow.h"

#include "CCaptureReplay.h"
#include "CMonitorWindow.h"
#include "CReplayBar.h"
#include "CTARVENView.h"
#include "CommandIds.h"
#include "MonitorConstants.h"

#include <QAction>
#include <QFileInfo>
#include <QToolBar>
#include <QVBoxLayout>

CReplayWindow::CReplayWindow(CDocument* document, QWidget* parent)
    : QWidget(parent), m_pMonitor(new CMonitorWindow(document, nullptr, this))
{
    setObjectName(QStringLiteral("ReplayWindow"));
    // Of the monitor's own buttons only the time stamps serve a replay: it has no line to set,
    // and a replay of it would be a second window on the same file.
    for (QAction* action : m_pMonitor->ToolBar()->actions())
        action->setVisible(action->objectName() == QString::number(ID_VIEW_TIMESTAMP));
    // Before any event: the view must not ask how to connect.
    m_pMonitor->View()->ShowReplay(QString());
    m_pReplay = new CCaptureReplay(m_pMonitor->View()->TextView(), this);
    m_pBar = new CReplayBar(m_pReplay, this);
    CTARVENView* view = m_pMonitor->View();
    connect(m_pReplay, &CCaptureReplay::written, view, &CTARVENView::CountReplayed);
    connect(m_pReplay, &CCaptureReplay::cleared, view, &CTARVENView::OnClear);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_pMonitor, 1);
    layout->addWidget(m_pBar);
    setFocusProxy(m_pMonitor);
    resize(kReplayWindowWidthPx, kReplayWindowHeightPx);
}

QString CReplayWindow::Title(const QString& path)
{
    return tr("재생 - %1").arg(QFileInfo(path).fileName());
}

CaptureStatus CReplayWindow::Open(const QString& path)
{
    m_pMonitor->View()->ShowReplay(path);
    const CaptureStatus status = m_pReplay->Open(path);
    m_pBar->Reset();
    setWindowTitle(Title(path));
    return status;
}
