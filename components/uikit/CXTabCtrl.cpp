#include "CXTabCtrl.h"

CXTabCtrl::CXTabCtrl(QWidget* parent) : QTabBar(parent) {}

CXTabCtrl& CXTabCtrl::operator=(int index)
{
    if (index >= 0 && index < count())
        setCurrentIndex(index);
    return *this;
}
