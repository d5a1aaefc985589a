#pragma once

#include <cstdint>

namespace quorvane {

// The clock seam: a 32-bit millisecond count that wraps like the system's tick count.
// The program uses a monotonic clock; tests use a hand-set one.
class IClock {
  public:
    virtual ~IClock() = default;
    // Milliseconds since an arbitrary start, read as a signed 32-bit value (it wraps from
    // 2147483647 to -2147483648 after about 24.8 days).
    virtual std::int32_t TickCount() = 0;
};

}  // namespace quorvane
