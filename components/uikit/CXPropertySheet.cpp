#include "CXPropertySheet.h"

#include "CXPropertyPage.h"

CXPropertySheet::CXPropertySheet(QWidget* parent)
    : QTabWidget(parent), m_pTabCtrl(new CXTabCtrl(this))
{
    setTabBar(m_pTabCtrl);
}

int CXPropertySheet::AddPage(CXPropertyPage* page, const QIcon& icon, int value)
{
    *page = value;
    const int index = addTab(page, icon, page->Title());
    setCurrentIndex(index);
    return index;
}

int CXPropertySheet::FindPage(const QString& title) const
{
    for (int i = 0; i < count(); ++i) {
        if (Page(i) != nullptr && Page(i)->Title() == title)
            return i;
    }
    return -1;
}

int CXPropertySheet::DeletePage(int index)
{
    CXPropertyPage* page = Page(index);
    if (page == nullptr)
        return -1;
    removeTab(index);
    delete page;
    return count();
}

CXPropertyPage* CXPropertySheet::Page(int index) const
{
    return qobject_cast<CXPropertyPage*>(widget(index));
}
