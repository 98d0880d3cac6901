#pragma once

#include <cstdint>

// Line settings and driver counters of an open serial device. Everything goes through the
// kernel's termios2 interface, which takes any rate in bits per second: once a device runs at a
// rate without a B constant, the C library's tcsetattr refuses to touch it. Setters return 0 on
// success or the errno value of the failure, and change only the settings they name.

// Raw bytes in and out: no line editing, echo, translation or flow control; modem lines do not
// hang the line up (CLOCAL), the receiver is on, parity checking is on.
int SetRawLine(int fd);
// Any rate the device takes, in bits per second.
int SetLineRate(int fd, int baud);
// parity 0..4 (none, odd, even, mark, space), dataBits 5..8, stopBits 0..2 (one, one and a
// half, two); EINVAL outside those ranges.
int SetLineFraming(int fd, int parity, int dataBits, int stopBits);
// flowControl FLOW_NONE, FLOW_RTSCTS (CRTSCTS) or FLOW_XONXOFF (IXON | IXOFF with DC1 and DC3
// as the start and stop characters); EINVAL otherwise.
int SetLineFlowControl(int fd, int flowControl);
// cflag with its size, parity and stop-bit fields set as SetLineFraming sets them; the values
// must lie in the ranges above.
unsigned int FramingCflag(unsigned int cflag, int parity, int dataBits, int stopBits);
// The output rate the device now runs at, in bits per second; -1 with errno set on failure.
int ReadDeviceRate(int fd);

// Driver counters of line faults, to tell which kinds occurred since the last look.
struct LineErrorCounts
{
    int frame = 0;
    int overrun = 0;
    int parity = 0;
    int brk = 0;
    int bufferOverrun = 0;
};
// CE_* flags of the faults counted since *last, which is then updated; 0 where the driver
// keeps no counters (pseudo-terminals).
uint32_t TakeLineErrors(int fd, LineErrorCounts* last);
// The carrier-detect line, or -1 where the device has no modem lines (pseudo-terminals).
int ReadCarrierDetect(int fd);
// The modem lines as MS_* bits into *status; 0, or the errno value (ENOTTY where the device has
// no modem lines, as a pseudo-terminal).
int ReadModemLines(int fd, uint32_t* status);
// Raises or drops DTR or RTS (MS_DTR_ON or MS_RTS_ON); 0 or the errno value.
int SetModemLine(int fd, uint32_t line, bool on);
// Starts or ends a break on the line; 0 or the errno value.
int SetLineBreak(int fd, bool on);
