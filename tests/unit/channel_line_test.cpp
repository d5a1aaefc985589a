#include <gtest/gtest.h>

#include "adjust/channel_line.h"

namespace quorvane {
namespace {

class ChannelLineTest : public ::testing::Test {
  protected:
    static constexpr Int32 F = 0x300;
    static constexpr Int32 S = 0x600;
    void Freq(Int16 ch, Int32 offset, std::uint32_t hz) {
        for (int i = 0; i < 4; ++i) {
            image.WriteByte(F + 14 * ch + offset + i,
                            static_cast<std::uint8_t>(hz >> (24 - 8 * i)));
        }
    }
    std::string Line(Int16 ch) { return ChannelLine(eep, {F, F + 4, S}, "    CH No.", ch); }
    clsCmcEeprom image;
    clsIndEep_RigTamsk eep{image};
};

TEST_F(ChannelLineTest, EqualFrequenciesHighWide) {
    Freq(0, 0, 156025000);
    Freq(0, 4, 156025000);
    image.WriteByte(S + 8, 0x03);
    EXPECT_EQ(Line(0),
              "    CH No.: 01 RX = 156.025000, TX =   <-        RF Power: High  Mode: Wide");
}

TEST_F(ChannelLineTest, DifferentFrequenciesNumbersPowerAndMode) {
    Freq(9, 0, 150000000);
    Freq(9, 4, 155500000);
    image.WriteByte(S + 20 * 9 + 8, 0x02);
    image.WriteByte(S + 20 * 9 + 11, 0x80);
    EXPECT_EQ(Line(9),
              "    CH No.: 10 RX = 150.000000, TX = 155.500000  RF Power: Low2  Mode: Narrow");
    image.WriteByte(S + 20 * 9 + 8, 0x01);
    EXPECT_NE(Line(9).find("RF Power: Low1"), std::string::npos);
}

TEST_F(ChannelLineTest, InhibitedDirections) {
    // Receive inhibited: the transmit frequency is shown even when the numbers are equal.
    Freq(2, 0, 0x80000000u | 146000000u);
    Freq(2, 4, 146000000);
    EXPECT_EQ(Line(2).substr(0, 53), "    CH No.: 03 RX = Inhibit   , TX = 146.000000  RF P");
    Freq(3, 0, 146000000);
    Freq(3, 4, 0x80000000u);
    EXPECT_EQ(Line(3).substr(0, 47), "    CH No.: 04 RX = 146.000000, TX = Inhibit   ");
}

}  // namespace
}  // namespace quorvane
