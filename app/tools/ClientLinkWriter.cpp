#include "LinkWriter.h"

#include "SocketSend.h"

namespace {

// Writes on the TCP connection of a client socket.
class CClientLinkWriter : public CLinkWriter
{
public:
    explicit CClientLinkWriter(CClientSock& socket) : m_socket(socket) {}

    int Write(const char* data, int n, int& error) override
    {
        return SendAll(m_socket, data, n, error);
    }

private:
    CClientSock& m_socket;
};

} // namespace

std::unique_ptr<CLinkWriter> MakeClientLinkWriter(CClientSock& socket)
{
    return std::make_unique<CClientLinkWriter>(socket);
}
