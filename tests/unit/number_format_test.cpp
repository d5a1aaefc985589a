#include <gtest/gtest.h>

#include "platform/number_format.h"

namespace quorvane {
namespace {

TEST(NumberFormat, VoltsPercentAndDegrees) {
    EXPECT_EQ(FormatNumber(4.5, "##0.#0V"), "4.50V");
    EXPECT_EQ(FormatNumber(0.004, "##0.#0V"), "0.00V");
    EXPECT_EQ(FormatNumber(9.999, "##0.#0V"), "10.00V");
    EXPECT_EQ(FormatNumber(0.5, "0.00%"), "50.00%");
    EXPECT_EQ(FormatNumber(1.0, "0.00%"), "100.00%");
    EXPECT_EQ(FormatNumber(-12.345, "###.#0'C"), "-12.35'C");
    // No integer digit is required by "###": the display conversion shows none.
    EXPECT_EQ(FormatNumber(0.25, "###.#0'C"), ".25'C");
}

TEST(NumberFormat, RoundsHalfAwayFromZeroOnDecimalDigits) {
    EXPECT_EQ(FormatNumber(2.505, "0.00"), "2.51");  // binary 2.50499999...
    EXPECT_EQ(FormatNumber(0.125, "0.00"), "0.13");
    EXPECT_EQ(FormatNumber(-0.125, "0.00"), "-0.13");
    EXPECT_EQ(FormatNumber(-0.001, "0.00"), "0.00");  // no sign on a zero
}

TEST(NumberFormat, FrequenciesAndSignPlaces) {
    EXPECT_EQ(FormatNumber(2147.483647, "###0.#####0"), "2147.483647");
    EXPECT_EQ(FormatNumber(0.0, "###0.##0"), "0.000");
    EXPECT_EQ(StrNumber(5), " 5");
    EXPECT_EQ(StrNumber(-12), "-12");
}

}  // namespace
}  // namespace quorvane
