#pragma once

#include <cstdint>

#include "platform/clock.h"

namespace quorvane::test {

// A hand-set clock: time moves only when a test moves it.
class ManualClock final : public IClock {
  public:
    explicit ManualClock(std::int32_t start = 0) : now_(start) {}
    std::int32_t TickCount() override { return now_; }
    void Set(std::int32_t now) { now_ = now; }
    // Advances with 32-bit wrap, as the system count does.
    void Advance(std::int32_t ms) {
        now_ = static_cast<std::int32_t>(static_cast<std::uint32_t>(now_) +
                                         static_cast<std::uint32_t>(ms));
    }

  private:
    std::int32_t now_;
};

}  // namespace quorvane::test
