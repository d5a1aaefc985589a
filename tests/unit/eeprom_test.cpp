#include <gtest/gtest.h>

#include "protocol/eeprom.h"

namespace quorvane {
namespace {

TEST(Eeprom, ZeroFilledBytesAndBitsAtTheEdges) {
    clsCmcEeprom ee;
    EXPECT_EQ(ee.eeSize(), 32736);
    EXPECT_EQ(ee.ReadByte(100), 0);
    ee.WriteByte(5, 9);
    ee.eeSize(10);  // a new size starts from zeros: nothing of the last image is left
    EXPECT_EQ(ee.ReadByte(5), 0);
    ee.eeSize(32736);
    EXPECT_EQ(ee.WriteByte(32735, 0xAB), 0);
    EXPECT_EQ(ee.ReadByte(32735), 0xAB);
    EXPECT_EQ(ee.ReadByte(32736), 0);
    EXPECT_EQ(ee.ReadByte(-1), 0);
    EXPECT_EQ(ee.WriteByte(32736, 1), 1);
    EXPECT_EQ(ee.WriteByte(-1, 1), 1);
    ee.WriteByte(381, 0x80);
    EXPECT_TRUE(ee.ReadBit(381, 7));
    EXPECT_FALSE(ee.ReadBit(381, 6));
    EXPECT_TRUE(ee.ReadBit(32735, 0));
    EXPECT_FALSE(ee.ReadBit(40000, 0));
}

TEST(Eeprom, BlocksCheckBothEnds) {
    clsCmcEeprom ee;
    EXPECT_EQ(ee.WriteBlock(0, {}), 1);  // last address -1
    EXPECT_EQ(ee.WriteBlock(1, {}), 0);
    EXPECT_EQ(ee.WriteBlock(0, {9}), 0);
    EXPECT_EQ(ee.ReadByte(0), 9);
    EXPECT_EQ(ee.WriteBlock(32735, {}), 0);
    EXPECT_EQ(ee.WriteBlock(32734, {1, 2, 3}), 1);
    EXPECT_EQ(ee.ReadByte(32734), 0);
    EXPECT_EQ(ee.WriteBlock(32733, {1, 2, 3}), 0);
    EXPECT_EQ(ee.ReadBlock(32733, 3), (Bytes{1, 2, 3}));

    EXPECT_EQ(ee.FillBlock(32730, 0xFF, 7), 1);
    EXPECT_EQ(ee.ReadByte(32730), 0);
    EXPECT_EQ(ee.FillBlock(32730, 0xFF, 6), 0);
    EXPECT_EQ(ee.ReadBlock(32730, 6), Bytes(6, 0xFF));
    EXPECT_EQ(ee.ReadByte(32729), 0);
    EXPECT_EQ(ee.ReadBlock(5, 0), Bytes{});
    EXPECT_THROW(ee.ReadBlock(32730, 7), RuntimeError);
    EXPECT_THROW(ee.ReadBlock(-1, 2), RuntimeError);
}

}  // namespace
}  // namespace quorvane
