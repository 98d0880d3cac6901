#pragma once

#include <cstdint>

// Sizes, offsets and time-outs of the shared tag table. Every number in the table is
// little-endian.
namespace SharedTable {

// Size of a table this system creates: 10 MiB.
constexpr uint32_t kDefaultSizeBytes = 0xA00000;

// Block head: entry count, then the block size the creator wrote.
constexpr uint32_t kCountOffset = 0;
constexpr uint32_t kSizeOffset = 4;
constexpr uint32_t kBlockHeadBytes = 8;

// Entry: a NUL-padded UTF-16 name, the value size, then the value.
constexpr uint32_t kNameUnits = 40;
constexpr uint32_t kNameBytes = kNameUnits * 2;
constexpr uint32_t kEntryHeadBytes = kNameBytes + 4;

// Tag value: 32 bytes this system leaves alone, type, data length, one spare byte, data.
constexpr uint32_t kTagTypeOffset = 32;
constexpr uint32_t kTagLengthOffset = 33;
constexpr uint32_t kTagHeadBytes = 36;

// Suffixes of the named objects that go with a table and its values.
constexpr const char* kTableLockSuffix = "_Sync";
constexpr const char* kTagLockSuffix = "_Sync_2";
constexpr const char* kEventSuffix = "_Event";

// How long to wait for a table or tag lock. It is held for microseconds at a time, so a wait
// this long means its holder died with it; `tsltable NAME remove` clears such a table.
constexpr int kLockTimeoutMs = 5000;

// Error codes callers test for; anything else is an errno value.
constexpr int kErrorNotInitialised = 4312;
constexpr int kErrorNotFound = 2;
constexpr int kErrorBufferTooSmall = 122;
constexpr int kErrorSizeZero = 24;
constexpr int kErrorTooLarge = 8;

} // namespace SharedTable
