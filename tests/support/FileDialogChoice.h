#pragma once

#include <QFileDialog>
#include <QLineEdit>
#include <gtest/gtest.h>

// Chooses `name` in an open file dialog and accepts it, as a user typing the name would.
// Typed into the name field: selectFile leaves a field that has the keyboard focus alone, so
// the dialog would sometimes keep its suggested name.
inline void ChooseFile(QFileDialog* dialog, const QString& name)
{
    ASSERT_NE(dialog, nullptr);
    auto* field = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    ASSERT_NE(field, nullptr);
    field->setText(name);
    QMetaObject::invokeMethod(dialog, "accept");
}
