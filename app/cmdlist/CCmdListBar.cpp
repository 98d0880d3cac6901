#include "CCmdListBar.h"

CCmdListBar::CCmdListBar(CCmdListDlg::TargetSource targetSource, QWidget* parent)
    : CSizingControlBar(parent), m_pDlg(new CCmdListDlg(std::move(targetSource), this))
{
    setWidget(m_pDlg);
}

bool CCmdListBar::OpenCommandFile(const QString& path, QString* error)
{
    show();
    raise();
    QString unreadable;
    if (m_pDlg->LoadFile(path, &unreadable) || unreadable.isEmpty())
        return true; // loaded, or damaged and told by the list
    if (error != nullptr)
        *error = unreadable;
    return false;
}
