#pragma once

#include "CByteRing.h"
#include "CQueue.h"
#include "Comm.h"
#include "LinkWrite.h"
#include "SerialDeviceClaim.h"
#include "SerialLine.h"
#include "TransportConstants.h"

#include <QByteArray>
#include <QObject>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

// Tells the owner of a port what its reader thread did. The signal is emitted on the reader
// thread, so a receiver living on another thread (connected the default way) gets it queued.
class CSerialNotifier : public QObject
{
    Q_OBJECT

signals:
    // Bytes were queued, a chunk was dropped, or the device went away: drain the queue (or
    // take from the ring, when the port has one).
    void received();
    // The watched modem lines (MS_* bits) changed; the first report after a watch starts gives
    // them as they are.
    void modemLinesChanged(unsigned status);
};

// What the last wait for port events left: the events it reported and whether it still runs.
struct CommWaitRecord
{
    uint32_t dwEventMask = 0;
    bool bPending = false;
};

// The line settings a COMM record's codes name: the rate in bits per second, data bits 7 or 8,
// parity, stop bits and flow control codes as they stand. Unset codes (-1) take 9600 baud, 8
// data bits, no parity, one stop bit, no flow control; false for a code outside its table.
struct SerialLineValues
{
    int nBaud = 0, nDataBits = 0, nParity = 0, nStopBits = 0, nFlowControl = 0;
};
bool CommLineValues(const COMM& comm, SerialLineValues& out);

// Serial (RS-232C) port over a termios device: opens it with link settings, reads without
// waiting, writes with a time-out, and after the numeric Open runs a reader thread that moves
// received bytes into m_queue and announces each burst once through Notifier(). A chunk that
// does not fit waits a moment for the owner to drain the queue, then is dropped whole. A device
// that goes away stops the reader, clears the connect flag and announces it once more.
// A port given a receive ring (bsSetReceiveRing) keeps m_queue empty instead: its reader reads
// straight into the ring and, when the ring is full, stops reading until the owner takes bytes,
// so that the device's own buffer holds the rest (a pty then holds its writer back) and nothing
// is dropped here.
class CRS232Ctrl
{
public:
    CRS232Ctrl();
    // The copy takes the settings, counters and queued bytes, and its own duplicate of an open
    // descriptor; it never shares or runs the original's reader thread, nor its notifier.
    CRS232Ctrl(const CRS232Ctrl& other);
    CRS232Ctrl& operator=(const CRS232Ctrl& other);
    virtual ~CRS232Ctrl();

    // Opens the port a script's link settings name; starts no thread. Codes still unset (-1)
    // mean 9600 baud, 8 data bits, no parity, one stop bit, no flow control; codes outside their
    // tables fail with EINVAL.
    int Open(COMM* settings);
    // The same, on a port named apart from the record (a device path does not fit its field).
    int Open(COMM* settings, const char* port);
    // Opens with plain values (baud in bits per second, any rate the device takes; data bits
    // 5..8, parity 0..4, stop bits 0..2, flow control FLOW_*) and starts the reader thread.
    // Settings the device refuses fail the open. Every Open fails with EBUSY on a device another
    // port of this process holds, and with EWOULDBLOCK on one another program has locked.
    int Open(const char* port, int baud, int dataBits, int parity, int stopBits,
             int flowControl = FLOW_NONE);
    // Always 1; releases a reader or writer that waits and joins the reader. Not from the reader
    // thread itself.
    int Close();
    // Opens again the device path and settings of the last Open that succeeded, as that Open did
    // (with the reader thread after the numeric one): for a device that went away and is back.
    // 0 with the last error set when it does not open (yet), or when nothing was opened before.
    int Reopen();

