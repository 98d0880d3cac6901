#include "CHelpWindow.h"

#include <QUrl>

namespace {
constexpr int kWidthPx = 800;
constexpr int kHeightPx = 600;
} // namespace

CHelpWindow::CHelpWindow(QWidget* parent) : QTextBrowser(parent)
{
    setWindowFlag(Qt::Window);
    setObjectName(QStringLiteral("CHelpWindow"));
    setWindowTitle(tr("TARVEN 운영 도움말"));
    setOpenExternalLinks(true);
    resize(kWidthPx, kHeightPx);
}

void CHelpWindow::ShowManual(const QString& path)
{
    setSource(QUrl::fromLocalFile(path));
    show();
    raise();
    activateWindow();
}
