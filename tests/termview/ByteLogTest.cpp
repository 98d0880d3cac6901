#include "CByteLog.h"

#include <gtest/gtest.h>

#include <random>

// The log against a plain vector of what it should hold: writes of every size, drops and copies
// that start, end and straddle the edges of its blocks, and a log emptied and filled again.
TEST(ByteLogTest, HoldsWhatAPlainArrayHoldsAcrossBlocksAndDrops)
{
    CByteLog log;
    std::vector<Cell> model;
    uint64_t first = 0;
    std::mt19937 random(7);
    const std::size_t sizes[] = {1, 2, 255, 4096, 32767, 32768, 32769, 100000};
    for (int round = 0; round < 40; ++round) {
        const std::size_t n = sizes[random() % std::size(sizes)];
        std::vector<uint8_t> bytes(n);
        for (uint8_t& b : bytes)
            b = static_cast<uint8_t>(random());
        const auto attr = static_cast<uint8_t>(round);
        log.Append(bytes.data(), n, attr);
        for (uint8_t b : bytes)
            model.push_back(Cell{b, attr});
        if (round % 3 == 2) {
            const uint64_t drop = first + random() % (model.size() + 1);
            log.DropBefore(drop);
            model.erase(model.begin(), model.begin() + static_cast<std::ptrdiff_t>(drop - first));
            first = drop;
        }
        if (round == 30) {
            log.Clear();
            model.clear();
            first = 0;
        }
        ASSERT_EQ(log.First(), first);
        ASSERT_EQ(log.End(), first + model.size());
        for (int copy = 0; copy < 4; ++copy) {
            const uint64_t from = first + random() % (model.size() + 2) - (copy == 0 ? 1 : 0);
            const uint64_t to = from + random() % 70000;
            std::vector<Cell> got = {Cell{0xee, 0xee}};
            log.CopyRange(from, to, got);
            const uint64_t lo = std::max(from, first);
            const uint64_t hi = std::min<uint64_t>(to, first + model.size());
            ASSERT_EQ(got.size(), 1 + (hi > lo ? hi - lo : 0)) << round;
            for (uint64_t at = lo; at < hi; ++at) {
                const Cell& cell = got[1 + (at - lo)];
                const Cell& want = model[at - first];
                ASSERT_TRUE(cell.byte == want.byte && cell.attr == want.attr) << round << ' ' << at;
            }
        }
    }
}
