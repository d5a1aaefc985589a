#pragma once

#include <chrono>
#include <cstdint>

#include "platform/clock.h"

namespace quorvane {

// The real clock: monotonic milliseconds, truncated to 32 bits so they wrap as the
// system tick count does.
class SteadyClock final : public IClock {
  public:
    std::int32_t TickCount() override {
        auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                      std::chrono::steady_clock::now().time_since_epoch())
                      .count();
        return static_cast<std::int32_t>(static_cast<std::uint32_t>(ms));
    }
};

}  // namespace quorvane
