#pragma once

#include "CReplyMatcher.h"
#include "CReplySchedule.h"
#include "SimOptions.h"

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <sys/socket.h>
#include <time.h>
#include <vector>

// The device tslsim plays: one end of a pty, a serial line, a TCP server or a UDP port, each
// peer with its own matcher of the reply rules. Answers go out after their delays, in the order
// their requests came, whole; at most kMaxOutBytes of them wait for their time, and as much
// again for a peer that does not take them; answers beyond that are dropped and counted, never
// cut.
class CSimDevice
{
public:
    using Clock = std::chrono::steady_clock;
    static constexpr std::size_t kMaxOutBytes = 1 << 20;
    static constexpr std::size_t kMaxClients = 16;

    // The first nFixed rules are a rule file's, the rest a session's, tried in `order`.
    CSimDevice(const SimOptions& options, std::vector<tsl::ReplyRule> rules, std::size_t nFixed,
               CReplyMatcher::Order order);
    ~CSimDevice();
    CSimDevice(const CSimDevice&) = delete;
    CSimDevice& operator=(const CSimDevice&) = delete;

    // Opens the link; for a pty, prints its path on standard output. The error in words.
    bool Open(std::string& strError);
    // Serves until signalFd (a signalfd of SIGINT and SIGTERM) is readable: true; false when
    // the line failed.
    bool Serve(int signalFd);

private:
    struct Peer
    {
        int fd = -1;
        CReplyMatcher matcher;
        CReplySchedule answers;
        std::string out;
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
    // What a run of bytes no rule answers gets: told, and answered if the options say so.
    std::optional<std::string> Unmatched(const std::string& bytes) const;
    bool WriteTo(Peer& peer);
    void RunTimers(Peer& peer, Clock::time_point now);
    // How long the serving loop may wait: to the nanosecond, so an answer is not late by the
    // rounding of a millisecond wait; null to wait for input alone.
    const timespec* NextTimeout(Clock::time_point now, timespec& wait) const;

    SimOptions m_options;
    std::vector<tsl::ReplyRule> m_rules;
    std::size_t m_nFixed;
    CReplyMatcher::Order m_order;
    int m_listenFd = -1;
    int m_ptySlave = -1;
    bool m_bLinked = false;
    std::vector<std::unique_ptr<Peer>> m_peers;
};
