#include <gtest/gtest.h>

#include <cstdlib>

#include "eeprom/eeprom_map.h"
#include "eeprom/ind_eep_rig_tamsk.h"
#include "image/image_compare.h"
#include "rig/fake_controls.h"
#include "support/file_text.h"

namespace quorvane {
namespace {

// Every address of the map holds a value of its own: the low byte of 37 x a + 11.
clsCmcEeprom KnownImage() {
    clsCmcEeprom image;
    for (Int32 a = 0; a < 400; ++a) {
        image.WriteByte(a, static_cast<std::uint8_t>((a * 37 + 11) & 0xFF));
    }
    image.WriteByte(eepmap::kBaseFreq, 0x05);
    image.WriteByte(eepmap::kBaseFreq + 1, 0x7A);  // 1402: 140.200 MHz
    return image;
}

TEST(ParameterDump, KnownImageGivesTheCheckedInText) {
    const clsCmcEeprom image = KnownImage();
    test::FakeTextBox box;
    clsIndEep_RigTamsk(image).RigTamskEep_DispPara(box);
    EXPECT_EQ(box.assignments, 1);
    const char* root = std::getenv("QUORVANE_SOURCE_DIR");
    ASSERT_NE(root, nullptr);
    const std::string expected =
        test::ReadFile(std::string(root) + "/tests/data/parameter_dump_expected.txt");
    ASSERT_FALSE(expected.empty());
    EXPECT_EQ(box.text, expected);
    // The dump of an image file's bytes (an opened file, quorvane-clone dump) is the same text.
    Bytes bytes(static_cast<std::size_t>(image.eeSize()));
    for (Int32 a = 0; a < image.eeSize(); ++a) {
        bytes[static_cast<std::size_t>(a)] = image.ReadByte(a);
    }
    EXPECT_EQ(ImageParameterDump(bytes), expected);
}

TEST(ParameterDump, MidFlagShowsTheMidWLevels) {
    clsCmcEeprom image = KnownImage();
    image.WriteByte(eepmap::kMidFlag, 0x80);
    const std::string text = clsIndEep_RigTamsk(image).ParameterDumpText();
    std::vector<std::string> lines;
    for (std::size_t at = 0, end; (end = text.find("\r\n", at)) != std::string::npos;
         at = end + 2) {
        lines.push_back(text.substr(at, end - at));
    }
    ASSERT_EQ(lines.size(), 66u);
    EXPECT_EQ(lines[3], "                 BAL W Level:  192");   // address 81
    EXPECT_EQ(lines[5], "                 MOD W Level:  155");   // 80
    EXPECT_EQ(lines[61], "           Tone W Correction:  118");  // 79
}

}  // namespace
}  // namespace quorvane
