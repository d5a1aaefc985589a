#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <functional>

#include "sim/analog_model.h"
#include "sim/e8_items.h"

namespace quorvane::sim {
namespace {

// The program's filter sweep: from `from` in steps of `step`, stopping after the reading at
// `max` (or at the first value of 127 or more in the all-filters sweep); the result is the
// middle of the run of best readings.
int Sweep(const std::function<int(int)>& reading, int from, int step, int max, bool all) {
    int best = -1, first = from, last = from;
    for (int e = from;; e += step) {
        const int r = reading(e);
        if (r >= best) {
            if (r > best) {
                first = e;
            }
            last = e;
            best = r;
        }
        if (e >= max || (all && e >= 127)) {
            return (last + first) / 2;
        }
    }
}

// The program's LVA bisection; returns the value kept on success, -1 on failure.
int Bisect(const std::function<int(int)>& reading, int target, int* finalReading) {
    int lo = 0, hi = 255, loR = reading(0), hiR = reading(255);
    if (loR > hiR) {
        std::swap(lo, hi);
        std::swap(loR, hiR);
    }
    if (target <= loR || hiR <= target) {
        return -1;
    }
    for (;;) {
        const int mid = static_cast<int>(std::floor((lo + hi) / 2.0 + 0.5));
        const int midR = reading(mid);
        *finalReading = midR;
        if (std::abs(hi - lo) <= 2 || target == midR) {
            return mid;
        }
        (target < midR ? hi : lo) = mid;
    }
}

TEST(SimAnalogModel, SdHasAFlatTopOverEachFilterPlateau) {
    const AnalogModel m;
    EXPECT_EQ(m.Sd(90, 60), 220);  // both filters on their plateaus: 20 + 100 + 100
    for (int t1 = 86; t1 <= 94; ++t1) {
        EXPECT_EQ(m.Sd(t1, 10), m.Sd(90, 10));
    }
    EXPECT_EQ(m.Sd(85, 60), 218);
    EXPECT_EQ(m.Sd(95, 60), 218);
    EXPECT_EQ(m.Sd(0, 0), 20);  // far from both: the floor
    for (int v = 0; v < 255; ++v) {
        EXPECT_LE(m.Sd(v, v), 220);
    }
}

TEST(SimAnalogModel, SweepsEndAtTheMiddleOfThePlateaus) {
    const AnalogModel m;
    // A single-filter sweep runs 0..255 in steps of 1 with the other filter where it is.
    for (int other : {0, 60, 200}) {
        EXPECT_EQ(Sweep([&](int e) { return m.Sd(e, other); }, 0, 1, 255, false), 90);
        EXPECT_EQ(Sweep([&](int e) { return m.Sd(other, e); }, 0, 1, 255, false), 60);
    }
    // All filters: T1 0, 2, .. 128 with T2 at 64, then T2 likewise with T1 at its result.
    const int t1 = Sweep([&](int e) { return m.Sd(e, 64); }, 0, 2, 255, true);
    const int t2 = Sweep([&](int e) { return m.Sd(t1, e); }, 0, 2, 255, true);
    EXPECT_EQ(t1, 90);
    EXPECT_EQ(t2, 60);
}

TEST(SimAnalogModel, LvinRisesWithTheLvaValueSoBisectionFindsTheTarget) {
    const AnalogModel m;
    EXPECT_EQ(m.Lvin(Lva::Rx, 0), 20);
    EXPECT_EQ(m.Lvin(Lva::Rx, 255), 200);
    EXPECT_EQ(m.Lvin(Lva::Tx, 0), 30);
    EXPECT_EQ(m.Lvin(Lva::Tx, 255), 200);
    for (int v = 1; v < 256; ++v) {
        EXPECT_GE(m.Lvin(Lva::Rx, v), m.Lvin(Lva::Rx, v - 1));
        EXPECT_GE(m.Lvin(Lva::Tx, v), m.Lvin(Lva::Tx, v - 1));
    }
    int r = 0;
    EXPECT_EQ(Bisect([&](int v) { return m.Lvin(Lva::Rx, v); }, 100, &r), 114);
    EXPECT_EQ(r, 100);
    EXPECT_EQ(Bisect([&](int v) { return m.Lvin(Lva::Tx, v); }, 120, &r), 136);
    EXPECT_EQ(r, 120);
    // Every target strictly inside the range is reached within one step of its value.
    for (int target = 21; target < 200; ++target) {
        const int v = Bisect([&](int x) { return m.Lvin(Lva::Rx, x); }, target, &r);
        ASSERT_GE(v, 0);
        EXPECT_LE(std::abs(r - target), 2) << target;
    }
    EXPECT_EQ(Bisect([&](int v) { return m.Lvin(Lva::Rx, v); }, 20, &r), -1);
    EXPECT_EQ(Bisect([&](int v) { return m.Lvin(Lva::Rx, v); }, 200, &r), -1);
}

TEST(SimAnalogModel, SupplyAndTemperatureReadPlausibly) {
    const AnalogModel m;
    const SimImage img = SimImage::Generate(1);
    const int vin = m.Read(kSelVin, img, 1, Lva::Rx);
    EXPECT_NEAR(vin * 10 / 255.0, 7.4, 0.1);
    const int raw = m.Read(kSelTemps, img, 1, Lva::Rx);
    const double v = raw * 5 / 255.0;
    const double r = (500000 - v * 100000) / v / 47000;
    const double t = 1 / (std::log(r) / 4000 + 1 / 298.15) - 273.15;
    EXPECT_GT(t, 22.0);
    EXPECT_LT(t, 27.0);
    EXPECT_EQ(m.Read(1, img, 1, Lva::Rx), 0);
    EXPECT_EQ(m.Read(2, img, 1, Lva::Rx), m.Read(kSelSd, img, 1, Lva::Rx) / 2);
    EXPECT_EQ(m.Read(99, img, 1, Lva::Rx), 0);
}

TEST(SimAnalogModel, ReadoutsFollowTheSettings) {
    const AnalogModel m;
    SimImage img = SimImage::Generate(1, {.mid = false});
    img.Byte(adr::kBpfT1, 90);
    img.Byte(adr::kBpfT2, 0);
    EXPECT_EQ(m.Read(kSelSd, img, 1, Lva::Rx), m.Sd(90, 0));
    img.Byte(adr::kRxLva, 128);
    img.Byte(adr::kTxLva, 0);
    EXPECT_EQ(m.Read(kSelLvin, img, 1, Lva::Rx), m.Lvin(Lva::Rx, 128));
    EXPECT_EQ(m.Read(kSelLvin, img, 1, Lva::Tx), 30);

    const struct {
        std::uint8_t selector;
        std::int32_t address;
    } kDa[] = {{kSelBpfT1, 52}, {kSelT2Pow, 53},  {kSelTxLva, 61}, {kSelRxLva, 60},
               {kSelRef, 135},  {kSelModBal, 74}, {kSelCtcss, 51}, {kSelSqlLev, 274}};
    for (const auto& d : kDa) {
        img.Byte(d.address, static_cast<std::uint8_t>(d.selector * 7));
        EXPECT_EQ(m.Read(d.selector, img, 1, Lva::Rx), d.selector * 7) << int(d.selector);
    }

    // Dev: MOD N on a narrow channel, the MOD W level of the variant on a wide one.
    img.Byte(adr::kModN, 111);
    img.Byte(adr::kModW, 166);
    img.Byte(adr::kModWMid, 188);
    ASSERT_TRUE(img.ChannelNarrow(0));
    ASSERT_FALSE(img.ChannelNarrow(1));
    EXPECT_EQ(m.Read(kSelDev, img, 1, Lva::Rx), 111);
    EXPECT_EQ(m.Read(kSelDev, img, 2, Lva::Rx), 166);
    img.Byte(adr::kMidFlag, 0x80);
    EXPECT_EQ(m.Read(kSelDev, img, 2, Lva::Rx), 188);
    EXPECT_EQ(m.Read(kSelDev, img, 0, Lva::Rx), 111);  // no channel selected: narrow
}

}  // namespace
}  // namespace quorvane::sim
