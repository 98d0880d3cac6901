#include "CSimDevice.h"

#include "ControlCodes.h"
#include "SerialLine.h"
#include "TerminalText.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <pty.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace {

constexpr std::size_t kReadBytes = 65536; // per peer and round: a flood cannot starve the rest

void Tell(const std::string& message)
{
    WriteDiagnostic("tslsim: " + message);
}

std::string SystemError(int error)
{
    return std::strerror(error);
}

bool SetNonBlocking(int fd)
{
    const int flags = fcntl(fd, F_GETFL);
    return flags >= 0 && fcntl(fd, F_SETFL, flags | O_NONBLOCK) == 0;
}

} // namespace

CSimDevice::CSimDevice(const SimOptions& options, std::vector<tsl::ReplyRule> rules,
                       std::size_t nFixed, CReplyMatcher::Order order)
    : m_options(options), m_rules(std::move(rules)), m_nFixed(nFixed), m_order(order)
{}

CSimDevice::~CSimDevice()
{
    for (const auto& peer : m_peers)
        ::close(peer->fd);
    if (m_listenFd >= 0)
        ::close(m_listenFd);
    if (m_ptySlave >= 0)
        ::close(m_ptySlave);
    if (m_bLinked)
        ::unlink(m_options.strLink.c_str());
}

bool CSimDevice::Open(std::string& strError)
{
    switch (m_options.endpoint) {
    case SimOptions::Endpoint::Pty:
        return OpenPty(strError);
    case SimOptions::Endpoint::Tcp:
        return OpenSocket(SOCK_STREAM, strError);
    case SimOptions::Endpoint::Udp:
        return OpenSocket(SOCK_DGRAM, strError);
    case SimOptions::Endpoint::Serial:
        return OpenSerial(strError);
    case SimOptions::Endpoint::None:
        break;
    }
    strError = "no link chosen";
    return false;
}

CSimDevice::Peer& CSimDevice::AddPeer(int fd)
{
    auto peer = std::make_unique<Peer>(Peer{fd,
                                            CReplyMatcher(m_rules, m_nFixed, m_order),
                                            CReplySchedule(kMaxOutBytes, m_options.speed),
                                            {},
                                            {},
                                            false,
                                            {},
                                            0,
                                            0});
    m_peers.push_back(std::move(peer));
    return *m_peers.back();
}

bool CSimDevice::OpenPty(std::string& strError)
{
    int master = -1;
    char name[256] = {};
    if (openpty(&master, &m_ptySlave, name, nullptr, nullptr) != 0) {
        strError = "cannot make a pseudo-terminal: " + SystemError(errno);
        return false;
    }
    // Raw both ways, as a device's line is; the slave stays open here, so a program that
    // closes and opens the path again finds the device still there.
    termios raw{};
    tcgetattr(m_ptySlave, &raw);
    cfmakeraw(&raw);
    tcsetattr(m_ptySlave, TCSANOW, &raw);
    SetNonBlocking(master);
    AddPeer(master);
    if (!m_options.strLink.empty()) {
        // A symbolic link left by an earlier run is replaced; anything else stays.
        struct stat st
        {};
        if (lstat(m_options.strLink.c_str(), &st) == 0 && S_ISLNK(st.st_mode))
            ::unlink(m_options.strLink.c_str());
        if (symlink(name, m_options.strLink.c_str()) != 0) {
            strError =
                "cannot name the pseudo-terminal " + m_options.strLink + ": " + SystemError(errno);
            return false;
        }
        m_bLinked = true;
    }
    std::printf("%s\n", name);
    std::fflush(stdout);
    return true;
}

