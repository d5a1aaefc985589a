#include <gtest/gtest.h>

#include "adjust/readout_text.h"

namespace quorvane {
namespace {

TEST(ReadoutText, ValueRightAlignedInItsWidth) {
    const ReadoutLineFormat vin{"VIN  :", 10, "##0.#0V", 7};
    EXPECT_EQ(ReadoutLine(vin, 0), "VIN  :  0:00h:  0.00V");
    EXPECT_EQ(ReadoutLine(vin, 255), "VIN  :255:FFh: 10.00V");
    EXPECT_EQ(ReadoutLine({"MOD BAL:", 1, "0.00%", 7}, 255), "MOD BAL:255:FFh:100.00%");
}

TEST(ReadoutText, TemperatureAndItsErrorEnds) {
    EXPECT_EQ(TemperatureLine("TEMPS:", 0), "TEMPS:  0:00h:*Error");
    EXPECT_EQ(TemperatureLine("TEMPS:", 255), "TEMPS:255:FFh:*Error");
    EXPECT_EQ(TemperatureLine("TEMPS:", 1), "TEMPS:  1:01h:-70.19'C");
    EXPECT_EQ(TemperatureLine("TEMPS:", 254), "TEMPS:254:FEh:190.15'C");
    EXPECT_EQ(TemperatureLine("TEMPS:", 128), "TEMPS:128:80h:  9.27'C");
}

}  // namespace
}  // namespace quorvane
