#include "CSizingControlBar.h"

#include <QMainWindow>
#include <QSettings>

namespace {
const char* const kStateKey = "State";
// Bumped when the set of bars changes, so an old layout is ignored rather than misapplied.
constexpr int kStateVersion = 1;
} // namespace

CSizingControlBar::CSizingControlBar(QWidget* parent) : QDockWidget(parent) {}

bool CSizingControlBar::Create(const QString& title, QMainWindow* frame, QSize size, bool gripper,
                               int id, Qt::DockWidgetArea area)
{
    if (frame == nullptr)
        return false;
    setWindowTitle(title);
    setObjectName(QString::number(id));
    setAllowedAreas(Qt::AllDockWidgetAreas);
    setFeatures(gripper ? DockWidgetClosable | DockWidgetMovable | DockWidgetFloatable
                        : DockWidgetClosable);
    frame->addDockWidget(area, this);
    const bool across = area == Qt::TopDockWidgetArea || area == Qt::BottomDockWidgetArea;
    frame->resizeDocks({this}, {across ? size.height() : size.width()},
                       across ? Qt::Vertical : Qt::Horizontal);
    return true;
}

void CSizingControlBar::GlobalSaveState(QMainWindow* frame, QSettings& settings,
                                        const QString& name)
{
    settings.beginGroup(name);
    settings.setValue(kStateKey, frame->saveState(kStateVersion));
    settings.endGroup();
}

bool CSizingControlBar::GlobalLoadState(QMainWindow* frame, QSettings& settings,
                                        const QString& name)
{
    settings.beginGroup(name);
    const QByteArray state = settings.value(kStateKey).toByteArray();
    settings.endGroup();
    return !state.isEmpty() && frame->restoreState(state, kStateVersion);
}