bool CSimDevice::OpenSocket(int type, std::string& strError)
{
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(m_options.nPort));
    if (inet_pton(AF_INET, m_options.strAddress.c_str(), &address.sin_addr) != 1) {
        strError = "\"" + m_options.strAddress + "\" is no IPv4 address";
        return false;
    }
    const int fd = ::socket(AF_INET, type | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    const int on = 1;
    if (fd < 0 || setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on) != 0 ||
        ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        (type == SOCK_STREAM && ::listen(fd, 8) != 0)) {
        strError =
            "cannot serve on port " + std::to_string(m_options.nPort) + ": " + SystemError(errno);
        if (fd >= 0)
            ::close(fd);
        return false;
    }
    if (type == SOCK_STREAM)
        m_listenFd = fd;
    else
        AddPeer(fd);
    return true;
}

bool CSimDevice::OpenSerial(std::string& strError)
{
    const int fd = ::open(m_options.strDevice.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        strError = "cannot open " + m_options.strDevice + ": " + SystemError(errno);
        return false;
    }
    if (!isatty(fd) || SetRawLine(fd) != 0 || SetLineRate(fd, m_options.nBaud) != 0) {
        strError = m_options.strDevice + " is no serial line this program can set up";
        ::close(fd);
        return false;
    }
    AddPeer(fd);
    return true;
}

