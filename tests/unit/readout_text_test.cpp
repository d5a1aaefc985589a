#include <gtest/gtest.h>

#include "adjust/readout_text.h"

namespace quorvane {
namespace {

const ReadoutLineFormat kVin{"VIN  :", 10, "##0.#0V", 7};
const ReadoutLineFormat kModBal{"MOD BAL:", 1, "0.00%", 7};
const ReadoutLineFormat kBpfT1{"BPF T1 :", 5, "##0.#0V", 7};

TEST(ReadoutText, LineLayout) {
    EXPECT_EQ(ReadoutLine(kVin, 123), "VIN  :123:7Bh:  4.82V");
    EXPECT_EQ(ReadoutLine(kVin, 123).size(), 21u);
    EXPECT_EQ(ReadoutLine(kVin, 0), "VIN  :  0:00h:  0.00V");
    EXPECT_EQ(ReadoutLine(kVin, 255), "VIN  :255:FFh: 10.00V");
    EXPECT_EQ(ReadoutLine(kModBal, 255), "MOD BAL:255:FFh:100.00%");
    EXPECT_EQ(ReadoutLine(kModBal, 128), "MOD BAL:128:80h: 50.20%");
    EXPECT_EQ(ReadoutLine(kBpfT1, 5), "BPF T1 :  5:05h:  0.10V");
}

TEST(ReadoutText, TemperatureAndItsErrorEnds) {
    EXPECT_EQ(TemperatureLine("TEMPS:", 0), "TEMPS:  0:00h:*Error");
    EXPECT_EQ(TemperatureLine("TEMPS:", 255), "TEMPS:255:FFh:*Error");
    EXPECT_EQ(TemperatureLine("TEMPS:", 174), "TEMPS:174:AEh: 25.21'C");
    EXPECT_EQ(TemperatureLine("TEMPS:", 128), "TEMPS:128:80h:  9.27'C");
    EXPECT_EQ(TemperatureLine("TEMPS:", 1), "TEMPS:  1:01h:-70.19'C");
    EXPECT_EQ(TemperatureLine("TEMPS:", 254), "TEMPS:254:FEh:190.15'C");
    EXPECT_NEAR(ThermistorCelsius(200), 37.4065, 1e-3);
}

}  // namespace
}  // namespace quorvane
