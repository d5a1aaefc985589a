#include <gtest/gtest.h>

#include <array>

#include "platform/byte_string.h"
#include "platform/checked.h"
#include "platform/line_settings.h"
#include "support/error_kind.h"

namespace quorvane {
namespace {

using test::KindOf;

TEST(Conventions, SixteenBitArithmeticRaisesInsteadOfWrapping) {
    EXPECT_EQ(Add16(32766, 1), 32767);
    EXPECT_EQ(Mul16(-256, 128), -32768);
    EXPECT_EQ(KindOf([] { Add16(32767, 1); }), ErrorKind::Overflow);
    EXPECT_EQ(KindOf([] { Sub16(-32768, 1); }), ErrorKind::Overflow);
    EXPECT_EQ(KindOf([] { Mul16(256, 128); }), ErrorKind::Overflow);
    EXPECT_EQ(KindOf([] { To16(40000); }), ErrorKind::Overflow);
    EXPECT_EQ(KindOf([] { Add32(2147483647, 1); }), ErrorKind::Overflow);
    EXPECT_EQ(KindOf([] { Mul32(65536, 32768); }), ErrorKind::Overflow);
    const std::array<Int16, 3> a{1, 2, 3};
    EXPECT_EQ(CheckedAt(a, 2), 3);
    EXPECT_EQ(KindOf([&] { CheckedAt(a, 3); }), ErrorKind::IndexOutOfRange);
    EXPECT_EQ(KindOf([&] { CheckedAt(a, -1); }), ErrorKind::IndexOutOfRange);
}

TEST(Conventions, OneBasedBytePositionsAreChecked) {
    const Bytes b{0xEF, 0xEE, 0xE1};
    EXPECT_EQ(ByteAt(b, 1), 0xEF);
    EXPECT_EQ(KindOf([&] { ByteAt(b, 0); }), ErrorKind::IndexOutOfRange);
    EXPECT_EQ(KindOf([&] { ByteAt(b, 4); }), ErrorKind::IndexOutOfRange);
    EXPECT_EQ(MidB(b, 2, 2), (Bytes{0xEE, 0xE1}));
    EXPECT_EQ(MidB(b, 4), Bytes{});  // just past the end: empty, not an error
    EXPECT_EQ(KindOf([&] { MidB(b, 3, 2); }), ErrorKind::IndexOutOfRange);
    EXPECT_EQ(KindOf([&] { MidB(b, 5); }), ErrorKind::IndexOutOfRange);
    EXPECT_EQ(RightB(b, 2), (Bytes{0xEE, 0xE1}));
    EXPECT_EQ(InStrB(b, Bytes{0xEE, 0xE1}), 2);
    EXPECT_EQ(InStrB(b, std::uint8_t{0xE1}), 3);
}

TEST(Conventions, LineSettingsTakeFourFieldsAndRefuseTheRest) {
    const std::optional<LineSettings> s = ParseLineSettings("38400,E,7,1.5");
    ASSERT_TRUE(s);
    EXPECT_EQ(s->baud, 38400);
    EXPECT_EQ(s->parity, 'E');
    EXPECT_EQ(s->dataBits, 7);
    EXPECT_EQ(s->stopBits, LineSettings::StopBits::OnePointFive);
    EXPECT_TRUE(ParseLineSettings("123456789,N,5,1"));
    EXPECT_EQ(ParseLineSettings("9600,N,8,2")->stopBits, LineSettings::StopBits::Two);
    for (const char* bad :
         {"9600,N,8", "9600,N,8,1,1", "96x0,N,8,1", ",N,8,1", "9600,X,8,1", "9600,N,9,1",
          "9600,N,4,1", "9600,N,8,3", "9600,N,8,", "1234567890,N,8,1"}) {
        EXPECT_FALSE(ParseLineSettings(bad)) << bad;
    }
}

}  // namespace
}  // namespace quorvane
