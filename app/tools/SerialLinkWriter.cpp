#include "LinkWriter.h"

#include "CRS232Ctrl.h"

#include <cerrno>

namespace {

// Writes on a serial port. The port's Write waits at most its write time-out; a call that
// wrote nothing in that time means the line is stalled or gone.
class CSerialLinkWriter : public CLinkWriter
{
public:
    explicit CSerialLinkWriter(CRS232Ctrl& port) : m_port(port) {}

    int Write(const char* data, int n, int& error) override
    {
        error = 0;
        int written = 0;
        while (written < n) {
            const int put = m_port.Write(data + written, n - written);
            if (put <= 0) {
                error = FailureError();
                break;
            }
            written += put;
        }
        return written;
    }

private:
    int FailureError() const
    {
        // A port that is still connected was only slow to take bytes; a closed or vanished one
        // keeps the reason in its last error.
        if (m_port.bsGetConnectFlag())
            return ETIMEDOUT;
        const unsigned last = m_port.GetLastError();
        return last != 0 ? static_cast<int>(last) : EIO;
    }

    CRS232Ctrl& m_port;
};

} // namespace

std::unique_ptr<CLinkWriter> MakeSerialLinkWriter(CRS232Ctrl& port)
{
    return std::make_unique<CSerialLinkWriter>(port);
}
