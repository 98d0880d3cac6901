#include "CRS232Ctrl.h"

#include "SerialPortName.h"
#include "TransportConstants.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

int64_t NowMs()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now().time_since_epoch())
        .count();
}

constexpr int kDataBitsOfCode[] = {7, 8};
constexpr int kParityCodeCount = 3;
constexpr int kStopBitCodeCount = 3;

// A COMM code, its default when unset (-1), or -1 when it lies outside its table.
int CodeOrDefault(int code, int count, int unsetDefault)
{
    if (code == -1)
        return unsetDefault;
    return code >= 0 && code < count ? code : -1;
}

} // namespace

bool CommLineValues(const COMM& comm, SerialLineValues& out)
{
    const int baudIndex = CodeOrDefault(comm.nBaudRate, kBaudRateCount, kDefaultBaudIndex);
    const int dataCode = CodeOrDefault(comm.nDataBit, 2, kDefaultDataBitCode);
    out.nParity = CodeOrDefault(comm.nParityBit, kParityCodeCount, kDefaultParityCode);
    out.nStopBits = CodeOrDefault(comm.nStopBit, kStopBitCodeCount, kDefaultStopBitCode);
    out.nFlowControl = CodeOrDefault(comm.nFlowControl, kFlowControlCount, FLOW_NONE);
    if (baudIndex < 0 || dataCode < 0 || out.nParity < 0 || out.nStopBits < 0 ||
        out.nFlowControl < 0)
        return false;
    out.nBaud = kBaudRates[baudIndex];
    out.nDataBits = kDataBitsOfCode[dataCode];
    return true;
}

CRS232Ctrl::CRS232Ctrl() = default;

CRS232Ctrl::CRS232Ctrl(const CRS232Ctrl& other)
{
    CopyFrom(other);
}

CRS232Ctrl& CRS232Ctrl::operator=(const CRS232Ctrl& other)
{
    if (this != &other) {
        Close();
        CopyFrom(other);
    }
    return *this;
}

CRS232Ctrl::~CRS232Ctrl()
{
    Close();
}

void CRS232Ctrl::CopyFrom(const CRS232Ctrl& other)
{
    m_queue = other.m_queue;
    m_pRing = other.m_pRing ? std::make_unique<CByteRing>(*other.m_pRing) : nullptr;
    m_lastOpen = other.m_lastOpen;
    m_dwLastError = other.m_dwLastError.load();
    m_dwCommErrors = other.m_dwCommErrors.load();
    m_bConnect = other.m_bConnect.load();
    m_nWaitCount = other.m_nWaitCount.load();
    m_wStatusSignal = other.m_wStatusSignal.load();
    m_nWriteMultiplier = other.m_nWriteMultiplier.load();
    m_nWriteConstant = other.m_nWriteConstant.load();
    m_dwEventSelection = other.m_dwEventSelection;
    m_wait = other.m_wait;
    m_nCarrierAtWait = other.m_nCarrierAtWait;
    m_nNoticeGapMs = other.m_nNoticeGapMs.load();
    {
        std::lock_guard lock(other.m_lineMutex);
        m_lineCounts = other.m_lineCounts;
    }
    if (other.m_hComm < 0)
        return;
    const int fd = fcntl(other.m_hComm, F_DUPFD_CLOEXEC, 0);
    const int wake = fd < 0 ? -1 : eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    const int nudge = wake < 0 ? -1 : eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (nudge < 0) {
        m_dwLastError = errno;
        m_bConnect = 0;
        for (const int opened : {wake, fd}) {
            if (opened >= 0)
                ::close(opened);
        }
        return;
    }
    m_bModemLines = other.m_bModemLines.load();
    std::lock_guard lock(m_ioMutex);
    m_hComm = fd;
    m_hWake = wake;
    m_claim = other.m_claim;
    m_hNudge = nudge;
}

int CRS232Ctrl::Open(COMM* settings)
{
    if (settings == nullptr) {
        m_dwLastError = EINVAL;
        return 0;
    }
    const std::string port(settings->szPort, strnlen(settings->szPort, sizeof settings->szPort));
    return Open(settings, port.c_str());
}

