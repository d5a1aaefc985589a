#include <gtest/gtest.h>

#include "adjust/channel_line.h"

namespace quorvane {
namespace {

class ChannelLineTest : public ::testing::Test {
  protected:
    static constexpr Int32 F = 0x300;
    static constexpr Int32 S = 0x600;
    void Channel(Int16 ch, std::uint32_t rx, std::uint32_t tx, int power, int mode = 0) {
        for (int i = 0; i < 4; ++i) {
            image.WriteByte(F + 14 * ch + i, static_cast<std::uint8_t>(rx >> (24 - 8 * i)));
            image.WriteByte(F + 14 * ch + 4 + i, static_cast<std::uint8_t>(tx >> (24 - 8 * i)));
        }
        image.WriteByte(S + 20 * ch + 8, static_cast<std::uint8_t>(power));
        image.WriteByte(S + 20 * ch + 11, static_cast<std::uint8_t>(mode));
    }
    std::string Line(Int16 ch) { return ChannelLine(eep, {F, F + 4, S}, "    CH No.", ch); }
    clsCmcEeprom image;
    clsIndEep_RigTamsk eep{image};
};

TEST_F(ChannelLineTest, NumberFrequenciesPowerAndMode) {
    Channel(0, 156025000, 156025000, 0x03);
    EXPECT_EQ(Line(0),
              "    CH No.: 01 RX = 156.025000, TX =   <-        RF Power: High  Mode: Wide");
    Channel(9, 150000000, 155500000, 0x01, 0x80);
    EXPECT_EQ(Line(9),
              "    CH No.: 10 RX = 150.000000, TX = 155.500000  RF Power: Low1  Mode: Narrow");
}

TEST_F(ChannelLineTest, InhibitedDirections) {
    // Receive inhibited: the transmit frequency is shown even when the numbers are equal.
    Channel(2, 0x80000000u | 146000000u, 146000000, 0x02);
    EXPECT_EQ(Line(2),
              "    CH No.: 03 RX = Inhibit   , TX = 146.000000  RF Power: Low2  Mode: Wide");
    Channel(3, 146000000, 0x80000000u, 0x03);
    EXPECT_EQ(Line(3).substr(0, 47), "    CH No.: 04 RX = 146.000000, TX = Inhibit   ");
}

}  // namespace
}  // namespace quorvane
