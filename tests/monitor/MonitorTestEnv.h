#pragma once

#include "CControlPanel.h"
#include "CMonitorStatusBar.h"
#include "CMonitorWindow.h"
#include "CTARVENDoc.h"
#include "CTARVENView.h"
#include "CTextViewCtrl.h"
#include "EventLoopWait.h"
#include "MessageBox.h"
#include "ShellConstants.h"
#include "ShellTestEnv.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

// Waits generously: the machine may be busy with other builds.
inline bool WaitLong(const std::function<bool()>& done,
                     std::chrono::milliseconds timeout = std::chrono::seconds(15))
{
    return WaitFor(done, timeout);
}

// The bytes a terminal view holds, and their attributes.
inline QByteArray Shown(const CTARVENView& view)
{
    QByteArray bytes;
    QByteArray attributes;
    view.TextView()->GetBuffer(bytes, attributes);
    return bytes;
}

inline QByteArray Attributes(const CTARVENView& view)
{
    QByteArray bytes;
    QByteArray attributes;
    view.TextView()->GetBuffer(bytes, attributes);
    return attributes;
}

// Each test gets its own settings, runtime and home folder; message boxes are recorded with
// their captions and answered at once, and dialogs that open are handled by the test's dialog
// handler (default: cancelled).
class MonitorTest : public ShellTest
{
protected:
    void SetUp() override
    {
        ShellTest::SetUp();
        m_oldHome = qgetenv("HOME");
        QDir().mkpath(m_dir.filePath("home"));
        qputenv("HOME", m_dir.filePath("home").toLocal8Bit());
        SetMessageBoxHandler([this](const MessageRequest& request) {
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
        qputenv("HOME", m_oldHome);
        ShellTest::TearDown();
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
        EXPECT_TRUE(WaitLong([&] { return m_dialogsSeen > seen; }));
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

    QStringList m_captions;
    std::function<void(QDialog*)> m_onDialog;
    int m_dialogsSeen = 0;

private:
    QByteArray m_oldHome;
    QTimer m_dialogTimer;
    // Windows go before their documents.
    std::vector<std::unique_ptr<CTARVENDoc>> m_documents;
    std::vector<std::unique_ptr<CMonitorWindow>> m_windows;
};