int CRS232Ctrl::Open(COMM* settings, const char* port)
{
    if (settings == nullptr) {
        m_dwLastError = EINVAL;
        return 0;
    }
    SerialLineValues line;
    if (!CommLineValues(*settings, line)) {
        m_dwLastError = EINVAL;
        return 0;
    }
    return OpenPort(port, line.nBaud, line.nDataBits, line.nParity, line.nStopBits,
                    line.nFlowControl, false);
}

int CRS232Ctrl::Open(const char* port, int baud, int dataBits, int parity, int stopBits,
                     int flowControl)
{
    return OpenPort(port, baud, dataBits, parity, stopBits, flowControl, true);
}

int CRS232Ctrl::OpenPort(const char* port, int baud, int dataBits, int parity, int stopBits,
                         int flowControl, bool startReader)
{
    Close();
    m_dwLastError = 0;
    m_dwCommErrors = 0;
    m_wait = {};
    m_bVanished = false;
    if (port == nullptr) {
        m_dwLastError = EINVAL;
        return 0;
    }
    const QString path = SerialDevicePath(QString::fromLocal8Bit(port));
    // Claimed before it opens: opening a device in use may already disturb its lines.
    if (const int busy = m_claim.Reserve(path)) {
        m_dwLastError = busy;
        return 0;
    }
    const int fd =
        ::open(path.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        m_dwLastError = errno;
        m_claim.Release();
        return 0;
    }
    // Not shared: a second program opening the port would steal received bytes.
    ioctl(fd, TIOCEXCL);
    int error = m_claim.Lock(fd);
    const int wake = error == 0 ? eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK) : -1;
    const int nudge = wake < 0 ? -1 : eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (error == 0 && nudge < 0)
        error = errno;
    if (error == 0) {
        tcflush(fd, TCIOFLUSH);
        error = SetRawLine(fd);
    }
    // A rate or framing the device refuses fails the open: running on other settings than
    // asked would show the user garbage instead of an error.
    if (error == 0)
        error = SetLineRate(fd, baud);
    if (error == 0)
        error = SetLineFraming(fd, parity, dataBits, stopBits);
    if (error == 0)
        error = SetLineFlowControl(fd, flowControl);
    if (error != 0) {
        for (const int opened : {nudge, wake, fd}) {
            if (opened >= 0)
                ::close(opened);
        }
        m_claim.Release();
        m_dwLastError = error;
        return 0;
    }
    uint32_t lines = 0;
    m_bModemLines = ReadModemLines(fd, &lines) == 0;
    m_bWatchLines = false;
    m_nBreakEndMs = 0;
    m_bLinesKnown = false;
    {
        std::lock_guard lock(m_ioMutex);
        m_hComm = fd;
        m_hWake = wake;
        m_hNudge = nudge;
    }
    m_lastOpen = OpenSettings{port, baud, dataBits, parity, stopBits, flowControl, startReader};
    m_dwEventSelection = kCommEventMask;
    m_nWriteMultiplier = 0;
    m_nWriteConstant = kWriteTimeoutMs;
    ClearLineErrors();
    m_dwCommErrors = 0;
    m_bConnect = 1;
    if (startReader) {
        m_bNoticePending = false;
        m_bRingWait = false;
        m_bLinesKnown = false;
        m_nNoticeDueMs = 0;
        m_nLastNoticeMs = 0;
        m_bRun = true;
        m_reader = std::thread(&CRS232Ctrl::ReaderThreadProc, this);
    }
    return 1;
}

