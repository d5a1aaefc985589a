#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "eeprom/eeprom_map.h"
#include "eeprom/ind_eep_rig_tamsk.h"
#include "rig/fake_controls.h"

namespace quorvane {
namespace {

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> out;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find("\r\n", start);
        EXPECT_NE(end, std::string::npos) << "every line ends with CR LF";
        if (end == std::string::npos) {
            break;
        }
        out.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return out;
}

TEST(ParameterDump, ZeroImage) {
    clsCmcEeprom image;
    clsIndEep_RigTamsk eep(image);
    test::FakeTextBox box;
    eep.RigTamskEep_DispPara(box);
    EXPECT_EQ(box.assignments, 1);
    auto lines = Lines(box.text);
    ASSERT_EQ(lines.size(), 66u);
    for (const auto& l : lines) {
        EXPECT_EQ(l[28], ':') << l;
        EXPECT_EQ(l.substr(0, 30).size(), 30u);
    }
    EXPECT_EQ(lines[0], "                POW HI Level:    0");
    EXPECT_EQ(lines[63], "              Base Frequency:    0.000MHz");
}

TEST(ParameterDump, FieldsSignsAndMidVariant) {
    clsCmcEeprom image;
    clsIndEep_RigTamsk eep(image);
    image.WriteByte(eepmap::kPowHiLevel, 130);
    image.WriteByte(88, 0xF6);
    image.WriteByte(124, 0x80);
    image.WriteByte(126, 0x7F);
    image.WriteByte(67, 11);
    image.WriteByte(81, 22);
    image.WriteByte(66, 33);
    image.WriteByte(80, 44);
    image.WriteByte(65, 0xFF);
    image.WriteByte(79, 5);
    image.WriteByte(eepmap::kBaseFreq, 0x05);
    image.WriteByte(eepmap::kBaseFreq + 1, 0x50);
    auto lines = Lines(eep.ParameterDumpText());
    ASSERT_EQ(lines.size(), 66u);
    EXPECT_EQ(lines[0], "                POW HI Level:  130");
    EXPECT_EQ(lines[15], "       MOD Slant(Freq) Band0:  -10");
    EXPECT_EQ(lines[21], "       MOD Slant(Freq) Band6: -128");
    EXPECT_EQ(lines[35], "       POW Slant(Freq) Band6:  127");
    EXPECT_EQ(lines[3], "                 BAL W Level:   11");
    EXPECT_EQ(lines[5], "                 MOD W Level:   33");
    EXPECT_EQ(lines[61], "           Tone W Correction:   -1");
    EXPECT_EQ(lines[63], "              Base Frequency:  136.000MHz");

    image.WriteByte(eepmap::kMidFlag, 0x80);
    lines = Lines(eep.ParameterDumpText());
    EXPECT_EQ(lines[3], "                 BAL W Level:   22");
    EXPECT_EQ(lines[5], "                 MOD W Level:   44");
    EXPECT_EQ(lines[61], "           Tone W Correction:    5");
}

// A known image against the checked-in dump: every address of the map has its own value.
TEST(ParameterDump, KnownImageMatchesExpectedText) {
    clsCmcEeprom image;
    for (Int32 a = 0; a < 400; ++a) {
        image.WriteByte(a, static_cast<std::uint8_t>((a * 37 + 11) & 0xFF));
    }
    image.WriteByte(eepmap::kBaseFreq, 0x05);
    image.WriteByte(eepmap::kBaseFreq + 1, 0x7A);  // 1402 -> 140.200 MHz
    clsIndEep_RigTamsk eep(image);
    const char* root = std::getenv("QUORVANE_SOURCE_DIR");
    ASSERT_NE(root, nullptr);
    std::ifstream in(std::string(root) + "/tests/data/parameter_dump_expected.txt",
                     std::ios::binary);
    ASSERT_TRUE(in) << "expected dump file missing";
    std::stringstream expected;
    expected << in.rdbuf();
    EXPECT_EQ(eep.ParameterDumpText(), expected.str());
}

}  // namespace
}  // namespace quorvane
