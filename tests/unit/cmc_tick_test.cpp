#include <gtest/gtest.h>

#include "rig/manual_clock.h"
#include "serial/cmc_tick.h"

namespace quorvane {
namespace {

TEST(CmcTick, CountsDownAndStaysExpired) {
    test::ManualClock clock(5000);
    clsCmcTick tick(clock);
    EXPECT_EQ(tick.counter(), 0);  // never written
    tick.counter(1000);
    clock.Advance(400);
    EXPECT_EQ(tick.counter(), 600);
    clock.Advance(600);
    EXPECT_EQ(tick.counter(), 0);
    clock.Set(5500);  // even if the clock reads earlier again, an expired count stays 0
    EXPECT_EQ(tick.counter(), 0);
    tick.counter(100);  // writing again restarts
    EXPECT_EQ(tick.counter(), 100);
    tick.counter(-5);
    EXPECT_EQ(tick.counter(), 0);
}

TEST(CmcTick, ClockWrapsWithinTheWindowCountOutsideStop) {
    test::ManualClock clock(2147483000);
    clsCmcTick tick(clock);
    tick.counter(2000);
    clock.Set(-2147483000);  // wrapped from the maximum to the minimum
    EXPECT_EQ(tick.counter(), 2000 - 1295);
    clock.Set(-2147482000);
    EXPECT_EQ(tick.counter(), 0);

    clock.Set(2147480000);  // late in the clock's range: a short count still runs
    tick.counter(100);
    clock.Advance(50);
    EXPECT_EQ(tick.counter(), 50);

    clock.Set(-2000000000);
    tick.counter(1000000);
    clock.Set(2000000000);  // halves differ by 2^30 or more: the count is abandoned
    EXPECT_EQ(tick.counter(), 0);
    clock.Set(0);
    tick.counter(2147483647);
    clock.Set(2147483646);  // halves differ by 2^30 - 1
    EXPECT_EQ(tick.counter(), 1);
}

}  // namespace
}  // namespace quorvane
