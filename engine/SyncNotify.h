#pragma once

#include <QEvent>
#include <QObject>

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

// The message number of the SYNC notice, which programs hosting a script receive.
inline constexpr int WM_NOTIFY = 0x4E;
inline constexpr uint32_t TSLN_SYNC = 10001;

// What SYNC tells the window that hosts a script. The receiver reads the value and clears
// `waiting` (Release) to let the script go on; the record is shared, so it stays valid however
// late the receiver handles the notice.
struct TSL_SYNC_NOTIFY
{
    QObject* hwndFrom = nullptr; // the host control; compare, do not use after the run
    uint32_t idFrom = 0;
    uint32_t code = TSLN_SYNC;
    int32_t value = 0;
    std::atomic<uint32_t> waiting{1};
    // The operand as the script writes it: a number past the 32-bit range is reported so, not
    // as the value it was held to.
    std::string text;

    void Release() { waiting.store(0, std::memory_order_release); }
};

// The SYNC notice as an event posted to the host control's parent (WM_NOTIFY).
class CSyncNotifyEvent : public QEvent
{
public:
    explicit CSyncNotifyEvent(std::shared_ptr<TSL_SYNC_NOTIFY> pNotify)
        : QEvent(Type()), m_pNotify(std::move(pNotify))
    {}

    static QEvent::Type Type() { return static_cast<QEvent::Type>(QEvent::User + WM_NOTIFY); }
    const std::shared_ptr<TSL_SYNC_NOTIFY>& Notify() const { return m_pNotify; }

private:
    std::shared_ptr<TSL_SYNC_NOTIFY> m_pNotify;
};
