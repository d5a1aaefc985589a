#pragma once

#include <cstdint>

namespace quorvane::sim {

// The stand-in's time: microseconds from an arbitrary start. Byte times at the serial rates are
// fractions of a millisecond, so the stand-in keeps finer time than the program's clock.
using SimTime = std::int64_t;

constexpr SimTime FromMs(std::int64_t ms) {
    return ms * 1000;
}

// Time on the line of `count` bytes of 10 bits (start, 8 data, stop), rounded down to the
// microsecond; computed from the start of a run so that rounding never accumulates.
constexpr SimTime WireTime(std::int64_t count, std::int32_t baud) {
    return count * 10 * 1000000 / baud;
}

}  // namespace quorvane::sim
