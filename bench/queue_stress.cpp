// The byte queue under one producer and one consumer thread, 10^8 bytes by default: every byte
// must arrive in order; reports the rate. The test suite runs the same exchange on 10^7 bytes.
#include "CQueue.h"

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <thread>

namespace {

constexpr uint64_t kDefaultBytes = 100'000'000;

unsigned char PatternByte(uint64_t index)
{
    return static_cast<unsigned char>(index * 131 >> 3);
}

} // namespace

int main(int argc, char** argv)
{
    const uint64_t bytes = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : kDefaultBytes;
    CQueue queue;
    const auto start = std::chrono::steady_clock::now();
    std::thread producer([&] {
        for (uint64_t i = 0; i < bytes;) {
            if (queue.PutByte(PatternByte(i)))
                ++i;
        }
    });
    uint64_t mismatches = 0;
    for (uint64_t i = 0; i < bytes;) {
        unsigned char b;
        if (queue.GetByte(&b)) {
            mismatches += b != PatternByte(i);
            ++i;
        }
    }
    producer.join();
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("%llu bytes in %.2f s: %.1f MB/s, %llu out of sequence\n",
                static_cast<unsigned long long>(bytes), seconds, bytes / seconds / 1e6,
                static_cast<unsigned long long>(mismatches));
    return mismatches == 0 ? 0 : 1;
}