int CRS232Ctrl::Close()
{
    if (m_hComm < 0)
        return 1;
    m_bConnect = 0;
    {
        std::lock_guard lock(m_ioMutex);
        m_bClosing = true;
    }
    m_bRun = false;
    eventfd_write(m_hWake, 1);
    tcflush(m_hComm, TCIOFLUSH);
    if (m_reader.joinable())
        m_reader.join();

    std::unique_lock lock(m_ioMutex);
    m_ioIdle.wait(lock, [this] { return m_nIoCount == 0; });
    if (m_nBreakEndMs.exchange(0) != 0)
        SetLineBreak(m_hComm, false); // a break the reader had yet to end
    ::close(m_hNudge);
    ::close(m_hWake);
    ::close(m_hComm);
    m_claim.Release();
    m_hNudge = -1;
    m_hWake = -1;
    m_hComm = -1;
    m_bWatchLines = false;
    m_bClosing = false;
    m_dwEventSelection = 0;
    m_wait.bPending = false;
    return 1;
}

int CRS232Ctrl::Reopen()
{
    if (!m_lastOpen) {
        m_dwLastError = EINVAL;
        return 0;
    }
    const OpenSettings last = *m_lastOpen;
    return OpenPort(last.strPort.c_str(), last.baud, last.dataBits, last.parity, last.stopBits,
                    last.flowControl, last.startReader);
}

bool CRS232Ctrl::EnterIo()
{
    std::lock_guard lock(m_ioMutex);
    if (m_hComm < 0 || m_bClosing)
        return false;
    ++m_nIoCount;
    return true;
}

void CRS232Ctrl::LeaveIo()
{
    std::lock_guard lock(m_ioMutex);
    if (--m_nIoCount == 0)
        m_ioIdle.notify_all();
}

template <typename Apply> int CRS232Ctrl::ApplySetting(Apply apply)
{
    m_dwLastError = 0;
    if (!EnterIo()) {
        m_dwLastError = EBADF;
        return 0;
    }
    const int error = apply(m_hComm);
    LeaveIo();
    m_dwLastError = error;
    return error == 0 ? 1 : 0;
}

int CRS232Ctrl::bsSetBaudRate(int baud)
{
    return ApplySetting([baud](int fd) { return SetLineRate(fd, baud); });
}

int CRS232Ctrl::bsSetParityDataStop(int parity, int dataBits, int stopBits)
{
    return ApplySetting([=](int fd) { return SetLineFraming(fd, parity, dataBits, stopBits); });
}

int CRS232Ctrl::bsSetFlowControl(int flowControl)
{
    return ApplySetting([flowControl](int fd) { return SetLineFlowControl(fd, flowControl); });
}

int CRS232Ctrl::bsSetBufferSizes(int in, int out)
{
    // The tty layer's buffers have a fixed size; only nonsense is refused.
    return ApplySetting([=](int) { return in > 0 && out > 0 ? 0 : EINVAL; });
}

int CRS232Ctrl::bsSetReadTimeouts(int interval, int multiplier, int constant)
{
    // Reads always return at once with what is there, the only behaviour callers rely on.
    return ApplySetting(
        [=](int) { return interval >= 0 && multiplier >= 0 && constant >= 0 ? 0 : EINVAL; });
}

int CRS232Ctrl::bsSetWriteTimeouts(int multiplier, int constant)
{
    return ApplySetting([=, this](int) {
        if (multiplier < 0 || constant < 0)
            return EINVAL;
        m_nWriteMultiplier = multiplier;
        m_nWriteConstant = constant;
        return 0;
    });
}

int CRS232Ctrl::bsSetDtr(int on)
{
    return ApplySetting([this, on](int fd) {
        return m_bModemLines ? SetModemLine(fd, MS_DTR_ON, on != 0) : ENOTTY;
    });
}

int CRS232Ctrl::bsSetRts(int on)
{
    return ApplySetting([this, on](int fd) {
        return m_bModemLines ? SetModemLine(fd, MS_RTS_ON, on != 0) : ENOTTY;
    });
}

int CRS232Ctrl::bsGetModemStatus(unsigned& status)
{
    return ApplySetting([this, &status](int fd) {
        uint32_t lines = 0;
        const int error = m_bModemLines ? ReadModemLines(fd, &lines) : ENOTTY;
        status = lines;
        return error;
    });
}

int CRS232Ctrl::bsWatchModemLines(int on)
{
    return ApplySetting([this, on](int) {
        if (!m_bModemLines)
            return ENOTTY;
        if (!m_bRun)
            return EINVAL;
        m_bWatchLines = on != 0;
        eventfd_write(m_hNudge, 1);
        return 0;
    });
}

