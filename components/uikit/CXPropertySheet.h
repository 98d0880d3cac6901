#pragma once

#include "CXTabCtrl.h"

#include <QTabWidget>

class CXPropertyPage;

// Tab window holding property pages; it owns the pages it is given.
class CXPropertySheet : public QTabWidget
{
    Q_OBJECT

public:
    explicit CXPropertySheet(QWidget* parent = nullptr);

    // Appends page as the last tab, makes it current and returns its index.
    int AddPage(CXPropertyPage* page, const QIcon& icon, int value);
    // Index of the first page titled title, -1 when there is none.
    int FindPage(const QString& title) const;
    // Removes and deletes the page at index; returns the number of pages left, -1 for a bad
    // index.
    int DeletePage(int index);

    CXPropertyPage* Page(int index) const;
    CXTabCtrl& TabCtrl() { return *m_pTabCtrl; }

private:
    CXTabCtrl* m_pTabCtrl = nullptr;
};
