#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>

#include "sim/sim_image.h"

namespace quorvane::sim {
namespace {

std::uint32_t Freq(const SimImage& img, std::int32_t at) {
    return static_cast<std::uint32_t>(img.Word(at)) << 16 | img.Word(at + 2);
}

std::int8_t Signed(const SimImage& img, std::int32_t at) {
    return static_cast<std::int8_t>(img.Byte(at));
}

TEST(SimImage, GenerationIsDeterministicPerSeed) {
    EXPECT_EQ(SimImage::Generate(7), SimImage::Generate(7));
    EXPECT_NE(SimImage::Generate(7), SimImage::Generate(8));
    EXPECT_EQ(SimImage::Generate(7).data().size(), 32736u);
    EXPECT_EQ(SimImage().data(), std::vector<std::uint8_t>(32736, 0));
}

TEST(SimImage, EveryMapAddressHoldsAPlausibleValue) {
    for (std::uint32_t seed : {1u, 2u, 3u, 42u, 1000u, 4000000000u}) {
        SCOPED_TRACE(seed);
        const SimImage img = SimImage::Generate(seed);
        const int base = img.Word(adr::kBaseFreq);
        EXPECT_TRUE(base == 1360 || base == 1440 || base == 4000 || base == 4300) << base;
        EXPECT_LT(img.Byte(adr::kPowerL1), img.Byte(adr::kPowerL2));
        EXPECT_LT(img.Byte(adr::kPowerL2), img.Byte(adr::kPowerHi));
        EXPECT_LT(img.Byte(adr::kRssiS1), img.Byte(adr::kRssiS3));
        // BAL copies equal BAL in both variants; MOD W is about twice MOD N in both.
        EXPECT_EQ(img.Byte(adr::kBalW), img.Byte(adr::kBal));
        EXPECT_EQ(img.Byte(adr::kBalWMid), img.Byte(adr::kBal));
        EXPECT_EQ(img.Byte(adr::kModW), img.Byte(adr::kModWMid));
        const double ratio = double(img.Byte(adr::kModWMid)) / img.Byte(adr::kModN);
        EXPECT_GT(ratio, 1.7);
        EXPECT_LT(ratio, 2.0);
        for (std::int32_t a = adr::kFreqSlants; a <= 126; ++a) {
            EXPECT_LE(std::abs(Signed(img, a)), 15) << a;
        }
        for (std::int32_t a : {56, 57, 58, 59, 65, 72, 79}) {
            EXPECT_LE(std::abs(Signed(img, a)), 10) << a;
        }
        // Target levels strictly inside the LVIN ranges, so automatic adjustment can succeed.
        EXPECT_GT(img.Byte(adr::kLvRxLva), 20);
        EXPECT_LT(img.Byte(adr::kLvRxLva), 200);
        EXPECT_GT(img.Byte(adr::kLvTxLva), 30);
        EXPECT_LT(img.Byte(adr::kLvTxLva), 200);
        for (std::int32_t a : {51, 52, 53, 60, 61, 73, 74, 135, 274}) {
            EXPECT_GT(img.Byte(a), 30) << a;
            EXPECT_LT(img.Byte(a), 200) << a;
        }
    }
}

TEST(SimImage, ChannelTablesHoldEveryKindOfChannel) {
    for (std::uint32_t seed : {1u, 5u, 99u}) {
        SCOPED_TRACE(seed);
        const SimImage img = SimImage::Generate(seed);
        const int count = img.ChannelCount();
        EXPECT_GE(count, 12);
        EXPECT_LE(count, 16);
        const std::int32_t f = img.FreqTable();
        const std::int32_t s = img.SettingTable();
        EXPECT_GT(f, adr::kMidFlag);   // clear of the map
        EXPECT_LE(f + 14 * count, s);  // tables do not overlap
        EXPECT_LE(s + 20 * count, kImageSize);
        const std::uint32_t lo = img.Word(adr::kBaseFreq) * 100000u;
        int absent = 0, rxInhibit = 0, txInhibit = 0, simplex = 0, duplex = 0, narrow = 0, wide = 0;
        std::set<int> powers;
        for (int ch = 0; ch < count; ++ch) {
            const std::uint32_t rx = Freq(img, f + 14 * ch);
            const std::uint32_t tx = Freq(img, f + 14 * ch + 4);
            if (rx == 0) {
                ++absent;
                continue;
            }
            rxInhibit += (rx >> 31) != 0;
            txInhibit += (tx >> 31) != 0;
            const std::uint32_t rxHz = rx & 0x7FFFFFFF;
            const std::uint32_t txHz = tx & 0x7FFFFFFF;
            EXPECT_GE(rxHz, lo);
            EXPECT_LT(rxHz, lo + 60000000u);
            EXPECT_EQ(rxHz % 12500, 0u);
            (rxHz == txHz ? simplex : duplex) += 1;
            const std::uint8_t power = img.Byte(s + 20 * ch + 8) & 0x03;
            powers.insert(power);
            (img.ChannelNarrow(ch) ? narrow : wide) += 1;
        }
        EXPECT_GE(absent, 2);
        EXPECT_EQ(rxInhibit, 1);
        EXPECT_EQ(txInhibit, 1);
        EXPECT_GT(simplex, 0);
        EXPECT_GT(duplex, 0);
        EXPECT_GT(narrow, 0);
        EXPECT_GT(wide, 0);
        EXPECT_EQ(powers, (std::set<int>{0, 1, 2, 3}));  // High, Low2 and both Low1 forms
        EXPECT_NE(Freq(img, f), 0u);                     // channel 1 is in use
    }
}

TEST(SimImage, MidFlagAndChannelCountCanBeChosen) {
    const SimImage mid = SimImage::Generate(3, {.mid = true, .channels = 40});
    EXPECT_TRUE(mid.Mid());
    EXPECT_EQ(mid.ChannelCount(), 40);
    EXPECT_LE(mid.SettingTable() + 20 * 40, kImageSize);
    const SimImage clear = SimImage::Generate(3, {.mid = false, .channels = 1});
    EXPECT_FALSE(clear.Mid());
    EXPECT_EQ(clear.ChannelCount(), 1);
    // Other bits of byte 381 are left to the seed; only bit 7 is the flag.
    EXPECT_EQ(mid.Byte(adr::kMidFlag) & 0x7F, clear.Byte(adr::kMidFlag) & 0x7F);
    bool sawMid = false, sawClear = false;
    for (std::uint32_t seed = 0; seed < 20; ++seed) {
        (SimImage::Generate(seed).Mid() ? sawMid : sawClear) = true;
    }
    EXPECT_TRUE(sawMid && sawClear);
    EXPECT_THROW(SimImage::Generate(1, {.mid = std::nullopt, .channels = 41}),
                 std::invalid_argument);
}

TEST(SimImage, ByteAndWordAccessStayInsideTheImage) {
    SimImage img;
    EXPECT_TRUE(img.Word(0x7FDE, 0x1234));
    EXPECT_EQ(img.Byte(0x7FDE), 0x12);
    EXPECT_EQ(img.Word(0x7FDE), 0x1234);
    EXPECT_FALSE(img.Word(0x7FDF, 1));
    EXPECT_FALSE(img.Byte(kImageSize, 1));
    EXPECT_FALSE(img.Byte(-1, 1));
    EXPECT_EQ(img.Byte(kImageSize), 0);
    EXPECT_EQ(img.Byte(-1), 0);
}

TEST(SimImage, SaveAndLoad) {
    namespace fs = std::filesystem;
    const fs::path dir =
        fs::temp_directory_path() /
        ("sim_image_test_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
    fs::create_directories(dir);
    const std::string path = (dir / "image.bin").string();
    const SimImage img = SimImage::Generate(11);
    img.Save(path);
    EXPECT_EQ(fs::file_size(path), 32736u);
    EXPECT_FALSE(fs::exists(path + ".tmp"));
    EXPECT_EQ(SimImage::Load(path), img);

    std::ofstream(path, std::ios::binary | std::ios::trunc) << "short";
    try {
        SimImage::Load(path);
        ADD_FAILURE() << "a short file loaded";
    } catch (const std::runtime_error& e) {
        EXPECT_NE(std::string(e.what()).find("has 5 bytes, not 32736"), std::string::npos);
    }
    EXPECT_THROW(SimImage::Load((dir / "absent.bin").string()), std::runtime_error);
    EXPECT_THROW(img.Save((dir / "no-such-dir" / "x.bin").string()), std::runtime_error);
    fs::remove_all(dir);
}

}  // namespace
}  // namespace quorvane::sim
