#pragma once

#include <cstdint>

// Numbers that fix how the transports behave; units are in the names.

// Serial port.
inline constexpr int kWriteTimeoutMs = 1000;   // a Write gives up on a stalled line after this
inline constexpr int kReaderChunkBytes = 4096; // the reader thread moves at most this per read
// The reader gives the owner this long to drain a queue that cannot take a whole chunk, before
// the chunk is dropped; it looks every kReaderRoomPollMs.
inline constexpr int kReaderRoomWaitMs = 250;
inline constexpr int kReaderRoomPollMs = 1;
inline constexpr int kEventPollTickMs = 20;   // modem-line and transmit-empty checks in a wait
inline constexpr int kDefaultBaudIndex = 6;   // 9600, for a COMM record without a rate
inline constexpr int kDefaultDataBitCode = 1; // 8 data bits
inline constexpr int kDefaultParityCode = 0;  // none
inline constexpr int kDefaultStopBitCode = 0; // one stop bit

// Port events a wait reports, with the numbers callers know them by.
inline constexpr uint32_t EV_RXCHAR = 0x0001;
inline constexpr uint32_t EV_TXEMPTY = 0x0004;
inline constexpr uint32_t EV_RLSD = 0x0020;
inline constexpr uint32_t kCommEventMask = EV_RXCHAR | EV_TXEMPTY | EV_RLSD;

// Modem lines as bsGetModemStatus and modemLinesChanged give them: the four inputs with the
// numbers callers know them by, and the two outputs this side drives.
inline constexpr uint32_t MS_CTS_ON = 0x0010;
inline constexpr uint32_t MS_DSR_ON = 0x0020;
inline constexpr uint32_t MS_RING_ON = 0x0040;
inline constexpr uint32_t MS_RLSD_ON = 0x0080; // carrier detect (DCD)
inline constexpr uint32_t MS_DTR_ON = 0x0100;
inline constexpr uint32_t MS_RTS_ON = 0x0200;
inline constexpr int kBreakMs = 250;          // a break holds the line this long
inline constexpr int kRedialFirstMs = 500;    // a lost TCP connection is dialled again after
inline constexpr int kRedialMaxMs = 10000;    // this, doubling up to this
inline constexpr int kRedialConnectMs = 5000; // a connect that takes longer is given up
inline constexpr int kModemPollMs = 20;       // watched modem lines are looked at this often
inline constexpr int kShortReadBytes = 512;   // a read of less left the driver empty
// A port whose notices are spaced leaves the device alone until the next one while less than
// this came since the last (a trickle); more is a flood, read as it comes.
inline constexpr int kTrickleMostBytes = 4096;
inline constexpr int kReopenRetryMs = 500; // a vanished device is looked for again this often
// A serial link's reader hands bytes over through a ring of this size; while it is full the
// reader stops reading and the device holds the rest (4 MiB: 100 ms at 40 MB/s).
inline constexpr int kSerialReceiveRingBytes = 4 * 1024 * 1024;

// Line-error flags kept by GetCommErrors.
inline constexpr uint32_t CE_RXOVER = 0x0001;
inline constexpr uint32_t CE_OVERRUN = 0x0002;
inline constexpr uint32_t CE_RXPARITY = 0x0004;
inline constexpr uint32_t CE_FRAME = 0x0008;
inline constexpr uint32_t CE_BREAK = 0x0010;

// Parity and stop-bit numbers of the numeric Open.
inline constexpr int NOPARITY = 0;
inline constexpr int ODDPARITY = 1;
inline constexpr int EVENPARITY = 2;
inline constexpr int MARKPARITY = 3;
inline constexpr int SPACEPARITY = 4;
inline constexpr int ONESTOPBIT = 0;
inline constexpr int ONE5STOPBITS = 1;
inline constexpr int TWOSTOPBITS = 2;

// Sockets. A TCP or UDP port number lies in 1..65535; 0 only ever asks the system for any
// free port, and a value outside is refused, never cut to 16 bits.
inline constexpr long long kMinPortNumber = 1;
inline constexpr long long kMaxPortNumber = 65535;
inline constexpr bool IsPortNumber(long long port)
{
    return port >= kMinPortNumber && port <= kMaxPortNumber;
}
inline constexpr int kServerSlotCount = 256;
inline constexpr int kListenBacklog = 512;               // peers connecting all at once wait here
inline constexpr int kAcceptRetryMs = 100;               // after the system refused an accept
inline constexpr int kSocketReadBufferBytes = 64 * 1024; // beyond this the peer is held back
// What a TCP connection keeps of writes the system did not take yet; a write that does not fit
// is refused whole (or waited for, by a caller that may wait).
inline constexpr int kSocketSendQueueBytes = 4 * 1024 * 1024;
// A write that may wait looks for room again at least this often.
inline constexpr int kSocketRoomPollMs = 20;
// The largest UDP payload IPv4 carries: 65,535 less the IP and UDP headers.
inline constexpr int kMaxUdpDatagramBytes = 65507;
// Asked of the system for a UDP socket's receive buffer, so that a burst waits there instead of
// being dropped while the owner is busy; the system may grant less.
inline constexpr int kUdpReceiveBufferBytes = 4 * 1024 * 1024;
inline constexpr int kUdpSendWaitMs = 1000; // a Send waits at most this for room

// Links of every kind.
// A file transfer's write waits at most this on a link without a write time-out of its own, so
// that the transfer can stop between writes.
inline constexpr int kTransferWriteWaitMs = 1000;
// Over TCP, the system keeps at most about this much of a transfer unsent: all it holds still
// goes to the peer after a cancel.
inline constexpr int kTransferUnsentBytes = 16 * 1024;
// A transfer's wait for room on a socket looks again at least this often.
inline constexpr int kSocketWaitSliceMs = 50;
// A take reads a socket in pieces of this size: what its buffer holds, in one read.
inline constexpr int kReceiveBatchBytes = 64 * 1024;
// A take passes over at most this many datagrams (empty ones take no room); the rest wait for
// the next notice.
inline constexpr int kDatagramsPerTake = 256;
