#include <gtest/gtest.h>

#include "protocol/radio.h"

namespace quorvane {
namespace {

TEST(Radio, IdentifiersImageAndFixedWidthCloneWriteList) {
    clsCmcRadio radio;
    EXPECT_EQ(radio.radioNameM() + radio.radionameS() + radio.cloneWriteAdrList(), "00000000");
    radio.eepImage().WriteByte(3, 9);
    EXPECT_EQ(radio.eepImage().ReadByte(3), 9);  // the same image, not a copy
    radio.cloneWriteAdrList_Add(0, 32735);
    EXPECT_EQ(radio.cloneWriteAdrList(), "0000-7FDF,");
    radio.cloneWriteAdrList_Clear();
    radio.cloneWriteAdrList_Add(0x10, 0x1F2);
    radio.cloneWriteAdrList_Add(0x12345, 0x20);  // kept in order, end below start as given
    radio.cloneWriteAdrList_Add(-1, 0);
    EXPECT_EQ(radio.cloneWriteAdrList(), "0010-01F2,2345-0020,FFFF-0000,");
}

}  // namespace
}  // namespace quorvane
