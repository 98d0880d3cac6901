#include "LinkWriter.h"

#include "SocketSend.h"

namespace {

// Writes on the TCP connection of a client socket.
class CClientLinkWriter : public CLinkWriter
{
public:
    explicit CClientLinkWriter(CClientSock& socket) : m_peer(socket) {}

    void BeginTransfer(std::chrono::milliseconds stall) override
    {
        CLinkWriter::BeginTransfer(stall);
        m_peer.Restart();
    }
    int Write(const char* data, int n, int& error) override
    {
        return m_peer.Send(data, n, Stall(), error);
    }
    qint64 Pending(int& error) override { return m_peer.Queued(Stall(), error); }

private:
    CSocketPeer m_peer;
};

} // namespace

std::unique_ptr<CLinkWriter> MakeClientLinkWriter(CClientSock& socket)
{
    return std::make_unique<CClientLinkWriter>(socket);
}
