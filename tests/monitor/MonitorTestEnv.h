#pragma once

#include "CControlPanel.h"
#include "CMonitorStatusBar.h"
#include "CMonitorWindow.h"
#include "CTARVENDoc.h"
#include "CTARVENView.h"
#include "CTextViewCtrl.h"
#include "CaptureFormat.h"
#include "EventLoopWait.h"
#include "PtyPair.h"
#include "ShellConstants.h"
#include "ShellTestEnv.h"

#include <QApplication>
#include <QDialog>
#include <QTest>
#include <QTimer>
#include <functional>

// The bytes a terminal view holds, and their attributes.
inline QByteArray Shown(const CTARVENView& view)
{
    QByteArray bytes;
    QByteArray attributes;
    view.TextView()->GetBuffer(bytes, attributes);
    return bytes;
}

// One capture record whose bytes all carry the attribute.
inline QByteArray EncodedRecord(int64_t ms, const QByteArray& bytes, char attribute)
{
    const QByteArray attributes(bytes.size(), attribute);
    return CaptureFormat::EncodeRecord(ms, reinterpret_cast<const uint8_t*>(bytes.constData()),
                                       reinterpret_cast<const uint8_t*>(attributes.constData()),
                                       static_cast<uint32_t>(bytes.size()));
}

// Puts text into a view's terminal as if it had been typed and echoed.
inline void WriteSent(CTARVENView& view, const QByteArray& text)
{
    view.TextView()->TextWrite(reinterpret_cast<const unsigned char*>(text.constData()),
                               int(text.size()), kAttrSent);
}

inline QByteArray Attributes(const CTARVENView& view)
{
    QByteArray bytes;
    QByteArray attributes;
    view.TextView()->GetBuffer(bytes, attributes);
    return attributes;
}

// Dialogs that open are handled by the test's dialog handler (default: cancelled).
class MonitorTest : public ShellTest
{
protected:
    void SetUp() override
    {
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
    }

    static void SetValue(const QString& key, const QVariant& value)
    {
        QSettings(kCompanyName, kApplicationName).setValue("TARVEN/" + key, value);
    }

    // Does what opens a dialog and waits for the dialog to be handled.
    bool WaitForDialog(const std::function<void()>& opening, int timeoutMs = kEventWaitMs)
    {
        const int seen = m_dialogsSeen;
        opening();
        return WaitFor([&] { return m_dialogsSeen > seen; }, timeoutMs);
    }

    // A monitor window on its own, shown, after its start-up settings dialog was cancelled.
    CTARVENView* NewMonitor(const QString& title = QStringLiteral("Tvn1"))
    {
        auto document = std::make_unique<CTARVENDoc>();
        document->SetTitle(title);
        auto window = std::make_unique<CMonitorWindow>(document.get(), nullptr);
        window->resize(640, 400);
        EXPECT_TRUE(WaitForDialog([&] { window->show(); }));
        CTARVENView* view = window->View();
        m_documents.push_back(std::move(document));
        m_windows.push_back(std::move(window));
        return view;
    }

    // A monitor on the pseudo-terminal's device, opened.
    CTARVENView* OpenSerial(const PtyPair& pty, const QString& title = QStringLiteral("Tvn1"))
    {
        SetValue("Interface", 0);
        SetValue("PortName", QString::fromStdString(pty.SlavePath()));
        CTARVENView* view = NewMonitor(title);
        view->OnPortOpen();
        EXPECT_TRUE(view->IsOnline()) << m_messages.texts.join('\n').toStdString();
        return view;
    }

    void CloseMonitor(CTARVENView* view)
    {
        std::erase_if(m_windows, [view](const auto& window) { return window->View() == view; });
    }

    static QString Pane(const CTARVENView* view, int index)
    {
        return view->StatusBar()->PaneText(index);
    }

    std::function<void(QDialog*)> m_onDialog;
    int m_dialogsSeen = 0;

private:
    QTimer m_dialogTimer;
    // Windows go before their documents.
    std::vector<std::unique_ptr<CTARVENDoc>> m_documents;
    std::vector<std::unique_ptr<CMonitorWindow>> m_windows;
};
