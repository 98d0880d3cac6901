#pragma once

#include "CClientSock.h"
#include "CRS232Ctrl.h"
#include "CServerSock.h"
#include "EventLoopWait.h"

#include <QObject>

#include <algorithm>
#include <functional>
#include <vector>

// A notice a transport gave by one of its signals.
enum class Notice
{
    Accepted,
    ReceiveReady,
    ConnectFinished,
    Closed,
    SerialReceived,
};

struct RecordedEvent
{
    Notice notice = Notice::Accepted;
    int slot = -1;                 // server notices: the slot; otherwise -1
    CClientSock* socket = nullptr; // the socket the notice is about, if any
};

// Keeps every notice of the transports it watches, and can act on each inside the delivery,
// as an owner's handler does.
class EventRecorder : public QObject
{
public:
    std::vector<RecordedEvent> events;
    std::function<void(const RecordedEvent&)> onEvent;

    void Watch(CClientSock& socket)
    {
        CClientSock* s = &socket;
        connect(s, &CClientSock::receiveReady, this, [this, s] {
            Add({Notice::ReceiveReady, -1, s});
        });
        connect(s, &CClientSock::connectFinished, this, [this, s] {
            Add({Notice::ConnectFinished, -1, s});
        });
        connect(s, &CClientSock::closed, this, [this, s] { Add({Notice::Closed, -1, s}); });
    }

    void Watch(CServerSock& server)
    {
        CServerSock* s = &server;
        connect(s, &CServerSock::accepted, this, [this, s](int slot) {
            Add({Notice::Accepted, slot, s->GetSlot(slot)});
        });
        connect(s, &CServerSock::receiveReady, this, [this, s](int slot) {
            Add({Notice::ReceiveReady, slot, s->GetSlot(slot)});
        });
        connect(s, &CServerSock::closed, this, [this, s](int slot) {
            Add({Notice::Closed, slot, s->GetSlot(slot)});
        });
    }

    void Watch(const CRS232Ctrl& port)
    {
        connect(port.Notifier(), &CSerialNotifier::received, this, [this] {
            Add({Notice::SerialReceived, -1, nullptr});
        });
    }

    int Count(Notice notice) const
    {
        return static_cast<int>(std::count_if(
            events.begin(), events.end(), [notice](const auto& e) { return e.notice == notice; }));
    }

    std::vector<RecordedEvent> Of(Notice notice) const
    {
        std::vector<RecordedEvent> found;
        std::copy_if(events.begin(), events.end(), std::back_inserter(found),
                     [notice](const auto& e) { return e.notice == notice; });
        return found;
    }

private:
    void Add(const RecordedEvent& recorded)
    {
        events.push_back(recorded);
        if (onEvent)
            onEvent(recorded);
    }
};
