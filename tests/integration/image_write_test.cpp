// Whole images over the in-process stand-in: the automatic backup of every read, and a file
// written to the transceiver, read back and compared.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>

#include "image/image_file.h"
#include "rig/program_rig.h"
#include "support/temp_dir.h"

namespace quorvane {
namespace {

namespace fs = std::filesystem;

const ImageOrigin kOrigin{{0x8537, 0x0200, 0x04, 0x7FE0},
                          std::chrono::sys_days{std::chrono::December / 7 / 2026}};

std::string Write(test::ProgramRig& rig, const fs::path& file) {
    EXPECT_TRUE(rig.Settle());
    EXPECT_TRUE(rig.program.Images().CanWrite());
    rig.SentFrames();
    rig.form.messageBox.texts.clear();
    rig.program.Images().StartWrite(file.string());
    EXPECT_TRUE(rig.RunUntil([&] { return !rig.form.messageBox.texts.empty(); }, 300000));
    return rig.form.messageBox.texts.empty() ? "" : rig.form.messageBox.texts[0];
}

TEST(ImageWrite, BackupThenWriteReadBackAndCompare) {
    test::TempDir data;
    test::ProgramRig rig({}, sim::SimImage::Generate(1), data.path().string());
    ASSERT_TRUE(rig.Connect());
    const fs::path first = data.path() / "backups" / "20261207-051502_8537-0200.qvimg";
    EXPECT_EQ(rig.program.Images().LastBackup(), first);
    const ImageFileResult kept = LoadImageFile(first);
    ASSERT_TRUE(kept.file) << kept.error;
    EXPECT_EQ(kept.file->origin->identity, (RadioIdentity{0x8537, 0x0200, 0x04, 0x7FE0}));

    Bytes image = kept.file->image;
    image[0x0000] = 0xA5;
    image[0x7FDF] = 0x5A;
    const fs::path file = data.path() / "new.qvimg";
    ASSERT_EQ(SaveImageFile(file, image, kOrigin), "");
    const WriteCheck check = rig.program.Images().CheckImageForWrite(file.string());
    EXPECT_TRUE(check.allowed);
    EXPECT_EQ(check.text,
              "Write the EEPROM image 'new.qvimg' to the transceiver?\n\nImage: model 8537, sub "
              "0200, revision 04, read 2026-12-07 00:00:00 UTC\nTransceiver: model 8537, sub "
              "0200, revision 04");

    EXPECT_EQ(Write(rig, file), "The EEPROM image was written and read back unchanged.");
    const std::vector<std::string> sent = rig.SentFrames();
    ASSERT_GE(sent.size(), 2051u);
    EXPECT_EQ(sent[0], "E0 identify model 8537");
    EXPECT_EQ(sent[1], "E3 clone write model 8537 sub 0200");
    EXPECT_EQ(sent[2], "E4 record address 0000 bytes 16 checksum ok");
    EXPECT_EQ(sent[2047], "E4 record address 7FD0 bytes 16 checksum ok");
    EXPECT_EQ(sent[2048], "E5 end of clone write, signature ok");
    EXPECT_EQ(sent[2049], "E0 identify model 8537");
    EXPECT_EQ(sent[2050], "E2 clone read model 8537 sub 0200");
    EXPECT_NE(rig.Wire().find("E6 clone write result 00"), std::string::npos);
    EXPECT_EQ(rig.Transceiver().Image().Byte(0x0000), 0xA5);
    EXPECT_EQ(rig.Transceiver().Image().Byte(0x7FDF), 0x5A);
    // The read after the write made a second backup beside the first, which stays as it was.
    EXPECT_EQ(rig.program.Images().LastBackup(),
              data.path() / "backups" / "20261207-051502_8537-0200-2.qvimg");
    EXPECT_EQ(LoadImageFile(first).file->image, kept.file->image);
    EXPECT_TRUE(rig.Settle());  // the items are back, built from what the transceiver holds
    const fs::path saved = data.path() / "saved.qvimg";
    EXPECT_EQ(rig.program.Images().SaveImage(saved.string()), "");
    EXPECT_EQ(LoadImageFile(saved).file->image, image);
    const OpenedImage opened = rig.program.Images().OpenImage(file.string());
    EXPECT_EQ(opened.fileName, "new.qvimg");
    EXPECT_EQ(opened.identity, "model 8537, sub 0200, revision 04, read 2026-12-07 00:00:00 UTC");
    EXPECT_EQ(std::count(opened.dumpText.begin(), opened.dumpText.end(), '\n'), 66);

    // A backup that cannot be written is said, and the adjustment goes on.
    fs::remove_all(data.path() / "backups");
    std::ofstream(data.path() / "backups") << "a file where the folder belongs";
    rig.form.messageBox.texts.clear();
    ASSERT_TRUE(rig.Connect());
    ASSERT_EQ(rig.form.messageBox.texts.size(), 1u);
    EXPECT_EQ(rig.form.messageBox.texts[0].rfind("Cannot save the backup '", 0), 0u);
}

TEST(ImageWrite, FaultsAndRefusedFiles) {
    test::TempDir data;
    const fs::path file = data.path() / "image.qvimg";
    ASSERT_EQ(SaveImageFile(file, sim::SimImage::Generate(2).data(), kOrigin), "");
    const std::string tail =
        "\r\n\r\nCheck the following:\r\n- The COM port settings.\r\n- Cloning cable "
        "connections.\r\n- Transceiver power is ON.";
    for (const auto& [fault, message] : std::vector<std::pair<std::string, std::string>>{
             {"rejected-write",
              "Cannot write cloning data.\r\n\r\nCheck the following:\r\n- Cloning cable "
              "connections.\r\n- Transceiver power is ON."},
             {"no-write-result", "No answer from transceiver." + tail},
             {"write-hang-up:5", "Cannot access COM port" + tail}}) {
        sim::TamskorConfig config;
        ASSERT_FALSE(config.faults.Parse(fault));
        test::ProgramRig rig(config);
        ASSERT_TRUE(rig.Connect());
        const Bytes before = rig.Transceiver().Image().data();
        EXPECT_EQ(Write(rig, file), message) << fault;
        rig.RunFor(3000);
        EXPECT_EQ(rig.form.messageBox.texts.size(), 1u) << fault;
        EXPECT_TRUE(rig.InInitialState()) << fault;
        EXPECT_EQ(rig.Transceiver().Image().data(), before) << fault;
        const fs::path saved = data.path() / "after-failure.qvimg";
        EXPECT_EQ(rig.program.Images().SaveImage(saved.string()), "");
        EXPECT_EQ(LoadImageFile(saved).file->image, before) << fault;
    }

    // A transceiver with a shorter clone area: its backup still holds a whole image.
    sim::TamskorConfig smaller;
    smaller.cloneEnd = 0x3FFF;
    test::ProgramRig rig(smaller, sim::SimImage::Generate(1), data.path().string());
    ASSERT_TRUE(rig.Connect());
    ASSERT_TRUE(rig.Settle());
    EXPECT_TRUE(rig.form.messageBox.texts.empty());
    EXPECT_EQ(LoadImageFile(rig.program.Images().LastBackup()).file->image.size(), 32736u);
    const fs::path shortFile = data.path() / "short.bin";
    std::ofstream(shortFile) << "too short";
    const fs::path otherModel = data.path() / "other.qvimg";
    ImageOrigin other = kOrigin;
    other.identity.model = 0x8538;
    ASSERT_EQ(SaveImageFile(otherModel, sim::SimImage::Generate(2).data(), other), "");
    EXPECT_EQ(rig.program.Images().CheckImageForWrite(otherModel.string()).text,
              "Cannot write the image '" + otherModel.string() +
                  "': it was read from model 8538, the transceiver is model 8537.");
    for (const fs::path& refused : {shortFile, otherModel}) {
        rig.SentFrames();
        rig.form.messageBox.texts.clear();
        rig.program.Images().StartWrite(refused.string());
        EXPECT_EQ(rig.form.messageBox.texts.size(), 1u);
        rig.RunFor(2000);  // the adjusting cycle goes on; no write starts
        const std::vector<std::string> sent = rig.SentFrames();
        EXPECT_TRUE(std::none_of(sent.begin(), sent.end(), [](const std::string& f) {
            return f.rfind("E8", 0) != 0;
        })) << refused;
    }
}

}  // namespace
}  // namespace quorvane
