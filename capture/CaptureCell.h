#pragma once

#include <cstdint>

// One logged byte and the attribute it was written with: what a terminal view holds and what a
// capture record gives back.
struct Cell
{
    uint8_t byte;
    uint8_t attr;
};
static_assert(sizeof(Cell) == 2, "a held byte costs two bytes of memory");

// Attribute of bytes that were sent, or that are local notices.
inline constexpr char kAttrSent = 0x31;
// Attribute of bytes that were received.
inline constexpr char kAttrReceived = 0x32;
// Attributes of a bridge's traffic: bytes that went from its side A to side B, and back.
inline constexpr char kAttrAToB = 0x33;
inline constexpr char kAttrBToA = 0x34;

// Bytes that came in, as a view colours and a replay counts them: received by a monitor, or
// sent by a bridge's side B towards A. The others went out (sent, notices, A towards B).
inline constexpr bool IsInbound(uint8_t attr)
{
    return attr == uint8_t(kAttrReceived) || attr == uint8_t(kAttrBToA);
}
