#pragma once

#include <QTabBar>

// Tab row of a property sheet; assigning an index selects that tab.
class CXTabCtrl : public QTabBar
{
    Q_OBJECT

public:
    explicit CXTabCtrl(QWidget* parent = nullptr);

    CXTabCtrl& operator=(int index);
};
