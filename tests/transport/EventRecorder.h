#pragma once

#include "TransportEvent.h"

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QObject>
#include <QTimer>

#include <algorithm>
#include <functional>
#include <vector>

struct RecordedEvent
{
    int message = 0;
    quintptr wParam = 0;
    qintptr lParam = 0;
};

// Owner object that keeps every transport event it is given, and can act on each inside the
// delivery, as a window's handler does.
class EventRecorder : public QObject
{
public:
    std::vector<RecordedEvent> events;
    std::function<void(const RecordedEvent&)> onEvent;

    int Count(int message) const
    {
        return static_cast<int>(
            std::count_if(events.begin(), events.end(),
                          [message](const auto& e) { return e.message == message; }));
    }

    std::vector<RecordedEvent> Of(int message) const
    {
        std::vector<RecordedEvent> found;
        std::copy_if(events.begin(), events.end(), std::back_inserter(found),
                     [message](const auto& e) { return e.message == message; });
        return found;
    }

protected:
    void customEvent(QEvent* event) override
    {
        const auto* transport = dynamic_cast<CTransportEvent*>(event);
        if (transport == nullptr)
            return;
        const RecordedEvent recorded{transport->Message(), transport->WParam(),
                                     transport->LParam()};
        events.push_back(recorded);
        if (onEvent)
            onEvent(recorded);
    }
};

// Runs the event loop for a few milliseconds without spinning.
inline void PumpEvents()
{
    QEventLoop loop;
    QTimer::singleShot(5, &loop, &QEventLoop::quit);
    loop.exec();
}

// Runs the event loop until done() holds or the deadline passes; generous deadlines keep the
// tests steady on a loaded machine.
inline bool WaitUntil(const std::function<bool()>& done, int timeoutMs = 10000)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        PumpEvents();
    }
    return true;
}

// Runs the event loop for a while, to show that something does not happen.
inline void SpinFor(int ms)
{
    QDeadlineTimer deadline(ms);
    while (!deadline.hasExpired())
        PumpEvents();
}
