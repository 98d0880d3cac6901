#pragma once

#include "CControlPanel.h"
#include "CMonitorStatusBar.h"
#include "CMonitorWindow.h"
#include "CTARVENDoc.h"
#include "CTARVENView.h"
#include "CTextViewCtrl.h"
#include "MessageBox.h"
#include "ShellConstants.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSettings>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

// Runs events until done() holds or timeoutMs passes; deadlines are generous for busy machines.
inline bool WaitFor(const std::function<bool()>& done, int timeoutMs = 15000)
{
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QTest::qWait(5);
    }
    return true;
}

// The bytes a terminal view holds, and their attributes.
inline QByteArray Shown(const CTARVENView& view)
{
    QByteArray bytes;
    QByteArray attributes;
    view.TextView()->GetBuffer(&bytes, &attributes);
    return bytes;
}

inline QByteArray Attributes(const CTARVENView& view)
{
    QByteArray bytes;
    QByteArray attributes;
    view.TextView()->GetBuffer(&bytes, &attributes);
    return attributes;
}

// Each test gets its own settings and home folder; message boxes are recorded and answered at
// once, and dialogs that open are handled by the test's dialog handler (default: cancelled).
class MonitorTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_dir.filePath("config"));
        m_oldHome = qgetenv("HOME");
        m_oldRuntime = qgetenv("XDG_RUNTIME_DIR");
        QDir().mkpath(m_dir.filePath("run"));
        QFile::setPermissions(m_dir.filePath("run"), QFileDevice::ReadOwner |
                                                         QFileDevice::WriteOwner |
                                                         QFileDevice::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", m_dir.filePath("run").toLocal8Bit());
        QDir().mkpath(m_dir.filePath("home"));
        qputenv("HOME", m_dir.filePath("home").toLocal8Bit());
        m_previousHandler = SetMessageBoxHandler([this](const MessageRequest& request) {
            m_messages.append(request.text);
            m_captions.append(request.caption);
            return QMessageBox::Ok;
        });
        m_dialogTimer.setInterval(10);
        QObject::connect(&m_dialogTimer, &QTimer::timeout, [this] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (dialog == nullptr || dialog->property("handled").toBool())
                return;
            dialog->setProperty("handled", true);
            ++m_dialogsSeen;
            if (m_onDialog)
                m_onDialog(dialog);
            else
                dialog->reject();
        });
        m_dialogTimer.start();
    }

    void TearDown() override
    {
        m_windows.clear();
        m_dialogTimer.stop();
        SetMessageBoxHandler(m_previousHandler);
        qputenv("HOME", m_oldHome);
        qputenv("XDG_RUNTIME_DIR", m_oldRuntime);
    }

    void SetValue(const QString& key, const QVariant& value)
    {
        QSettings settings(kCompanyName, kApplicationName);
        settings.setValue(QStringLiteral("TARVEN/") + key, value);
    }

    // A monitor window on its own, shown, after its start-up settings dialog was cancelled.
    CTARVENView* NewMonitor(const QString& title = QStringLiteral("Tvn1"))
    {
        auto document = std::make_unique<CTARVENDoc>();
        document->SetTitle(title);
        auto window = std::make_unique<CMonitorWindow>(document.get(), nullptr);
        window->resize(640, 400);
        window->show();
        const int seen = m_dialogsSeen;
        EXPECT_TRUE(WaitFor([&] { return m_dialogsSeen > seen; }));
        CTARVENView* view = window->View();
        m_documents.push_back(std::move(document));
        m_windows.push_back(std::move(window));
        return view;
    }

    void CloseMonitor(CTARVENView* view)
    {
        for (auto it = m_windows.begin(); it != m_windows.end(); ++it) {
            if ((*it)->View() == view) {
                m_windows.erase(it);
                return;
            }
        }
    }

    QString Pane(const CTARVENView* view, int index) const
    {
        return view->StatusBar()->PaneText(index);
    }

    QTemporaryDir m_dir;
    QStringList m_messages;
    QStringList m_captions;
    std::function<void(QDialog*)> m_onDialog;
    int m_dialogsSeen = 0;

private:
    QByteArray m_oldHome;
    QByteArray m_oldRuntime;
    MessageBoxHandler m_previousHandler;
    QTimer m_dialogTimer;
    // Windows go before their documents.
    std::vector<std::unique_ptr<CTARVENDoc>> m_documents;
    std::vector<std::unique_ptr<CMonitorWindow>> m_windows;
};
