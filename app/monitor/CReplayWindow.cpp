#include "CReplayWindow.h"

#include "CCaptureReplay.h"
#include "CMonitorWindow.h"
#include "CReplayBar.h"
#include "CTARVENView.h"
#include "MonitorConstants.h"

#include <QAction>
#include <QFileInfo>
#include <QVBoxLayout>

CReplayWindow::CReplayWindow(QWidget* parent)
    : QWidget(parent, Qt::Window), m_pMonitor(new CMonitorWindow(nullptr, nullptr, this))
{
    setObjectName(QStringLiteral("ReplayWindow"));
    m_pMonitor->View()->KeepOffline();
    // A replay of a replay would only be a second window on the same file.
    if (auto* replay = m_pMonitor->findChild<QAction*>(QStringLiteral("ReplayCapture")))
        replay->setVisible(false);
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

CaptureStatus CReplayWindow::Open(const QString& path)
{
    const CaptureStatus status = m_pReplay->Open(path);
    m_pBar->Reset();
    setWindowTitle(tr("재생 - %1").arg(QFileInfo(path).fileName()));
    return status;
}
