#pragma once

#include "CTARVENApp.h"
#include "MessageCapture.h"
#include "SettingsSandbox.h"

#include <QMenu>
#include <QStringList>
#include <gtest/gtest.h>

#include <memory>

// Each test gets its own settings, home and runtime folder, and message boxes that answer Ok
// at once.
class ShellTest : public ::testing::Test
{
protected:
    // The program as it starts from the command line, without its splash window.
    static std::unique_ptr<CTARVENApp> StartApp(const QStringList& files = {})
    {
        auto app = std::make_unique<CTARVENApp>();
        EXPECT_TRUE(app->InitInstance(QStringList{"tarven", "--nosplash"} + files));
        return app;
    }
    QString Path(const QString& name) const { return m_env.Path(name); }
    // The texts of a menu as it shows them when it opens, the ticked item marked " *".
    static QStringList ShownItems(QMenu* menu)
    {
        menu->popup(QPoint(0, 0));
        QStringList items;
        for (const QAction* item : menu->actions()) {
            if (!item->isSeparator())
                items << item->text() + (item->isChecked() ? " *" : "");
        }
        menu->close();
        return items;
    }
    // Writes a small file under the test folder and returns its path.
    QString MakeFile(const QString& name, const QByteArray& contents = "x\n") const
    {
        return m_env.Write(name, contents);
    }

    SettingsSandbox m_env;
    MessageCapture m_messages{QMessageBox::Ok};
};
