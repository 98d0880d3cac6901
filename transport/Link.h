#pragma once

#include "LinkWrite.h"

#include <QByteArray>
#include <QObject>
#include <QString>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <vector>

// Where a link goes and how, for every kind: each adapter takes what it needs and leaves the
// rest. The monitor fills it from its settings, the script host from a script's COMM record.
struct LinkParams
{
    int nInterface = 0; // the kind, by the number of CLinkKind::nInterface
    // A serial line.
    QString strPortName; // as the user named it: a COM name or a device path
    QString strDevice;   // what is opened; empty: the port name's device
    int nBaud = 9600;
    int nDataBits = 8;
    int nParity = 0;   // 0 none, 1 odd, 2 even, 3 mark, 4 space
    int nStopBits = 0; // 0 one, 1 one and a half, 2 two
    int nFlowControl = 0;
    bool bAutoReconnect = false; // a device that goes away is waited for and opened again
    // Sockets.
    bool bServer = false;     // TCP: listen on nPort instead of connecting to it
    QString strHost;          // TCP: the server; UDP: the remote, empty = the last sender
    long long nPort = 0;      // TCP: the server's port; UDP: the remote port
    long long nLocalPort = 0; // UDP: the port received on; 0 = any free one
    QString strLocalAddress;  // UDP, a TCP server: the address bound; empty = every one
};

// Why a link did not open or connect: the step that failed, in the terms the user knows.
enum class LinkFailure
{
    DeviceOpen,     // the device did not open; nError says why
    DeviceInUse,    // another port of this program holds the device
    DeviceLocked,   // another program holds the device's lock
    PortInUse,      // another server listens on the port
    Listen,         // listening failed otherwise
    Bind,           // the local port could not be bound, or the remote not found
    Connect,        // the connect failed; nSocketError and strDetail say how
    PortOutOfRange, // a TCP or UDP port outside 1..65535; strDetail is the number
};

struct LinkError
{
    LinkFailure failure = LinkFailure::DeviceOpen;
    int nError = 0;       // an errno value, 0 when there is none
    int nSocketError = 0; // a QAbstractSocket::SocketError of a failed connect
    QString strDetail;    // the system's own words, or the refused number
};

// A write that did not reach one destination of a link: its whole (a socket's send queue had
// no room), or what a stalled serial line did not take.
struct LinkDrop
{
    QString strWho; // the destination, as the user names it: a port, or an address:port
    qint64 nBytes = 0;
    WriteStatus status = WriteStatus::Full;
};
using LinkDrops = std::vector<LinkDrop>;

// A stretch of taken bytes and the peer it came from (as peerJoined numbered it).
struct TakenPiece
{
    int nPeer = -1;
    int nBytes = 0;
};
using TakenPieces = std::vector<TakenPiece>;

// When a link last took or delivered a byte: a slow peer goes on, a stalled one is given up.
class CStallClock
{
public:
    void Restart() { m_last = Clock::now(); }
    bool HasStalled(std::chrono::milliseconds limit) const
    {
        return Clock::now() - m_last >= limit;
    }

private:
    using Clock = std::chrono::steady_clock;
    Clock::time_point m_last = Clock::now();
};

// One link of any kind (a serial port, a TCP client, a TCP server with its clients, a UDP
// socket, a loopback): opened and closed on the thread it lives on, where its signals arrive;
// written whole or not at all from any thread. Received bytes are announced by received() and
// taken on the link's thread with Take. Each kind is an adapter over the transport class that
// does the work; what the kinds do not share is said by the signals, never asked by kind.
class CLink : public QObject
{
    Q_OBJECT

public:
    enum class State
    {
        Closed,
        Opening, // a connect is under way
        Open,
        Waiting, // lost, and waited for until it is back (a serial device pulled out)
    };
    Q_ENUM(State)

    // With this wait a write waits as the link itself would: a serial line its write time-out,
    // a datagram for room in the system's buffer, a socket not at all.
    static constexpr std::chrono::milliseconds kOwnWait{-1};

    explicit CLink(const LinkParams& params, QObject* parent = nullptr);
    ~CLink() override;

    const LinkParams& Params() const { return m_params; }
    State GetState() const { return m_state; }
    // Opens the link of the params: true when it is open, or connecting (the outcome comes as
    // stateChanged or failed); false when it did not open, LastError saying why. A link that is
    // not closed stays as it is.
    virtual bool Open() = 0;
    // Closes at once; no signal follows. What waited in its send queues is lost: Stranded
    // tells it first.
    virtual void Close() = 0;
    const LinkError& LastError() const { return m_error; }
    // Why the link ended from the far side (the device went away, the peer closed); empty
    // while it has not.
    const QString& LossReason() const { return m_strLoss; }