int CRS232Ctrl::bsSendBreak(int durationMs)
{
    const bool byReader = m_bRun;
    const int started = ApplySetting([this, durationMs, byReader](int fd) {
        if (!m_bModemLines)
            return ENOTTY;
        if (durationMs <= 0)
            return EINVAL;
        const int error = SetLineBreak(fd, true);
        if (error == 0 && byReader) {
            m_nBreakEndMs = NowMs() + durationMs;
            eventfd_write(m_hNudge, 1);
        }
        return error;
    });
    if (!started || byReader || !EnterIo())
        return started;
    // No reader to end it: hold the break here, Close cutting it short.
    pollfd wake = {m_hWake, POLLIN, 0};
    ::poll(&wake, 1, durationMs);
    SetLineBreak(m_hComm, false);
    LeaveIo();
    return 1;
}

int CRS232Ctrl::IsValid() const
{
    return m_hComm >= 0 && m_dwLastError == 0 ? 1 : 0;
}

int CRS232Ctrl::GetWaitOverlapped(CommWaitRecord& out) const
{
    out = m_wait;
    return 0;
}

unsigned CRS232Ctrl::GetCommErrors()
{
    // Asked for, never per read: the driver's counters cost a system call each time.
    ClearLineErrors();
    return m_dwCommErrors;
}

void CRS232Ctrl::ClearLineErrors()
{
    std::lock_guard lock(m_lineMutex);
    m_dwCommErrors = TakeLineErrors(m_hComm, &m_lineCounts);
}

void CRS232Ctrl::MarkVanished(int error)
{
    m_dwLastError = error;
    m_bConnect = 0;
    m_bVanished = true;
}

CRS232Ctrl::PortState CRS232Ctrl::PollPort(short events, int timeoutMs, int nudgeFd)
{
    pollfd fds[3] = {{m_hComm, events, 0}, {m_hWake, POLLIN, 0}, {nudgeFd, POLLIN, 0}};
    for (;;) {
        const int ready = ::poll(fds, nudgeFd < 0 ? 2 : 3, timeoutMs);
        if (ready < 0 && errno == EINTR)
            continue; // a signal is no event: wait on
        if (ready < 0)
            return PortState::Fault;
        if (fds[1].revents != 0)
            return PortState::Closing;
        if (fds[2].revents != 0) {
            eventfd_t taken = 0;
            eventfd_read(nudgeFd, &taken);
        }
        if (fds[0].revents & (POLLHUP | POLLERR | POLLNVAL))
            return PortState::Fault;
        return fds[0].revents != 0 ? PortState::Data : PortState::Nothing;
    }
}

int CRS232Ctrl::ReadPort(char* buf, int max)
{
    if (max <= 0)
        return 0;
    for (;;) {
        const ssize_t got = ::read(m_hComm, buf, static_cast<size_t>(max));
        if (got > 0)
            return static_cast<int>(got);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0 && errno != EAGAIN) {
            MarkVanished(errno); // EIO: the device or the pty master is gone
            return 0;
        }
        break;
    }
    // A tty reads 0 both when it is empty and when it was hung up: only poll tells them apart.
    pollfd fd = {m_hComm, POLLIN, 0};
    if (::poll(&fd, 1, 0) > 0 && (fd.revents & (POLLHUP | POLLERR | POLLNVAL)))
        MarkVanished(EIO);
    return 0;
}

int CRS232Ctrl::Read(char* buf, int max)
{
    if (buf == nullptr || !EnterIo())
        return 0;
    const int got = ReadPort(buf, max);
    LeaveIo();
    return got;
}

int CRS232Ctrl::Write(const char* buf, int n)
{
    return WriteWhole(buf, n).nWritten;
}

WriteResult CRS232Ctrl::WriteWhole(const char* data, int n)
{
    // Both write time-outs 0 mean no time-out at all; Close still ends the wait.
    const int64_t limitMs = GetWriteTimeoutMs(n);
    return WriteFor(data, n, limitMs > 0 ? limitMs : -1);
}

