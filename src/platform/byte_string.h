#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/checked.h"

namespace quorvane {

// A byte string: frames, payloads, answers and EEPROM blocks. Positions in the behaviour are
// counted from 1; the helpers below take those positions and check them, so reading past the
// end of a received frame is an error the caller sees, never undefined behaviour.
using Bytes = std::vector<std::uint8_t>;

// Length as a 32-bit count.
inline Int32 Len(const Bytes& b) {
    return static_cast<Int32>(b.size());
}

// True when 1-based position pos exists in b.
inline bool HasPos(const Bytes& b, Int32 pos) {
    return pos >= 1 && pos <= Len(b);
}

// Raises IndexOutOfRange for a position outside b.
[[noreturn]] void RaiseBytePosition(const Bytes& b, Int32 pos);

// The byte at 1-based position pos; raises IndexOutOfRange outside 1..Len(b). Inline, as the
// receive path reads every byte of every frame through it.
inline std::uint8_t ByteAt(const Bytes& b, Int32 pos) {
    if (!HasPos(b, pos)) {
        RaiseBytePosition(b, pos);
    }
    return b[static_cast<std::size_t>(pos - 1)];
}

// count bytes from 1-based position pos; raises IndexOutOfRange when any of them is missing.
Bytes MidB(const Bytes& b, Int32 pos, Int32 count);

// Bytes from 1-based position pos to the end; empty when pos is just past the end.
Bytes MidB(const Bytes& b, Int32 pos);

// The last n bytes (all of them when n >= length).
Bytes RightB(const Bytes& b, std::size_t n);

// 1-based position of the first occurrence of needle in hay, 0 when absent or needle empty.
Int32 InStrB(const Bytes& hay, const Bytes& needle);

// 1-based position of the first byte equal to value, 0 when absent.
Int32 InStrB(const Bytes& hay, std::uint8_t value);

// The bytes as Latin-1 characters and back; the protocol's text is plain ASCII.
std::string BytesToText(const Bytes& b);
Bytes AsBytes(const std::string& s);

}  // namespace quorvane
