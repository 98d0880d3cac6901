#pragma once

#include "MonitorTestEnv.h"

#include "Link.h"

inline CMonitorWindow* WindowOf(const CTARVENView* view)
{
    return qobject_cast<CMonitorWindow*>(view->parentWidget());
}

// Monitors on the socket links and the loopback, set up as a user stores them.
class LinkMonitorTest : public MonitorTest
{
protected:
    // A TCP monitor (role 0 client, 1 server) on 127.0.0.1:port, opened unless told not to.
    CTARVENView* OpenTcp(int role, quint16 port, bool welcome = true, bool open = true)
    {
        SetValue("Interface", 1);
        SetValue("Active", role);
        SetValue("ServerPort", port);
        SetValue("ServerIP", qint32(0x7F000001));
        SetValue("WelcomeFlag", int(welcome));
        CTARVENView* view = NewMonitor();
        if (open)
            view->OnPortOpen();
        return view;
    }

    // A UDP monitor sending to the peer's port, or back to the sender when remotePort is 0.
    CTARVENView* OpenUdp(quint16 remotePort, int localPort = 0)
    {
        SetValue("Interface", 2);
        SetValue("LocalPort", localPort);
        SetValue("ServerPort", remotePort == 0 ? 4096 : remotePort);
        SetValue("ServerIP", remotePort == 0 ? 0 : qint32(0x7F000001));
        return Opened(NewMonitor());
    }

    // Null, and a failure, when the program has no loopback.
    CTARVENView* OpenLoopback()
    {
        const CLinkKind* loopback = FindLinkKindByName(QStringLiteral("loopback"));
        if (loopback == nullptr) {
            ADD_FAILURE() << "no loopback link";
            return nullptr;
        }
        SetValue("Interface", loopback->nInterface);
        return Opened(NewMonitor());
    }

private:
    CTARVENView* Opened(CTARVENView* view)
    {
        view->OnPortOpen();
        EXPECT_TRUE(view->IsOnline()) << m_messages.texts.join('\n').toStdString();
        return view;
    }
};
