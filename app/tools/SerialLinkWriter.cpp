#include "LinkWriter.h"

#include "CRS232Ctrl.h"

#include <algorithm>
#include <cerrno>

namespace {

// Writes on a serial port. The port's Write waits at most its write time-out; a call that
// wrote nothing in that time means the line is slow, stalled or gone.
class CSerialLinkWriter : public CLinkWriter
{
public:
    explicit CSerialLinkWriter(CRS232Ctrl& port) : m_port(port) {}

    void BeginTransfer(std::chrono::milliseconds stall) override
    {
        CLinkWriter::BeginTransfer(stall);
        m_clock.Restart();
    }

    int Write(const char* data, int n, int& error) override
    {
        error = 0;
        const int written = std::max(0, m_port.Write(data, n));
        if (written > 0)
            m_clock.Restart();
        if (written < n)
            error = FailureError();
        return written;
    }

private:
    int FailureError() const
    {
        // A port that is still connected was only slow to take bytes; a closed or vanished one
        // keeps the reason in its last error.
        if (m_port.bsGetConnectFlag())
            return m_clock.HasStalled(Stall()) ? ETIMEDOUT : EAGAIN;
        const unsigned last = m_port.GetLastError();
        return last != 0 ? static_cast<int>(last) : EIO;
    }

    CRS232Ctrl& m_port;
    CStallClock m_clock;
};

} // namespace

std::unique_ptr<CLinkWriter> MakeSerialLinkWriter(CRS232Ctrl& port)
{
    return std::make_unique<CSerialLinkWriter>(port);
}
