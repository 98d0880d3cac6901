#pragma once

#include <QDockWidget>
#include <QSize>

class QMainWindow;
class QSettings;

// Resizable docking bar with a title and gripper that lays out its one child over its area.
class CSizingControlBar : public QDockWidget
{
    Q_OBJECT

public:
    explicit CSizingControlBar(QWidget* parent = nullptr);

    // Docks the bar into frame at area with the given start size; the id names it in the
    // saved layout, so it must stay the same between runs.
    bool Create(const QString& title, QMainWindow* frame, QSize size, bool gripper, int id,
                Qt::DockWidgetArea area);

    // Save and restore the positions, sizes, docking and visibility of every bar and toolbar
    // of frame in the group name of settings.
    static void GlobalSaveState(QMainWindow* frame, QSettings& settings, const QString& name);
    static bool GlobalLoadState(QMainWindow* frame, QSettings& settings, const QString& name);
};
