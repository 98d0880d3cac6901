#include "CFileDialogColumns.h"

#include "SettingsSandbox.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QSignalSpy>
#include <QTest>
#include <QTreeView>

TEST(CFileDialogColumns, DetailColumnsFitWhatTheyHoldOnceTheFolderIsRead)
{
    // The dialog keeps its columns' widths in the user's settings: these are the test's own.
    const SettingsSandbox folder;
    QDir().mkpath(folder.Path("files"));
    folder.Write(QStringLiteral("files/a rather long name for a capture file of the bench.tvn"),
                 QByteArray(123456, 'x'));
    folder.Write(QStringLiteral("files/b.tsl"), "x");
    CFileDialogColumns columns(nullptr);
    qApp->installEventFilter(&columns);

    QFileDialog dialog(nullptr, QString(), folder.Path("files"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setViewMode(QFileDialog::Detail);
    auto* model = dialog.findChild<QFileSystemModel*>();
    ASSERT_NE(model, nullptr);
    QSignalSpy loaded(model, &QFileSystemModel::directoryLoaded);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    auto* view = dialog.findChild<QTreeView*>();
    ASSERT_NE(view, nullptr);
    ASSERT_TRUE(QTest::qWaitFor([&] { return view->model()->rowCount(view->rootIndex()) == 2; }));
    if (loaded.isEmpty()) {
        ASSERT_TRUE(loaded.wait(20000));
    }
    QCoreApplication::processEvents();

    // Name, size, type and date: each as wide as its widest text and its header.
    const QAbstractItemModel* shown = view->model();
    for (int column = 0; column < 4; ++column) {
        int needed = view->header()->sectionSizeHint(column);
        for (int row = 0; row < shown->rowCount(view->rootIndex()); ++row) {
            const QString text = shown->index(row, column, view->rootIndex()).data().toString();
            needed = std::max(needed, view->fontMetrics().horizontalAdvance(text));
        }
        EXPECT_GE(view->header()->sectionSize(column), needed) << column;
    }
    qApp->removeEventFilter(&columns);
}
