#pragma once

#include <memory>

class CClientSock;
class CRS232Ctrl;
class CServerSock;

// Where a file transfer writes its blocks: one open link of a monitor window. Write is called
// on the transfer's worker thread; it returns the bytes written, all n unless it failed, and
// on failure fewer with an errno-style error (ETIMEDOUT when the link took nothing for the
// write time-out).
class CLinkWriter
{
public:
    virtual ~CLinkWriter() = default;
    virtual int Write(const char* data, int n, int& error) = 0;
    // Called on the user-interface thread just before a transfer's first Write, so that a
    // writer with several peers can fix which of them the transfer goes to.
    virtual void BeginTransfer() {}
};

// The port must stay open and alive while the writer is used.
std::unique_ptr<CLinkWriter> MakeSerialLinkWriter(CRS232Ctrl& port);
// The socket must stay alive while the writer is used.
std::unique_ptr<CLinkWriter> MakeClientLinkWriter(CClientSock& socket);
// Sends every block to every client connected when the transfer began; a client that fails is
// dropped from the transfer and the others go on. The server must stay alive while the writer
// is used.
std::unique_ptr<CLinkWriter> MakeServerLinkWriter(CServerSock& server);