    // Bytes now waiting, at most max; never waits.
    virtual int Read(char* buf, int max);
    // Bytes written; fewer than n when the write time-out ran out or the port closed.
    virtual int Write(const char* buf, int n);
    // The same with its outcome, as every link writes: Written when all n went, TimedOut (with
    // the count) when the line took no more within the port's write time-outs, Failed when the
    // port is closed or went away. A driver cannot give back what it took, so a stalled line
    // is the one link that may cut a write: the result says so, for the caller to tell.
    WriteResult WriteWhole(const char* data, int n);
    // The same within `wait` instead of the write time-outs (0: what the driver takes at once).
    WriteResult WriteWhole(const char* data, int n, std::chrono::milliseconds wait);
    virtual int bsWaitCommEvent();
    // Events of the wait started by bsWaitCommEvent; 0 while none has arrived.
    virtual unsigned bsCheckForCommEvent(int wait);

    int bsSetBaudRate(int baud);
    int bsSetParityDataStop(int parity, int dataBits, int stopBits);
    int bsSetBufferSizes(int in, int out);
    int bsSetReadTimeouts(int interval, int multiplier, int constant);
    int bsSetWriteTimeouts(int multiplier, int constant);
    // How long a Write of n bytes may wait for the line; 0 when it has no time-out.
    int64_t GetWriteTimeoutMs(int n) const
    {
        return int64_t(m_nWriteMultiplier) * std::max(n, 0) + m_nWriteConstant;
    }
    // FLOW_NONE, FLOW_RTSCTS or FLOW_XONXOFF.
    int bsSetFlowControl(int flowControl);

    // Modem lines. A device without them (a pseudo-terminal, some adapters) answers each call
    // below with 0 and last error ENOTTY: "not supported", which bsHasModemLines tells at once.
    int bsHasModemLines() const { return m_bModemLines ? 1 : 0; }
    int bsSetDtr(int on);
    int bsSetRts(int on);
    // Holds a break for durationMs. While the reader thread runs this returns at once and the
    // reader ends the break; otherwise it waits here (Close ends the wait).
    int bsSendBreak(int durationMs = kBreakMs);
    // MS_* bits of the lines now.
    int bsGetModemStatus(unsigned& status);
    // While on, the reader thread looks at the lines every kModemPollMs and emits
    // modemLinesChanged when they change; off, nothing runs. Needs the reader (numeric Open).
    int bsWatchModemLines(int on);
    // With a ring, received bytes are announced at most once every gapMs (0: at once), so that
    // an owner that shows them is woken once for a device's many small chunks. A full ring is
    // announced at once whatever the gap.
    void SetNoticeGap(int gapMs) { m_nNoticeGapMs = std::max(gapMs, 0); }

    int IsValid() const;
    unsigned GetLastError() const { return m_dwLastError; }
    // The line errors (CE_* bits) since this was asked last, or since the port opened.
    unsigned GetCommErrors();
    int GetCommHandle() const { return m_hComm; }
    int GetWaitOverlapped(CommWaitRecord& out) const;

    void bsSetConnectFlag(int flag) { m_bConnect = flag; }
    int bsGetConnectFlag() const { return m_bConnect; }
    void bsSetStatusSignal(unsigned short signal) { m_wStatusSignal = signal; }
    unsigned short bsGetStatusSignal() const { return m_wStatusSignal; }
    void bsSetWaitCount(int count) { m_nWaitCount = count; }
    int bsGetWaitCount() { return --m_nWaitCount; }

    // Announces the reader thread's bursts; lives as long as the port.
    CSerialNotifier* Notifier() const { return m_pNotifier.get(); }

    // The receive ring of capacity bytes for the reader of the next numeric Open (and Reopen),
    // in place of m_queue; 0 goes back to m_queue. 0 with EBUSY while the reader runs. With a
    // ring a notice stays announced until the owner takes bytes: one is pending at a time.
    int bsSetReceiveRing(int capacity);
    // Bytes the ring holds; 0 without a ring.
    int GetReceivedSize() const;
    // Owner's thread: appends at most max bytes of the ring to out, oldest first, and returns
    // how many. When more is held, another notice follows.
    int TakeReceived(QByteArray& out, int max);

    // Received bytes: the reader thread produces, the owner's thread consumes.
    CQueue m_queue;

private:
    enum class PortState
    {
        Nothing,
        Data,
        Fault,
        Closing
    };

