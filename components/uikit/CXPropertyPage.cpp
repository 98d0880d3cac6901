#include "CXPropertyPage.h"

CXPropertyPage::CXPropertyPage(const QString& title, QWidget* parent)
    : QWidget(parent), m_title(title)
{
    setObjectName(title);
}

CXPropertyPage& CXPropertyPage::operator=(int value)
{
    m_nValue = value;
    return *this;
}
