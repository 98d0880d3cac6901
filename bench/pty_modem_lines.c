/* An LD_PRELOAD shim that gives a pseudo-terminal modem lines.
 *
 * A pty has no modem lines: TIOCMGET and its kin fail with ENOTTY. Some serial programs ask for
 * the lines when they open a port and close it again at once when the call fails, so they cannot
 * be benchmarked against a pty. Here, only when the real call fails with ENOTTY on a pty slave,
 * the line calls succeed: DSR, CTS and CD are always up, DTR and RTS keep what was last set.
 * Every other call, and every call on any other descriptor, is the real one.
 *
 *   LD_PRELOAD=/path/to/libpty_modem_lines.so program ...
 */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <stdarg.h>
#include <stddef.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

/* Unix98 pty slaves have majors 136 to 143 (Documentation/admin-guide/devices.txt). */
enum
{
    kPtySlaveFirstMajor = 136,
    kPtySlaveLastMajor = 143
};

typedef int (*IoctlFn)(int, unsigned long, ...);

/* DTR and RTS as the program set them; one port per process is all a benchmark needs. */
static int s_nOutputs = TIOCM_DTR | TIOCM_RTS;

static IoctlFn RealIoctl(void)
{
    static IoctlFn s_real;
    IoctlFn real = __atomic_load_n(&s_real, __ATOMIC_ACQUIRE);
    if (real == NULL) {
        real = (IoctlFn)dlsym(RTLD_NEXT, "ioctl");
        __atomic_store_n(&s_real, real, __ATOMIC_RELEASE);
    }
    return real;
}

static int IsPtySlave(int fd)
{
    struct stat st;
    if (fstat(fd, &st) != 0 || !S_ISCHR(st.st_mode))
        return 0;
    const unsigned int nMajor = major(st.st_rdev);
    return nMajor >= kPtySlaveFirstMajor && nMajor <= kPtySlaveLastMajor;
}

static int IsLineRequest(unsigned long request)
{
    return request == TIOCMGET || request == TIOCMSET || request == TIOCMBIS || request == TIOCMBIC;
}

/* The ioctls' third argument is a pointer or an integer that fits in one, passed on as is. */
int ioctl(int fd, unsigned long request, ...)
{
    va_list args;
    va_start(args, request);
    void* arg = va_arg(args, void*);
    va_end(args);

    const IoctlFn real = RealIoctl();
    if (real == NULL) {
        errno = ENOSYS;
        return -1;
    }
    const int saved = errno;
    const int rc = real(fd, request, arg);
    if (rc == 0 || errno != ENOTTY || !IsLineRequest(request) || !IsPtySlave(fd))
        return rc;
    if (arg == NULL) {
        errno = EFAULT;
        return -1;
    }
    int* lines = arg;
    const int kOutputs = TIOCM_DTR | TIOCM_RTS;
    switch (request) {
    case TIOCMGET:
        *lines = __atomic_load_n(&s_nOutputs, __ATOMIC_RELAXED) | TIOCM_DSR | TIOCM_CTS | TIOCM_CD;
        break;
    case TIOCMSET:
        __atomic_store_n(&s_nOutputs, *lines & kOutputs, __ATOMIC_RELAXED);
        break;
    case TIOCMBIS:
        __atomic_fetch_or(&s_nOutputs, *lines & kOutputs, __ATOMIC_RELAXED);
        break;
    default: /* TIOCMBIC */
        __atomic_fetch_and(&s_nOutputs, ~(*lines & kOutputs), __ATOMIC_RELAXED);
        break;
    }
    errno = saved;
    return 0;
}
