#pragma once

// Shared by the monitor benchmarks: a monitor window on the offscreen platform with settings
// of its own, and a meter of how long the user-interface thread was kept from its events.

#include "CMonitorWindow.h"
#include "CTARVENView.h"
#include "ShellConstants.h"

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QSettings>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTimer>
#include <QVariantMap>
#include <memory>

// A TCP port on 127.0.0.1 that nobody listens on, for the window's server.
inline quint16 FreeLoopbackPort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

// Measures the longest gap between ticks of a short timer: a stall of the event loop.
class StallMeter
{
public:
    static constexpr int kTickMs = 5;

    StallMeter()
    {
        m_timer.setTimerType(Qt::PreciseTimer);
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            const qint64 now = m_clock.nsecsElapsed();
            if (m_nLast > 0)
                m_nLongestNs = std::max(m_nLongestNs, now - m_nLast);
            m_nLast = now;
        });
    }
    void Start()
    {
        m_clock.start();
        m_nLast = 0;
        m_nLongestNs = 0;
        m_timer.start(kTickMs);
    }
    double LongestMs() const { return double(m_nLongestNs) / 1e6; }

private:
    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_nLast = 0;
    qint64 m_nLongestNs = 0;
};

// A visible monitor window, 1000 x 700, text mode, the 50,000-line limit, with the given link
// values; the port settings dialog it asks with at start is cancelled.
class BenchMonitor
{
public:
    explicit BenchMonitor(const QVariantMap& linkValues)
    {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_dir.filePath("config"));
        QSettings settings(kCompanyName, kApplicationName);
        settings.setValue("TARVEN/MaxLine", 50000);
        settings.setValue("TARVEN/WelcomeFlag", 0);
        for (auto it = linkValues.begin(); it != linkValues.end(); ++it)
            settings.setValue(QStringLiteral("TARVEN/") + it.key(), it.value());
        settings.sync();
        // The dialog runs its own event loop: a timer inside it cancels it.
        bool cancelled = false;
        QTimer canceller;
        QObject::connect(&canceller, &QTimer::timeout, [&] {
            if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
                dialog->reject();
                cancelled = true;
            }
        });
        canceller.start(10);
        m_window = std::make_unique<CMonitorWindow>(nullptr, nullptr);
        m_window->resize(1000, 700);
        m_window->show();
        QElapsedTimer clock;
        clock.start();
        while (!cancelled && clock.elapsed() < 5000)
            QApplication::processEvents(QEventLoop::AllEvents, 20);
    }

    CTARVENView* View() const { return m_window->View(); }

private:
    QTemporaryDir m_dir;
    std::unique_ptr<CMonitorWindow> m_window;
};
