#include "SocketSend.h"

#include "CClientSock.h"
#include "ToolsConstants.h"
#include "TransportConstants.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <poll.h>

namespace {

using Clock = std::chrono::steady_clock;

// Waits a slice for room to write. The descriptor may be closed by the owner meanwhile: the
// wait is short and the next send tells what became of the socket.
void WaitForRoom(const CClientSock& socket, int waitMs)
{
    pollfd fd = {static_cast<int>(socket.GetHandle()), POLLOUT, 0};
    if (fd.fd < 0)
        return;
    ::poll(&fd, 1, std::min(waitMs, kSocketWaitSliceMs));
}

} // namespace

int SendAll(CClientSock& socket, const char* data, int n, int& error)
{
    error = 0;
    int sent = 0;
    Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(kWriteTimeoutMs);
    while (sent < n) {
        const int put = socket.Send(data + sent, n - sent);
        if (put > 0) {
            sent += put;
            deadline = Clock::now() + std::chrono::milliseconds(kWriteTimeoutMs);
            continue;
        }
        if (put < 0 && errno == EINTR)
            continue;
        if (put < 0 && errno != EAGAIN && errno != EWOULDBLOCK) {
            error = errno;
            break;
        }
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0) {
            error = ETIMEDOUT; // the peer takes nothing
            break;
        }
        WaitForRoom(socket, static_cast<int>(left.count()));
    }
    return sent;
}
