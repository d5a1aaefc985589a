#include <gtest/gtest.h>

#include "platform/number_format.h"

namespace quorvane {
namespace {

// The readout, channel and dump lines show the common cases; these are the edges.
TEST(NumberFormat, RoundsHalfAwayFromZeroAndCarries) {
    EXPECT_EQ(FormatNumber(2.505, "0.00"), "2.51");  // binary 2.50499999...
    EXPECT_EQ(FormatNumber(-0.125, "0.00"), "-0.13");
    EXPECT_EQ(FormatNumber(-0.001, "0.00"), "0.00");  // no sign on a zero
    EXPECT_EQ(FormatNumber(9.999, "##0.#0V"), "10.00V");
    EXPECT_EQ(FormatNumber(-12.345, "###.#0'C"), "-12.35'C");
    // No integer digit is required by "###": the display conversion shows none.
    EXPECT_EQ(FormatNumber(0.25, "###.#0'C"), ".25'C");
    EXPECT_EQ(FormatNumber(2147.483647, "###0.#####0"), "2147.483647");
    // Fifteen significant digits are all kept, none rounded.
    EXPECT_EQ(FormatNumber(1.5, "0.00000000000000"), "1.50000000000000");
    EXPECT_EQ(FormatNumber(5, "0.0"), "5.0");
    EXPECT_EQ(FormatNumber(7, "0V"), "7V");
    EXPECT_EQ(StrNumber(-12) + StrNumber(0), "-12 0");
}

}  // namespace
}  // namespace quorvane