    // Writes all n bytes or none (a serial line alone may be cut part-way, and says so),
    // waiting at most `wait` for room. A link of several peers writes to each and is Written
    // when one took the bytes. Destinations that missed them are added to drops when given.
    // Any thread.
    WriteResult Write(const char* data, int n, std::chrono::milliseconds wait,
                      LinkDrops* drops = nullptr)
    {
        return WriteLink(data, n, wait, drops);
    }
    // How long a write of n bytes may wait before the line cuts it; 0 when it never does.
    virtual int64_t WriteTimeoutMs(int /*n*/) const { return 0; }
    // To one peer of a link of several (peer as peerJoined gave it), without waiting.
    virtual WriteResult WriteToPeer(int peer, const char* data, int n);

    // Link's thread: appends at most max received bytes to out and returns their number. A
    // link of messages (datagrams) takes a message of at most wholeUpTo bytes only whole: one
    // that does not fit what is left of max waits for a later take; a larger one comes in
    // pieces. wholeUpTo 0 means max.
    int Take(QByteArray& out, int max, int wholeUpTo = 0)
    {
        return max <= 0 ? 0 : TakeLink(out, max, wholeUpTo > 0 ? wholeUpTo : max);
    }
    // Take that also says, in order, which peer each stretch of the bytes came from. A link of
    // one peer leaves pieces empty: every byte is its one peer's.
    int Take(QByteArray& out, int max, TakenPieces& pieces)
    {
        return max <= 0 ? 0 : TakeFromPeers(out, max, pieces);
    }
    // Take may run on any one thread at a time, not only the link's: a script host takes on its
    // own worker, without waiting for the link's notices.
    virtual bool TakesOnAnyThread() const { return false; }
    // Received bytes of many small chunks are announced at most once every gap, so that an
    // owner that shows them wakes once a frame rather than at every chunk; 0, the default,
    // announces at once. Where a kind cannot hold its notices back, it announces at once.
    virtual void SetNoticeGap(std::chrono::milliseconds /*gap*/) {}
    // Received bytes wait that a take did not get to (no room was given for them).
    virtual bool HasReceived() const = 0;
    // Received bytes the link lost before they could be taken (a serial driver's overruns).
    virtual uint64_t DroppedBytes() const { return 0; }

    // Bytes each connection still held unsent, which a Close loses.
    virtual LinkDrops Stranded() const { return {}; }
    // Peers connected (a server's clients); 0 for a link of one.
    virtual int PeerCount() const { return 0; }
    // Where writes and transfers of a link of several peers go from now on: the one peer (as
    // peerJoined gave it) or, with -1, every peer. The choice ends when that peer leaves.
    virtual void ChoosePeer(int /*peer*/) {}
    // The port this side receives on, once open; 0 where it has none of its own.
    virtual quint16 LocalPort() const { return 0; }
    // Where writes go, as the user names it.
    virtual QString Target() const = 0;
    // Lines for the terminal when the link opened and when it closed; empty for none.
    virtual QString OpenedNotice() const { return {}; }
    virtual QString ClosedNotice() const { return {}; }
    // Why a write found nobody to go to, told once until a peer appears; empty: say nothing.
    virtual QString NoPeerNotice() const { return {}; }

    // Modem lines and break, of a serial line; 0 or an errno value, ENOTSUP where the link has
    // none (a socket, a pseudo-terminal).
    virtual bool HasModemLines() const { return false; }
    virtual int SetDtr(bool /*on*/) { return ENOTSUP; }
    virtual int SetRts(bool /*on*/) { return ENOTSUP; }
    virtual int SendBreak(int /*durationMs*/) { return ENOTSUP; }
    virtual int WatchModemLines(bool /*on*/) { return ENOTSUP; }

