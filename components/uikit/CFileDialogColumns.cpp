#include "CFileDialogColumns.h"

#include <QEvent>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QPointer>
#include <QTreeView>

namespace {
// Marks a dialog whose view already follows its folders.
const char* const kFollowed = "tarvenColumnsFitted";
} // namespace

CFileDialogColumns::CFileDialogColumns(QObject* parent) : QObject(parent) {}

void CFileDialogColumns::FitColumns(QTreeView* view)
{
    for (int column = 0; column < view->header()->count(); ++column) {
        if (!view->header()->isSectionHidden(column))
            view->resizeColumnToContents(column);
    }
}

bool CFileDialogColumns::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::Show)
        return QObject::eventFilter(watched, event);
    auto* dialog = qobject_cast<QFileDialog*>(watched);
    if (dialog == nullptr || dialog->property(kFollowed).toBool())
        return QObject::eventFilter(watched, event);
    auto* view = dialog->findChild<QTreeView*>();
    auto* model = dialog->findChild<QFileSystemModel*>();
    if (view == nullptr || model == nullptr)
        return QObject::eventFilter(watched, event);
    dialog->setProperty(kFollowed, true);
    // The folder is read on a thread of the model's; its rows are there when it says so.
    connect(model, &QFileSystemModel::directoryLoaded, view, [view = QPointer<QTreeView>(view)] {
        if (!view.isNull())
            FitColumns(view);
    });
    FitColumns(view);
    return QObject::eventFilter(watched, event);
}
