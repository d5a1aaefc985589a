#include <gtest/gtest.h>

#include "protocol/radio.h"

namespace quorvane {
namespace {

TEST(Radio, IdentifiersAndImage) {
    clsCmcRadio radio;
    EXPECT_EQ(radio.radioNameM(), "0000");
    EXPECT_EQ(radio.radionameS(), "0000");
    radio.radioNameM("8537");
    radio.radionameS("0200");
    EXPECT_EQ(radio.radioNameM(), "8537");
    radio.eepImage().WriteByte(3, 9);
    EXPECT_EQ(radio.eepImage().ReadByte(3), 9);  // the same image, not a copy
}

TEST(Radio, CloneWriteListIsFixedWidth) {
    clsCmcRadio radio;
    EXPECT_EQ(radio.cloneWriteAdrList(), "");
    radio.cloneWriteAdrList_Add(0, 32735);
    EXPECT_EQ(radio.cloneWriteAdrList(), "0000-7FDF,");
    radio.cloneWriteAdrList_Clear();
    radio.cloneWriteAdrList_Add(0x10, 0x1F2);
    EXPECT_EQ(radio.cloneWriteAdrList(), "0010-01F2,");
    radio.cloneWriteAdrList_Add(0x12345, 0x20);  // kept in order, end below start as given
    EXPECT_EQ(radio.cloneWriteAdrList(), "0010-01F2,2345-0020,");
    radio.cloneWriteAdrList_Clear();
    radio.cloneWriteAdrList_Add(-1, 0);
    EXPECT_EQ(radio.cloneWriteAdrList(), "FFFF-0000,");
}

}  // namespace
}  // namespace quorvane
