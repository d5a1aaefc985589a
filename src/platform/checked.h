#pragma once

#include <cstdint>
#include <limits>

#include "platform/runtime_error.h"

namespace quorvane {

// Integers of the behaviour: 16-bit where it says so (and by default), 32-bit for addresses,
// sizes and milliseconds. Booleans held in records are 16-bit, true -1 and false 0.
using Int16 = std::int16_t;
using Int32 = std::int32_t;
inline constexpr Int16 kTrue16 = -1;
inline constexpr Int16 kFalse16 = 0;
constexpr Int16 Bool16(bool b) {
    return b ? kTrue16 : kFalse16;
}

// Narrowing that raises an overflow instead of wrapping.
inline Int16 To16(std::int64_t v, const char* where = "16-bit arithmetic") {
    if (v < std::numeric_limits<Int16>::min() || v > std::numeric_limits<Int16>::max()) {
        raiseOverflow(where);
    }
    return static_cast<Int16>(v);
}

inline Int32 To32(std::int64_t v, const char* where = "32-bit arithmetic") {
    if (v < std::numeric_limits<Int32>::min() || v > std::numeric_limits<Int32>::max()) {
        raiseOverflow(where);
    }
    return static_cast<Int32>(v);
}

// Checked 16-bit and 32-bit arithmetic: operands are widened, the result must fit.
inline Int16 Add16(Int16 a, Int16 b) {
    return To16(std::int64_t{a} + b, "16-bit addition");
}
inline Int16 Sub16(Int16 a, Int16 b) {
    return To16(std::int64_t{a} - b, "16-bit subtraction");
}
inline Int16 Mul16(Int16 a, Int16 b) {
    return To16(std::int64_t{a} * b, "16-bit multiplication");
}
inline Int32 Add32(Int32 a, Int32 b) {
    return To32(std::int64_t{a} + b, "32-bit addition");
}
inline Int32 Sub32(Int32 a, Int32 b) {
    return To32(std::int64_t{a} - b, "32-bit subtraction");
}
inline Int32 Mul32(Int32 a, Int32 b) {
    return To32(std::int64_t{a} * b, "32-bit multiplication");
}

// Element i of a fixed array, checked; the arrays of the behaviour have fixed bounds.
template <typename Array>
auto& CheckedAt(Array& array, std::int64_t index, const char* where = "array") {
    if (index < 0 || static_cast<std::uint64_t>(index) >= std::size(array)) {
        raiseIndexOutOfRange(where);
    }
    return array[static_cast<std::size_t>(index)];
}

}  // namespace quorvane
