#pragma once

#include <QObject>
#include <QString>

class QWidget;

// A window's title as its title bar shows it: the "[*]" mark becomes "*" while the window is
// modified and goes away otherwise ("[*][*]" stands for a literal "[*]").
QString ShownWindowTitle(const QWidget* window);

// Names the program once in the title bar of each of its top-level windows: "통신포트 설정 —
// TARVEN", but "TARVEN 환경설정" and "TARVEN - [Tvn4]" as they are, where the window system
// would otherwise add the name a second time. Installed on the application, it follows every
// window's title and modified mark; the windows' own titles stay as they were set.
class CProgramTitles : public QObject
{
    Q_OBJECT

public:
    CProgramTitles(const QString& programName, QObject* parent);

    // What the title bar of window shows.
    QString BarTitle(const QWidget* window) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QString m_strProgramName;
};