WriteResult CRS232Ctrl::WriteWhole(const char* data, int n, std::chrono::milliseconds wait)
{
    return WriteFor(data, n, std::max<int64_t>(wait.count(), 0));
}

WriteResult CRS232Ctrl::WriteFor(const char* buf, int n, int64_t limitMs)
{
    if (n == 0)
        return {WriteStatus::Written, 0, 0};
    if (buf == nullptr || n < 0)
        return {WriteStatus::Failed, 0, EINVAL};
    if (!EnterIo()) {
        m_dwLastError = EBADF;
        return {WriteStatus::Failed, 0, EBADF};
    }
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(limitMs);
    WriteResult result = {WriteStatus::Written, 0, 0};
    while (result.nWritten < n) {
        const ssize_t put =
            ::write(m_hComm, buf + result.nWritten, static_cast<size_t>(n - result.nWritten));
        if (put > 0) {
            result.nWritten += static_cast<int>(put);
            continue;
        }
        if (put < 0 && errno == EINTR)
            continue;
        if (put < 0 && errno != EAGAIN) {
            result = {WriteStatus::Failed, result.nWritten, errno};
            MarkVanished(errno);
            break;
        }
        // The driver's buffer is full: wait for room, for the time-out or for Close.
        int waitMs = -1;
        if (limitMs >= 0) {
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
            if (left.count() <= 0) {
                result = {WriteStatus::TimedOut, result.nWritten, ETIMEDOUT};
                break;
            }
            waitMs = static_cast<int>(left.count());
        }
        const PortState state = PollPort(POLLOUT, waitMs);
        if (state == PortState::Closing) {
            result = {WriteStatus::Failed, result.nWritten, EBADF};
            break;
        }
        if (state == PortState::Fault) {
            result = {WriteStatus::Failed, result.nWritten, EIO};
            MarkVanished(EIO);
            break;
        }
    }
    if (result.nWritten > 0)
        m_bWrittenSinceWait = true;
    LeaveIo();
    return result;
}

int CRS232Ctrl::bsWaitCommEvent()
{
    if (!EnterIo()) {
        m_dwLastError = EBADF;
        return 0;
    }
    m_wait = {0, true};
    m_nCarrierAtWait = ReadCarrierDetect(m_hComm);
    m_bWrittenSinceWait = false;
    LeaveIo();
    return 1;
}

unsigned CRS232Ctrl::bsCheckForCommEvent(int wait)
{
    if (!m_wait.bPending || !EnterIo())
        return 0;
    uint32_t mask = 0;
    bool failed = false;
    for (;;) {
        const PortState state = PollPort(POLLIN, wait ? kEventPollTickMs : 0);
        if (state == PortState::Closing)
            break;
        if (state == PortState::Fault) {
            MarkVanished(EIO);
            ClearLineErrors();
            failed = true;
            break;
        }
        if (state == PortState::Data)
            mask |= EV_RXCHAR;
        int queued = 0;
        if (m_bWrittenSinceWait && ioctl(m_hComm, TIOCOUTQ, &queued) == 0 && queued == 0)
            mask |= EV_TXEMPTY;
        const int carrier = ReadCarrierDetect(m_hComm);
        if (carrier >= 0 && carrier != m_nCarrierAtWait)
            mask |= EV_RLSD;
        mask &= m_dwEventSelection;
        if (mask != 0 || !wait)
            break;
    }
    if (mask != 0)
        m_wait = {mask, false};
    LeaveIo();
    if (failed)
        bsWaitCommEvent();
    return mask;
}

void CRS232Ctrl::AnnounceOrHold(bool fresh)
{
    if (!m_pRing) {
        if (fresh)
            AnnounceReceived();
        return;
    }
    if (!fresh && m_nNoticeDueMs == 0)
        return;
    const int64_t now = NowMs();
    const int gap = m_nNoticeGapMs;
    // More than half a ring is told at once: the owner must not fall behind a flood.
    if (gap > 0 && now - m_nLastNoticeMs < gap && m_pRing->GetSize() <= m_pRing->GetRoom()) {
        m_nNoticeDueMs = m_nLastNoticeMs + gap;
        return;
    }
    m_nNoticeDueMs = 0;
    m_nLastNoticeMs = now;
    m_nReadSinceNotice = 0;
    AnnounceReceived();
}

