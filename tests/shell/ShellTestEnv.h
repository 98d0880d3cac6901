#pragma once

#include "MessageBox.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>

// Each test gets its own settings folder and runtime folder, and message boxes that record
// their text and answer at once instead of waiting for a user.
class ShellTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_dir.filePath("config"));
        m_oldRuntime = qgetenv("XDG_RUNTIME_DIR");
        QDir().mkpath(m_dir.filePath("run"));
        QFile::setPermissions(m_dir.filePath("run"), QFileDevice::ReadOwner |
                                                         QFileDevice::WriteOwner |
                                                         QFileDevice::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", m_dir.filePath("run").toLocal8Bit());
        m_previousHandler = SetMessageBoxHandler([this](const MessageRequest& request) {
            m_messages.append(request.text);
            return QMessageBox::Ok;
        });
    }

    void TearDown() override
    {
        SetMessageBoxHandler(m_previousHandler);
        qputenv("XDG_RUNTIME_DIR", m_oldRuntime);
    }

    QString Path(const QString& name) const { return m_dir.filePath(name); }

    // Writes a small file under the test folder and returns its path.
    QString MakeFile(const QString& name, const QByteArray& contents = "x\n") const
    {
        QFile file(Path(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(contents);
        return file.fileName();
    }

    QTemporaryDir m_dir;
    QStringList m_messages;

private:
    QByteArray m_oldRuntime;
    MessageBoxHandler m_previousHandler;
};
