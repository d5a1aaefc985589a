#include <gtest/gtest.h>

#include "protocol/common.h"

namespace quorvane {
namespace {

TEST(HexToBytes, PairsBlanksAndPartialReads) {
    EXPECT_EQ(HexToBytes("FEFE"), (Bytes{0xFE, 0xFE}));
    EXPECT_EQ(HexToBytes("A"), Bytes{});
    EXPECT_EQ(HexToBytes(" E8 01"), (Bytes{0xE8, 0x01}));
    EXPECT_EQ(HexToBytes("E0 85 37"), (Bytes{0xE0, 0x85, 0x37}));
    EXPECT_EQ(HexToBytes("0a1bC"), (Bytes{0x0A, 0x1B}));
    // A blank is skipped only where a pair would start.
    EXPECT_EQ(HexToBytes("E 0"), (Bytes{0x0E}));
    EXPECT_EQ(HexToBytes("1GZZ"), (Bytes{0x01, 0x00}));
}

TEST(BytesToHex, UpperCaseTwoDigits) {
    EXPECT_EQ(BytesToHex({0x4D, 0x05, 0x00, 0xFF, 0x1B}), "4D0500FF1B");
    EXPECT_EQ(TextToBytes("AZ"), (Bytes{0x41, 0x5A}));
}

TEST(AsciiHexToInt, SixteenAndThirtyTwoBitReadings) {
    EXPECT_EQ(AsciiHexToInt(TextToBytes("0120")), 288);
    EXPECT_EQ(AsciiHexToInt(TextToBytes("FFFF")), -1);
    EXPECT_EQ(AsciiHexToInt(TextToBytes("8000")), -32768);
    EXPECT_EQ(AsciiHexToInt({}), 0);
    EXPECT_EQ(AsciiHexToInt(TextToBytes("1G")), 1);
    EXPECT_EQ(AsciiHexToInt(TextToBytes("7b")), 123);
    // Five to eight digits are a 32-bit value that must fit 16 bits.
    EXPECT_EQ(AsciiHexToInt(TextToBytes("07FFF")), 32767);
    EXPECT_EQ(AsciiHexToInt(TextToBytes("FFFFFFFF")), -1);
    EXPECT_THROW(AsciiHexToInt(TextToBytes("0FFFF")), RuntimeError);
    EXPECT_THROW(AsciiHexToInt(TextToBytes("123456789")), RuntimeError);
}

TEST(Hex2, LastTwoDigitsAndTheirAsciiCodes) {
    EXPECT_EQ(Hex2(5) + Hex2(0x12C) + Hex2(-1) + Hex2(256), "052CFF00");
    EXPECT_EQ(Hex4(0x200) + Hex4(0x7FD0) + Hex4(0) + Hex4(0x12345) + Hex4(-1),
              "02007FD000002345FFFF");
    EXPECT_EQ(Hex2AsAsciiHex(0x1F), "3146");
    EXPECT_EQ(Hex2AsAsciiHex(-1), "4646");
    EXPECT_EQ(Hex2AsAsciiHex(200), "4338");
    EXPECT_EQ(Hex2AsAsciiHex(0x1234), "3334");
    EXPECT_EQ(HexPairValue('3', 'f'), 0x3F);
    EXPECT_EQ(HexPairValue('G', '0'), -1);
    EXPECT_EQ(HexPairValue('0', ' '), -1);
}

TEST(ExpandNewlines, InPlaceSameLength) {
    EXPECT_EQ(ExpandNewlines("a\\nb"), "a\r\nb");
    EXPECT_EQ(ExpandNewlines("\\n\\n"), "\r\n\r\n");
    EXPECT_EQ(ExpandNewlines("no break\\"), "no break\\");
}

}  // namespace
}  // namespace quorvane
