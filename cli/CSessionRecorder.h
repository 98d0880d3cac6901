#pragma once

#include "CaptureCell.h"
#include "TrafficTap.h"

#include <cstdint>
#include <mutex>
#include <string>

// A run's session written as a capture file (tslrun --capture), as a monitor writes one: each
// chunk sent or received a record of its own, stamped when it moved, so that tslsim can serve
// the session back and tarven show it. Sends and receipts come from two threads.
class CSessionRecorder : public CTrafficTap
{
public:
    // A run that goes on for days must not fill the disk: recording stops here, and says so.
    static constexpr int64_t kMaxBytes = int64_t(1) << 30;

    ~CSessionRecorder() override;

    // Starts the file at path: a new file, or one that holds a capture (replaced); a FIFO, a
    // device, a symbolic link or a file that holds something else is refused.
    bool Open(const std::string& path, std::string& strError);
    void Sent(const char* data, int n) override { Record(data, n, kAttrSent); }
    void Received(const char* data, int n) override { Record(data, n, kAttrReceived); }
    // A chunk with an attribute of its own (a bridge's direction).
    void Record(const char* data, int n, char attr);
    // Closes the file; false with the reason when a record did not reach it.
    bool Close(std::string& strError);

private:
    std::mutex m_mutex;
    int m_fd = -1;
    int64_t m_nWritten = 0;
    std::string m_strError; // the first failure
};
