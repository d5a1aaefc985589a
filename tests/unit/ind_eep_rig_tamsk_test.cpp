#include <gtest/gtest.h>

#include "eeprom/eeprom_map.h"
#include "eeprom/ind_eep_rig_tamsk.h"

namespace quorvane {
namespace {

class IndEepTest : public ::testing::Test {
  protected:
    void Put(Int32 adr, std::initializer_list<int> bytes) {
        for (int b : bytes) {
            ASSERT_EQ(image.WriteByte(adr++, static_cast<std::uint8_t>(b)), 0);
        }
    }
    clsCmcEeprom image;
    clsIndEep_RigTamsk eep{image};
};

TEST_F(IndEepTest, ChannelPresenceFollowsTheReceiveFrequencyOrItsInhibit) {
    const Int32 f = 0x200;
    Put(f, {0x09, 0x4C, 0xC0, 0xA8, 0x09, 0x4D, 0x00, 0x00});  // ch 0: 156.025 MHz / other
    Put(f + 14, {0x80, 0x00, 0x00, 0x00});                     // ch 1: inhibited, present
    Put(f + 42, {0x00, 0x00, 0x00, 0x01});                     // ch 3: present
    EXPECT_EQ(eep.RigTamskEep_GetChFreqRxReal(f, 0), 156025000);
    EXPECT_EQ(eep.RigTamskEep_GetChFreqTxReal(f + 4, 0), 0x094D0000);
    std::vector<bool> present;
    for (Int16 ch = -1; ch < 5; ++ch) {
        present.push_back(eep.RigTamskEep_GetChAppear(f, ch));
    }
    EXPECT_EQ(present, (std::vector<bool>{false, true, true, false, true, false}));
    // An inhibited frequency is never a number: reading it is an overflow.
    EXPECT_THROW(eep.RigTamskEep_GetChFreqRxReal(f, 1), RuntimeError);
    // A table pointing past the image reads as zeros: absent, Low1, wide.
    EXPECT_FALSE(eep.RigTamskEep_GetChAppear(40000, 0));
    EXPECT_EQ(eep.RigTamskEep_GetChRFPower(40000, 0), 2);
    EXPECT_FALSE(eep.RigTamskEep_GetChMode(40000, 0));
}

// Power and mode bits show in the channel lines.
TEST_F(IndEepTest, ChannelNamesRunFrom1To42) {
    EXPECT_EQ(eep.RigTamskEep_GetChName(0), "1");
    EXPECT_EQ(eep.RigTamskEep_GetChName(41), "42");
    EXPECT_THROW(eep.RigTamskEep_GetChName(42), RuntimeError);
    EXPECT_THROW(eep.RigTamskEep_GetChName(-1), RuntimeError);
}

TEST_F(IndEepTest, MidFlagIsBit7AndBaseFrequencyGoesUpTo800MHz) {
    Put(eepmap::kMidFlag, {0x7F});
    EXPECT_FALSE(eep.RigTamskEep_GetMid());
    // Units of 100 kHz.
    const std::tuple<int, int, Int32> bases[] = {
        {0x05, 0x50, 136000000}, {0x1F, 0x40, 800000000}, {0x1F, 0x41, 0}, {0xFF, 0xFF, 0}};
    for (const auto& [high, low, hz] : bases) {
        Put(eepmap::kBaseFreq, {high, low});
        EXPECT_EQ(eep.ReadBaseFreqBlock(), hz);
    }
}

}  // namespace
}  // namespace quorvane
