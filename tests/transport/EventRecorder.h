#pragma once

#include "EventLoopWait.h"
#include "TransportEvent.h"

#include <QObject>

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
