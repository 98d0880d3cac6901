#pragma once

#include "CReplyMatcher.h"
#include "SimOptions.h"

#include <chrono>
#include <deque>
#include <memory>
#include <string>
#include <sys/socket.h>
#include <vector>

// The device tslsim plays: one end of a pty, a serial line, a TCP server or a UDP port, each
// peer with its own matcher of the reply rules. Answers go out after their delays, in the order
// their requests came, whole; a peer that does not take them holds at most kMaxOutBytes, and
// answers beyond that are dropped and counted, never cut.
class CSimDevice
{
public:
    using Clock = std::chrono::steady_clock;
    static constexpr std::size_t kMaxOutBytes = 1 << 20;
    static constexpr std::size_t kMaxClients = 16;

    CSimDevice(const SimOptions& options, std::vector<tsl::ReplyRule> rules);
    ~CSimDevice();
    CSimDevice(const CSimDevice&) = delete;
    CSimDevice& operator=(const CSimDevice&) = delete;

    // Opens the link; for a pty, prints its path on standard output. The error in words.
    bool Open(std::string& strError);
    // Serves until signalFd (a signalfd of SIGINT and SIGTERM) is readable: true; false when
    // the line failed.
    bool Serve(int signalFd);

private:
    struct Answer
    {
        Clock::time_point due;
        std::string bytes;
    };
    struct Peer
    {
        int fd = -1;
        CReplyMatcher matcher;
        std::string out;
        std::deque<Answer> answers;
        Clock::time_point lastInput;
        bool bQuietDue = false;
        sockaddr_storage from{}; // UDP: where the answers go
        socklen_t fromLength = 0;
        long long nDropped = 0;
    };

    bool OpenPty(std::string& strError);
    bool OpenSocket(int type, std::string& strError);
    bool OpenSerial(std::string& strError);
    Peer& AddPeer(int fd);
    void Accept();
    // False when the peer has gone.
    bool ReadFrom(Peer& peer);
    void Handle(Peer& peer, std::vector<CReplyMatcher::Event> events);
    bool WriteTo(Peer& peer);
    void RunTimers(Peer& peer, Clock::time_point now);
    int NextTimeoutMs(Clock::time_point now) const;

    SimOptions m_options;
    std::vector<tsl::ReplyRule> m_rules;
    int m_listenFd = -1;
    int m_ptySlave = -1;
    bool m_bLinked = false;
    std::vector<std::unique_ptr<Peer>> m_peers;
};
