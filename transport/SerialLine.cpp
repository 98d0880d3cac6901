#include "SerialLine.h"

#include "SerialCustomRate.h"
#include "TransportConstants.h"

#include <cerrno>
#include <linux/serial.h>
#include <sys/ioctl.h>
#include <termios.h>

namespace {

struct RateConstant
{
    int baud;
    speed_t code;
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
    termios tio{};
    if (tcgetattr(fd, &tio) != 0)
        return errno;
    change(tio);
    return tcsetattr(fd, TCSANOW, &tio) == 0 ? 0 : errno;
}

} // namespace

int SetRawLine(int fd)
{
    return Update(fd, [](termios& tio) {
        cfmakeraw(&tio);
        tio.c_iflag &= ~(IXON | IXOFF | IXANY | IGNPAR | PARMRK);
        tio.c_iflag |= INPCK;
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
    for (const RateConstant& rate : kRateConstants) {
        if (rate.baud == baud) {
            return Update(fd, [&rate](termios& tio) {
                cfsetispeed(&tio, rate.code);
                cfsetospeed(&tio, rate.code);
            });
        }
    }
    return SetCustomRate(fd, baud);
}

int SetLineFraming(int fd, int parity, int dataBits, int stopBits)
{
    if (parity < NOPARITY || parity > SPACEPARITY || dataBits < 5 || dataBits > 8 ||
        stopBits < ONESTOPBIT || stopBits > TWOSTOPBITS)
        return EINVAL;
    return Update(fd, [=](termios& tio) {
        static constexpr tcflag_t kSizes[] = {CS5, CS6, CS7, CS8};
        tio.c_cflag &= ~(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB);
        tio.c_cflag |= kSizes[dataBits - 5];
        if (parity == ODDPARITY)
            tio.c_cflag |= PARENB | PARODD;
        else if (parity == EVENPARITY)
            tio.c_cflag |= PARENB;
        else if (parity == MARKPARITY)
            tio.c_cflag |= PARENB | CMSPAR | PARODD;
        else if (parity == SPACEPARITY)
            tio.c_cflag |= PARENB | CMSPAR;
        // Linux has no one and a half stop bits: two is the nearest the line can do.
        if (stopBits != ONESTOPBIT)
            tio.c_cflag |= CSTOPB;
    });
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