void CRS232Ctrl::AnnounceReceived()
{
    // With a ring one notice covers everything up to the owner's next take.
    if (!m_pRing || !m_bNoticePending.exchange(true))
        emit m_pNotifier->received();
}

int CRS232Ctrl::bsSetReceiveRing(int capacity)
{
    if (m_bRun || capacity < 0) {
        m_dwLastError = m_bRun ? EBUSY : EINVAL;
        return 0;
    }
    m_pRing = capacity > 0 ? std::make_unique<CByteRing>(capacity) : nullptr;
    m_bNoticePending = false;
    return 1;
}

int CRS232Ctrl::GetReceivedSize() const
{
    return m_pRing ? m_pRing->GetSize() : 0;
}

int CRS232Ctrl::TakeReceived(QByteArray& out, int max)
{
    if (!m_pRing)
        return 0;
    // Cleared first: bytes the reader adds from now on bring a notice of their own. An exchange,
    // so that bytes whose notice it clears are seen by the take below.
    m_bNoticePending.exchange(false);
    const int taken = m_pRing->Take(out, max);
    // Pairs with the fence in WaitForRingRoom: the reader sees the room, or this sees it wait.
    std::atomic_thread_fence(std::memory_order_seq_cst);
    if (m_pRing->GetSize() > 0 && !m_bNoticePending.exchange(true)) {
        CSerialNotifier* notifier = m_pNotifier.get();
        QMetaObject::invokeMethod(
            notifier, [notifier] { emit notifier->received(); }, Qt::QueuedConnection);
    }
    if (taken > 0 && m_bRingWait.exchange(false) && EnterIo()) {
        eventfd_write(m_hNudge, 1);
        LeaveIo();
    }
    return taken;
}

bool CRS232Ctrl::HasRoomFor(int n) const
{
    return CQueue::kCells - m_queue.GetSize() > n;
}

bool CRS232Ctrl::WaitForRoom(int n)
{
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(kReaderRoomWaitMs);
    while (!HasRoomFor(n) && Clock::now() < deadline) {
        pollfd wake = {m_hWake, POLLIN, 0};
        if (::poll(&wake, 1, kReaderRoomPollMs) > 0)
            return false;
    }
    return true;
}

int CRS232Ctrl::ReaderWaitMs() const
{
    const int64_t now = NowMs();
    int waitMs = -1;
    const auto until = [&waitMs, now](int64_t dueMs) {
        const int left = static_cast<int>(std::max<int64_t>(dueMs - now, 0));
        waitMs = waitMs < 0 ? left : std::min(waitMs, left);
    };
    if (m_bWatchLines)
        until(m_nLinesDueMs);
    if (const int64_t end = m_nBreakEndMs; end != 0)
        until(end);
    if (m_nNoticeDueMs != 0)
        until(m_nNoticeDueMs);
    return waitMs;
}

void CRS232Ctrl::ServiceLines()
{
    int64_t end = m_nBreakEndMs;
    if (end != 0 && NowMs() >= end && m_nBreakEndMs.compare_exchange_strong(end, 0))
        SetLineBreak(m_hComm, false);
    if (!m_bWatchLines) {
        m_bLinesKnown = false;
        return;
    }
    // On their own clock, not at every chunk a busy line brings.
    const int64_t now = NowMs();
    if (m_bLinesKnown && now < m_nLinesDueMs)
        return;
    m_nLinesDueMs = now + kModemPollMs;
    uint32_t lines = 0;
    if (ReadModemLines(m_hComm, &lines) != 0 || (m_bLinesKnown && lines == m_dwLastLines))
        return;
    m_bLinesKnown = true;
    m_dwLastLines = lines;
    emit m_pNotifier->modemLinesChanged(lines);
}

