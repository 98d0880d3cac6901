#pragma once

#include "DialogControls.h"
#include "FileSendDlgIds.h"
#include "ToolsTestSupport.h"

#include <QCoreApplication>
#include <QDialog>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

// Drives the file transfer dialog as a user does: through its list, labels and buttons, found
// by their control ids.
class DialogDriver
{
public:
    explicit DialogDriver(QDialog& dlg) : m_dlg(dlg) {}

    QListWidget* List() const
    {
        return m_dlg.findChild<QListWidget*>(ControlName(FileSendDlgIds::IDC_FILE_LIST));
    }
    QPushButton* Button(const QString& name) const { return m_dlg.findChild<QPushButton*>(name); }
    QString Label(int id) const
    {
        const auto* label = m_dlg.findChild<QLabel*>(ControlName(id));
        return label != nullptr ? label->text() : QStringLiteral("<missing>");
    }
    QStringList Texts() const
    {
        QStringList texts;
        for (int i = 0; i < List()->count(); ++i)
            texts.append(List()->item(i)->text());
        return texts;
    }

    // The entry with this name on disk, or with this text for the first entry.
    QListWidgetItem* Entry(const QString& name) const
    {
        for (int i = 0; i < List()->count(); ++i) {
            QListWidgetItem* item = List()->item(i);
            if (item->data(Qt::UserRole + 1).toString() == name || item->text() == name)
                return item;
        }
        return nullptr;
    }

    void DoubleClick(QListWidgetItem* item) const
    {
        ASSERT_NE(item, nullptr);
        ShowItem(item);
        // A view takes a double click only on the item that the first click pressed.
        const QPoint centre = List()->visualItemRect(item).center();
        QTest::mouseClick(List()->viewport(), Qt::LeftButton, {}, centre);
        QTest::mouseDClick(List()->viewport(), Qt::LeftButton, {}, centre);
    }

    void Click(QListWidgetItem* item) const
    {
        ASSERT_NE(item, nullptr);
        ShowItem(item);
        QTest::mouseClick(List()->viewport(), Qt::LeftButton, {},
                          List()->visualItemRect(item).center());
    }

    // From the root, double-clicks through every folder of an absolute path.
    void Browse(const QString& folder) const
    {
        if (Label(FileSendDlgIds::IDC_FOLDER) == QDir::cleanPath(folder) + QLatin1Char('/'))
            return;
        ASSERT_EQ(Label(FileSendDlgIds::IDC_FOLDER), QStringLiteral("/"));
        for (const QString& part : QDir::cleanPath(folder).split(u'/', Qt::SkipEmptyParts)) {
            QListWidgetItem* item = Entry(part);
            ASSERT_NE(item, nullptr) << part.toStdString();
            DoubleClick(item);
        }
        ASSERT_EQ(Label(FileSendDlgIds::IDC_FOLDER), QDir::cleanPath(folder) + QLatin1Char('/'));
    }

    void Press(const QString& button) const { QTest::mouseClick(Button(button), Qt::LeftButton); }

private:
    // The list lays its items out lazily: let it, then bring the item into view.
    void ShowItem(QListWidgetItem* item) const
    {
        QCoreApplication::processEvents();
        List()->scrollToItem(item);
        QCoreApplication::processEvents();
    }

    QDialog& m_dlg;
};