    // A file transfer, one at a time, on a thread of its own. BeginTransfer runs on the link's
    // thread before the first write, with the stall limit; a link of several peers fixes there
    // which of them the transfer goes to. TransferWrite gives the bytes the link took, all n
    // unless it stopped, then fewer, with error EAGAIN (slow: call again with the rest),
    // ETIMEDOUT (nothing taken for the stall limit) or another errno (failed). TransferPending
    // gives the bytes taken but not yet delivered (0 where the link cannot tell), or -1 when the
    // link failed; with ETIMEDOUT when nothing was delivered for the stall limit.
    virtual void BeginTransfer(std::chrono::milliseconds stall);
    virtual int TransferWrite(const char* data, int n, int& error);
    virtual qint64 TransferPending(int& error);
    virtual void EndTransfer() {}

signals:
    // Received bytes wait: Take them. Another notice follows while some are left.
    void received();
    void stateChanged(CLink::State state);
    // An open or a connect that was under way did not succeed; the link is closed.
    void failed(const LinkError& error);
    // The link itself went away (a device pulled out), after all it received was taken, for
    // the errno value given; then the state is Closed, or Waiting when the params has it waited
    // for.
    void lost(int error);
    // Back after awayMs; the state is Open again.
    void restored(qint64 awayMs);
    // A peer connected; peer is its number for WriteToPeer.
    void peerJoined(int peer, const QString& address, quint16 port);
    // A peer went away, with the bytes it still had waiting, which it will never get. A link of
    // one peer is Closed after this.
    void peerLeft(const QString& address, quint16 port, qint64 unsentBytes);
    // A peer was turned away: every place for one was taken.
    void peerRefused(const QString& address, quint16 port);
    // The messages about to be taken come from another sender than the ones before.
    void senderChanged(const QString& address, quint16 port);
    // count messages of other senders than the remote were passed over.
    void ignored(int count);
    // The modem lines (MS_* bits) changed while watched.
    void modemLinesChanged(unsigned status);

protected:
    virtual WriteResult WriteLink(const char* data, int n, std::chrono::milliseconds wait,
                                  LinkDrops* drops) = 0;
    virtual int TakeLink(QByteArray& out, int max, int wholeUpTo) = 0;
    virtual int TakeFromPeers(QByteArray& out, int max, TakenPieces& /*pieces*/)
    {
        return TakeLink(out, max, max);
    }

    void SetState(State state);
    // For Close, which tells nobody.
    void MarkClosed() { m_state = State::Closed; }
    // Records why an open failed; false, for Open to return.
    bool Fail(LinkFailure failure, int error, const QString& detail = {});
    // Fails with PortOutOfRange unless port lies in 1..65535.
    bool CheckPort(long long port);
    void SetLossReason(const QString& reason) { m_strLoss = reason; }
    // Announces received() on the link's thread; asked again before it arrives, still once.
    void AnnounceLater();
    // Added to drops, when they are asked for.
    static void AddDrop(LinkDrops* drops, const QString& who, qint64 bytes, WriteStatus status);
    std::chrono::milliseconds Stall() const { return m_stall; }

private:
    LinkParams m_params;
    State m_state = State::Closed;
    LinkError m_error;
    QString m_strLoss;
    std::atomic<bool> m_bAnnounced = false;
    std::chrono::milliseconds m_stall{10000};
    CStallClock m_transferClock;
};

// A link is deleted on its own thread once nothing runs inside it: it may be inside one of its
// own signals when its owner lets it go.
struct CLinkDeleter
{
    void operator()(CLink* link) const;
};
using LinkPtr = std::unique_ptr<CLink, CLinkDeleter>;
using SharedLink = std::shared_ptr<CLink>;

// Which settings a kind of link takes: the port settings dialog offers those.
enum LinkField : unsigned
{
    kLinkLine = 1,      // a serial device and its line settings
    kLinkRole = 2,      // client or server: the server's address and port, or the port listened on
    kLinkRemote = 4,    // a remote address and port
    kLinkLocalPort = 8, // a port of its own to receive on
};

// A kind of link as a user or a program chooses it. Each adapter registers its kind where it
// is defined, so that a new kind is one file: the settings dialog, the settings and tslrun
// find it here.
struct CLinkKind
{
    int nInterface;       // the monitor settings' "Interface" number
    const char* pszName;  // how programs name it ("loopback": tslrun --loopback)
    const char* pszLabel; // the settings dialog's choice (CPortSettingsDlg translates it)
    int nMedia;           // the OPEN MEDIA code of a script (MEDIA_*); 0 when scripts cannot
    unsigned fields;      // LinkField bits; a kind that takes none may be chosen by name alone
    const char* pszAbout; // what it is, for a program's help
    LinkPtr (*pfnMake)(const LinkParams& params);
};

// Registers a kind while the library loads.
class CLinkKindRegistration
{
public:
    explicit CLinkKindRegistration(const CLinkKind& kind);
};

// Every kind, by interface number.
std::vector<const CLinkKind*> LinkKinds();
const CLinkKind* FindLinkKind(int nInterface);
const CLinkKind* FindLinkKindByName(const QString& name);
const CLinkKind* FindLinkKindByMedia(int nMedia);
// A new closed link of the params's kind; null for a kind that does not exist.
LinkPtr MakeLink(const LinkParams& params);