bool CRS232Ctrl::MoveToQueue()
{
    char chunk[kReaderChunkBytes];
    bool unannounced = false;
    int got = 0;
    while ((got = ReadPort(chunk, sizeof chunk)) > 0) {
        if (!HasRoomFor(got)) {
            // A short hold-up of the owner must not cost bytes: let it drain the queue while
            // later bytes wait in the driver's buffer. Only after that is the chunk dropped,
            // whole, so that a gap never falls inside a message.
            if (unannounced)
                AnnounceReceived();
            unannounced = false;
            if (!WaitForRoom(got))
                return false;
            if (!HasRoomFor(got))
                continue;
        }
        for (int i = 0; i < got; ++i)
            m_queue.PutByte(static_cast<unsigned char>(chunk[i]));
        unannounced = true;
        if (got < kShortReadBytes)
            break; // the driver is empty
    }
    return true;
}

bool CRS232Ctrl::MoveToRing(bool afterHold)
{
    int woke = 0; // read since this wake-up
    for (;;) {
        int room = 0;
        char* span = m_pRing->FreeSpan(&room);
        if (room == 0) {
            AnnounceReceived();
            if (!WaitForRingRoom())
                return false;
            continue;
        }
        const int got = ReadPort(span, room);
        // A read that brought little emptied the driver: a trickle. A device's wake-up that
        // brought more is a burst, whose next piece the driver may still be passing on (a pty
        // hands a write over 2 KiB at a time): not held back. After a hold the bytes gathered
        // while waiting say nothing of the pace.
        const int counted = std::max(got, 0) + (afterHold ? 0 : woke);
        m_bTrickle = got < room && counted < kShortReadBytes;
        if (got <= 0)
            return true;
        woke += got;
        m_pRing->Commit(got);
        m_nReadSinceNotice += got;
        // After a trickle a second read would find nothing; after more, reading on saves a wait.
        if (m_bTrickle)
            return true;
    }
}

bool CRS232Ctrl::WaitForRingRoom()
{
    for (;;) {
        // Armed before every look at the room: a take after it sees the flag and nudges. A nudge
        // may be stale (its room already filled again), so each wake arms again.
        m_bRingWait = true;
        std::atomic_thread_fence(std::memory_order_seq_cst);
        if (m_pRing->GetRoom() > 0)
            break;
        // The device is not polled here: it would report its bytes, or a hang-up, at once.
        pollfd fds[2] = {{m_hWake, POLLIN, 0}, {m_hNudge, POLLIN, 0}};
        if (::poll(fds, 2, ReaderWaitMs()) > 0) {
            if (fds[0].revents != 0) {
                m_bRingWait = false;
                return false;
            }
            eventfd_t taken = 0;
            eventfd_read(m_hNudge, &taken);
        }
        ServiceLines();
    }
    m_bRingWait = false;
    return true;
}

void CRS232Ctrl::ReaderThreadProc()
{
    while (m_bRun) {
        // While a trickle's notice is held back the device is not looked at: what arrives until
        // the notice is due is taken in one read then, not in a wake-up for each small chunk.
        // A hang-up is reported all the same. A flood is read on: the driver's buffer would
        // hold it back.
        const bool holding =
            m_bTrickle && m_nNoticeDueMs != 0 && m_nReadSinceNotice < kTrickleMostBytes;
        // Without a watch or a break the wait has no time-out: an idle port costs nothing.
        const PortState state = PollPort(holding ? 0 : POLLIN, ReaderWaitMs(), m_hNudge);
        if (state == PortState::Closing)
            break;
        ServiceLines();
        if (state == PortState::Nothing && !holding) {
            AnnounceOrHold(false);
            continue;
        }
        // Bytes that arrived before a hang-up are still taken.
        if (!(m_pRing ? MoveToRing(holding) : MoveToQueue()))
            return;
        if (state == PortState::Fault && !m_bVanished)
            MarkVanished(EIO);
        // A vanished device would report hang-up again at once: stop instead of spinning.
        if (m_bVanished) {
            AnnounceReceived();
            break;
        }
        AnnounceOrHold(true);
    }
}
