#pragma once

// Told of every byte a run sends and receives, each direction in the order it moves: sends from
// the script's thread as they leave, receipts from the link's thread as they are queued. A
// recording of the session (tslrun --capture) listens here.
class CTrafficTap
{
public:
    virtual ~CTrafficTap() = default;
    virtual void Sent(const char* data, int n) = 0;
    virtual void Received(const char* data, int n) = 0;
};