    int OpenPort(const char* port, int baud, int dataBits, int parity, int stopBits,
                 int flowControl, bool startReader);
    void CopyFrom(const CRS232Ctrl& other);
    // Admits a caller to the descriptors until Close; false when the port is closed or closing.
    bool EnterIo();
    void LeaveIo();
    template <typename Apply> int ApplySetting(Apply apply);
    int ReadPort(char* buf, int max);
    // limitMs < 0: no time-out, only Close ends the wait.
    WriteResult WriteFor(const char* buf, int n, int64_t limitMs);
    // A readable nudgeFd is taken and reported as Nothing.
    PortState PollPort(short events, int timeoutMs, int nudgeFd = -1);
    // How long the reader may wait for bytes before a break ends or the watched lines are due.
    int ReaderWaitMs() const;
    // Ends a break that is due and reports watched lines that changed; reader thread only.
    void ServiceLines();
    // Announces what the reader put in the ring, or holds it back for the notice gap.
    void AnnounceOrHold(bool fresh);
    void MarkVanished(int error);
    void ClearLineErrors();
    bool HasRoomFor(int n) const;
    // Waits a little for the owner to make room for n bytes; false when Close came.
    bool WaitForRoom(int n);
    // Moves what the device holds into m_queue, or into the ring; false when Close came.
    bool MoveToQueue();
    bool MoveToRing(bool afterHold);
    // Waits without a limit for the owner to take bytes from a full ring, still ending a break
    // and watching lines; false when Close came.
    bool WaitForRingRoom();
    void AnnounceReceived();
    void ReaderThreadProc();

    // What the last successful Open was given, for Reopen.
    struct OpenSettings
    {
        std::string strPort;
        int baud = 0, dataBits = 0, parity = 0, stopBits = 0, flowControl = 0;
        bool startReader = false;
    };
    std::optional<OpenSettings> m_lastOpen;

    std::unique_ptr<CSerialNotifier> m_pNotifier = std::make_unique<CSerialNotifier>();
    CSerialDeviceClaim m_claim;
    int m_hComm = -1;
    int m_hWake = -1;  // eventfd that Close signals to release waits
    int m_hNudge = -1; // eventfd that wakes the reader for a line watch or a break
    std::atomic<uint32_t> m_dwLastError = 0;
    std::atomic<uint32_t> m_dwCommErrors = 0;
    std::atomic<int> m_bConnect = 0;
    std::atomic<int> m_nWaitCount = 0;
    std::atomic<unsigned short> m_wStatusSignal = 0;

    std::atomic<int> m_nWriteMultiplier = 0;
    std::atomic<int> m_nWriteConstant = 0;
    uint32_t m_dwEventSelection = 0;

    CommWaitRecord m_wait;
    int m_nCarrierAtWait = -1;
    std::atomic<bool> m_bWrittenSinceWait = false;

    mutable std::mutex m_lineMutex;
    LineErrorCounts m_lineCounts;

    std::mutex m_ioMutex;
    std::condition_variable m_ioIdle;
    int m_nIoCount = 0;
    bool m_bClosing = false;

    std::atomic<bool> m_bModemLines = false;
    std::atomic<bool> m_bWatchLines = false;
    std::atomic<int64_t> m_nBreakEndMs = 0; // steady clock; 0 while no break is held
    bool m_bLinesKnown = false;             // reader thread only, as the five below
    uint32_t m_dwLastLines = 0;
    int64_t m_nLinesDueMs = 0;  // when the watched lines are looked at next
    int64_t m_nNoticeDueMs = 0; // when held-back bytes are announced; 0 while none are
    int64_t m_nLastNoticeMs = 0;
    bool m_bTrickle = false;        // the last read emptied the driver
    int64_t m_nReadSinceNotice = 0; // bytes read since the last notice
    std::atomic<int> m_nNoticeGapMs = 0;

    std::unique_ptr<CByteRing> m_pRing;
    std::atomic<bool> m_bNoticePending = false; // with a ring: announced, not yet taken
    std::atomic<bool> m_bRingWait = false;      // the reader waits for room in the ring

    std::atomic<bool> m_bRun = false;
    std::atomic<bool> m_bVanished = false;
    std::thread m_reader;
};
