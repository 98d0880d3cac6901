#include "SerialLine.h"

#include "Comm.h"
#include "TransportConstants.h"

// The kernel's own termios definitions; <termios.h> must stay out of this file.
#include <asm/termbits.h>
#include <cerrno>
#include <linux/serial.h>
#include <sys/ioctl.h>

namespace {

struct RateConstant
{
    int baud;
    unsigned int code;
};

constexpr RateConstant kRateConstants[] = {
    {50, B50},           {75, B75},           {110, B110},         {134, B134},
    {150, B150},         {200, B200},         {300, B300},         {600, B600},
    {1200, B1200},       {1800, B1800},       {2400, B2400},       {4800, B4800},
    {9600, B9600},       {19200, B19200},     {38400, B38400},     {57600, B57600},
    {115200, B115200},   {230400, B230400},   {460800, B460800},   {500000, B500000},
    {576000, B576000},   {921600, B921600},   {1000000, B1000000}, {1152000, B1152000},
    {1500000, B1500000}, {2000000, B2000000}, {2500000, B2500000}, {3000000, B3000000},
    {3500000, B3500000}, {4000000, B4000000},
};

// Reads the device settings, lets change alter its own fields and writes them back.
template <typename Change> int Update(int fd, Change change)
{
    termios2 tio{};
    if (ioctl(fd, TCGETS2, &tio) != 0)
        return errno;
    change(tio);
    return ioctl(fd, TCSETS2, &tio) == 0 ? 0 : errno;
}

} // namespace

int SetRawLine(int fd)
{
    return Update(fd, [](termios2& tio) {
        tio.c_iflag &= ~(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON | IXOFF |
                         IXANY | IGNPAR);
        tio.c_iflag |= INPCK;
        tio.c_oflag &= ~OPOST;
        tio.c_lflag &= ~(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
        tio.c_cflag &= ~CRTSCTS;
        tio.c_cflag |= CLOCAL | CREAD;
        tio.c_cc[VMIN] = 0;
        tio.c_cc[VTIME] = 0;
        tio.c_cc[VSTART] = 0;
        tio.c_cc[VSTOP] = 0;
    });
}

int SetLineRate(int fd, int baud)
{
    if (baud <= 0)
        return EINVAL;
    unsigned int code = BOTHER;
    for (const RateConstant& rate : kRateConstants) {
        if (rate.baud == baud)
            code = rate.code;
    }
    return Update(fd, [baud, code](termios2& tio) {
        tio.c_cflag &= ~(CBAUD | (CBAUD << IBSHIFT));
        tio.c_cflag |= code | (code << IBSHIFT);
        tio.c_ispeed = static_cast<speed_t>(baud);
        tio.c_ospeed = static_cast<speed_t>(baud);
    });
}

int SetLineFlowControl(int fd, int flowControl)
{
    constexpr unsigned char kXon = 0x11;  // DC1
    constexpr unsigned char kXoff = 0x13; // DC3
    if (flowControl < FLOW_NONE || flowControl > FLOW_XONXOFF)
        return EINVAL;
    return Update(fd, [flowControl](termios2& tio) {
        tio.c_cflag &= ~CRTSCTS;
        tio.c_iflag &= ~(IXON | IXOFF | IXANY);
        tio.c_cc[VSTART] = 0;
        tio.c_cc[VSTOP] = 0;
        if (flowControl == FLOW_RTSCTS) {
            tio.c_cflag |= CRTSCTS;
        } else if (flowControl == FLOW_XONXOFF) {
            tio.c_iflag |= IXON | IXOFF;
            tio.c_cc[VSTART] = kXon;
            tio.c_cc[VSTOP] = kXoff;
        }
    });
}

unsigned int FramingCflag(unsigned int cflag, int parity, int dataBits, int stopBits)
{
    static constexpr unsigned int kSizes[] = {CS5, CS6, CS7, CS8};
    cflag &= ~(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB);
    cflag |= kSizes[dataBits - 5];
    if (parity == ODDPARITY)
        cflag |= PARENB | PARODD;
    else if (parity == EVENPARITY)
        cflag |= PARENB;
    else if (parity == MARKPARITY)
        cflag |= PARENB | CMSPAR | PARODD;
    else if (parity == SPACEPARITY)
        cflag |= PARENB | CMSPAR;
    // Linux has no one and a half stop bits: two is the nearest the line can do.
    if (stopBits != ONESTOPBIT)
        cflag |= CSTOPB;
    return cflag;
}

int SetLineFraming(int fd, int parity, int dataBits, int stopBits)
{
    if (parity < NOPARITY || parity > SPACEPARITY || dataBits < 5 || dataBits > 8 ||
        stopBits < ONESTOPBIT || stopBits > TWOSTOPBITS)
        return EINVAL;
    return Update(fd, [=](termios2& tio) {
        tio.c_cflag = FramingCflag(tio.c_cflag, parity, dataBits, stopBits);
    });
}

int ReadDeviceRate(int fd)
{
    termios2 tio{};
    if (ioctl(fd, TCGETS2, &tio) != 0)
        return -1;
    return static_cast<int>(tio.c_ospeed);
}

uint32_t TakeLineErrors(int fd, LineErrorCounts* last)
{
    serial_icounter_struct counts{};
    if (ioctl(fd, TIOCGICOUNT, &counts) != 0)
        return 0;
    uint32_t flags = 0;
    if (counts.frame != last->frame)
        flags |= CE_FRAME;
    if (counts.overrun != last->overrun)
        flags |= CE_OVERRUN;
    if (counts.parity != last->parity)
        flags |= CE_RXPARITY;
    if (counts.brk != last->brk)
        flags |= CE_BREAK;
    if (counts.buf_overrun != last->bufferOverrun)
        flags |= CE_RXOVER;
    *last = {counts.frame, counts.overrun, counts.parity, counts.brk, counts.buf_overrun};
    return flags;
}

int ReadCarrierDetect(int fd)
{
    int lines = 0;
    if (ioctl(fd, TIOCMGET, &lines) != 0)
        return -1;
    return (lines & TIOCM_CD) ? 1 : 0;
}

int ReadModemLines(int fd, uint32_t* status)
{
    static constexpr struct
    {
        int tiocm;
        uint32_t ms;
    } kLines[] = {{TIOCM_CTS, MS_CTS_ON}, {TIOCM_DSR, MS_DSR_ON}, {TIOCM_RI, MS_RING_ON},
                  {TIOCM_CD, MS_RLSD_ON}, {TIOCM_DTR, MS_DTR_ON}, {TIOCM_RTS, MS_RTS_ON}};
    int lines = 0;
    if (ioctl(fd, TIOCMGET, &lines) != 0)
        return errno;
    *status = 0;
    for (const auto& line : kLines) {
        if (lines & line.tiocm)
            *status |= line.ms;
    }
    return 0;
}

int SetModemLine(int fd, uint32_t line, bool on)
{
    int bits = 0;
    if (line == MS_DTR_ON)
        bits = TIOCM_DTR;
    else if (line == MS_RTS_ON)
        bits = TIOCM_RTS;
    else
        return EINVAL;
    return ioctl(fd, on ? TIOCMBIS : TIOCMBIC, &bits) == 0 ? 0 : errno;
}

int SetLineBreak(int fd, bool on)
{
    return ioctl(fd, on ? TIOCSBRK : TIOCCBRK) == 0 ? 0 : errno;
}