void CSimDevice::Accept()
{
    const int fd = ::accept4(m_listenFd, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (fd < 0)
        return;
    if (m_peers.size() == kMaxClients) {
        Tell("a client more than " + std::to_string(kMaxClients) + " was turned away");
        ::close(fd);
        return;
    }
    AddPeer(fd);
}

bool CSimDevice::ReadFrom(Peer& peer)
{
    char buffer[kReadBytes];
    if (m_options.endpoint == SimOptions::Endpoint::Udp) {
        peer.fromLength = sizeof peer.from;
        const ssize_t n = ::recvfrom(peer.fd, buffer, sizeof buffer, 0,
                                     reinterpret_cast<sockaddr*>(&peer.from), &peer.fromLength);
        if (n > 0) {
            // A datagram is a whole request: what it leaves unanswered is unmatched at once.
            const Clock::time_point now = Clock::now();
            const auto unmatched = [this](const std::string& bytes) { return Unmatched(bytes); };
            peer.answers.Feed(peer.matcher, std::string_view(buffer, static_cast<size_t>(n)), now,
                              unmatched);
            peer.answers.GiveUp(peer.matcher, now, unmatched);
        }
        return true;
    }
    const ssize_t n = ::read(peer.fd, buffer, sizeof buffer);
    if (n > 0) {
        peer.lastInput = Clock::now();
        peer.bQuietDue = true;
        peer.answers.Feed(peer.matcher, std::string_view(buffer, static_cast<size_t>(n)),
                          peer.lastInput,
                          [this](const std::string& bytes) { return Unmatched(bytes); });
        return true;
    }
    if (n < 0 && (errno == EAGAIN || errno == EINTR))
        return true;
    // A TCP client closed, or the line failed (a serial adapter pulled).
    if (m_options.endpoint != SimOptions::Endpoint::Tcp)
        Tell("reading the line failed: " + SystemError(n < 0 ? errno : EIO));
    return false;
}

std::optional<std::string> CSimDevice::Unmatched(const std::string& bytes) const
{
    Tell("no rule answers " + tsl::WriteControlCodes(bytes));
    if (!m_options.bUnmatchedReply)
        return std::nullopt;
    return m_options.unmatchedReply;
}

bool CSimDevice::WriteTo(Peer& peer)
{
    while (!peer.out.empty()) {
        const ssize_t n = ::write(peer.fd, peer.out.data(), peer.out.size());
        if (n > 0) {
            peer.out.erase(0, static_cast<size_t>(n));
            continue;
        }
        if (n < 0 && (errno == EAGAIN || errno == EINTR))
            return true;
        if (m_options.endpoint != SimOptions::Endpoint::Tcp)
            Tell("writing to the line failed: " + SystemError(n < 0 ? errno : EIO));
        return false;
    }
    return true;
}

void CSimDevice::RunTimers(Peer& peer, Clock::time_point now)
{
    if (peer.bQuietDue && now - peer.lastInput >= std::chrono::milliseconds(m_options.nQuietMs)) {
        peer.bQuietDue = false;
        peer.answers.GiveUp(peer.matcher, now,
                            [this](const std::string& bytes) { return Unmatched(bytes); });
        peer.nDropped += peer.answers.TakeDropped();
        if (peer.nDropped > 0) {
            Tell(std::to_string(peer.nDropped) +
                 " answers were not sent: 1 MiB of answers was waiting already");
            peer.nDropped = 0;
        }
    }
    if (const long long dropped = peer.answers.TakeDropped(); dropped > 0) {
        peer.nDropped += dropped;
        peer.bQuietDue = true; // tells the count when the line next goes quiet
    }
    for (const std::string& answer : peer.answers.TakeDue(now)) {
        if (m_options.endpoint == SimOptions::Endpoint::Udp) {
            if (::sendto(peer.fd, answer.data(), answer.size(), 0,
                         reinterpret_cast<sockaddr*>(&peer.from), peer.fromLength) < 0)
                ++peer.nDropped;
        } else if (peer.out.size() + answer.size() > kMaxOutBytes) {
            ++peer.nDropped;
            peer.bQuietDue = true;
        } else {
            peer.out += answer;
        }
    }
}

const timespec* CSimDevice::NextTimeout(Clock::time_point now, timespec& wait) const
{
    Clock::time_point next = Clock::time_point::max();
    for (const auto& peer : m_peers) {
        if (peer->bQuietDue)
            next = std::min(next, peer->lastInput + std::chrono::milliseconds(m_options.nQuietMs));
        if (const auto due = peer->answers.NextDue())
            next = std::min(next, *due);
    }
    if (next == Clock::time_point::max())
        return nullptr;
    const auto ns = std::clamp<long long>(
        std::chrono::duration_cast<std::chrono::nanoseconds>(next - now).count(), 0,
        std::chrono::nanoseconds(std::chrono::seconds(60)).count());
    constexpr long long kNsPerSecond = 1'000'000'000;
    wait.tv_sec = static_cast<time_t>(ns / kNsPerSecond);
    wait.tv_nsec = static_cast<long>(ns % kNsPerSecond);
    return &wait;
}

bool CSimDevice::Serve(int signalFd)
{
    std::vector<pollfd> fds;
    for (;;) {
        fds.clear();
        fds.push_back({signalFd, POLLIN, 0});
        if (m_listenFd >= 0)
            fds.push_back({m_listenFd, POLLIN, 0});
        const std::size_t first = fds.size();
        for (const auto& peer : m_peers)
            fds.push_back(
                {peer->fd, static_cast<short>(POLLIN | (peer->out.empty() ? 0 : POLLOUT)), 0});
        timespec wait{};
        if (::ppoll(fds.data(), fds.size(), NextTimeout(Clock::now(), wait), nullptr) < 0 &&
            errno != EINTR) {
            Tell("waiting for the line failed: " + SystemError(errno));
            return false;
        }
        if (fds[0].revents != 0)
            return true;
        if (m_listenFd >= 0 && (fds[1].revents & POLLIN))
            Accept();
        const Clock::time_point now = Clock::now();
        for (std::size_t i = 0; i < m_peers.size() && first + i < fds.size();) {
            Peer& peer = *m_peers[i];
            const short revents = fds[first + i].revents;
            bool alive = true;
            if (revents & (POLLIN | POLLHUP | POLLERR))
                alive = ReadFrom(peer);
            if (alive) {
                RunTimers(peer, now);
                alive = WriteTo(peer);
            }
            if (!alive) {
                if (m_options.endpoint != SimOptions::Endpoint::Tcp)
                    return false;
                ::close(peer.fd);
                m_peers.erase(m_peers.begin() + static_cast<std::ptrdiff_t>(i));
                fds.erase(fds.begin() + static_cast<std::ptrdiff_t>(first + i));
                continue;
            }
            ++i;
        }
    }
}
