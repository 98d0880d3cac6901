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

// Sockets.
inline constexpr int kServerSlotCount = 256;
inline constexpr int kListenBacklog = 512;           // peers wait here while the slot table is full
inline constexpr int kServerPendingConnections = 30; // accepted but not yet handed over
inline constexpr int kAcceptRetryMs = 100;           // after the system refused an accept
inline constexpr int kSocketReadBufferBytes = 64 * 1024; // beyond this the peer is held back
