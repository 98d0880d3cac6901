#pragma once

class CClientSock;

// Sends all n bytes on a socket from any thread, waiting for room in the system's buffer while
// the peer takes data; gives up after the write time-out passes without progress. Returns the
// bytes sent, all n unless it failed, with an errno-style error on failure.
int SendAll(CClientSock& socket, const char* data, int n, int& error);
