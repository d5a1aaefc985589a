#include "serial/cmc_tick.h"

#include <cstdint>

namespace quorvane {

void clsCmcTick::counter(Int32 durationMs) {
    start_ = clock_->TickCount();
    duration_ = durationMs;
    running_ = true;
}

Int32 clsCmcTick::counter() {
    std::int64_t elapsed = 0;
    if (running_) {
        const Int32 now = clock_->TickCount();
        if (start_ <= now) {
            // Halves keep the difference inside 32 bits; 2^30 halves is about 24.8 days.
            if (now / 2 - start_ / 2 >= 1073741824) {
                running_ = false;
            } else {
                elapsed = std::int64_t{now} - start_;
            }
        } else if (now <= -1073741824 && start_ >= 1073741824) {
            // The count passed from 2147483647 to -2147483648 since the start.
            elapsed = (std::int64_t{2147483647} - start_) + (std::int64_t{now} + 2147483648LL);
        } else {
            running_ = false;
        }
    }
    if (running_) {
        if (duration_ > elapsed) {
            return static_cast<Int32>(duration_ - elapsed);
        }
        running_ = false;
    }
    return 0;
}

}  // namespace quorvane
