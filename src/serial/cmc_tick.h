#pragma once

#include "platform/checked.h"
#include "platform/clock.h"

namespace quorvane {

// A polled one-shot millisecond countdown. Writing counter starts it; reading gives the
// milliseconds left, 0 once expired (and from then on until it is written again).
class clsCmcTick {
  public:
    explicit clsCmcTick(IClock& clock) : clock_(&clock) {}

    void counter(Int32 durationMs);
    Int32 counter();

  private:
    IClock* clock_;
    Int32 start_ = 0;
    Int32 duration_ = 0;
    bool running_ = false;
};

}  // namespace quorvane
