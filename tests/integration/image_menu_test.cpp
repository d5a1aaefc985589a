// The File menu's image items on the whole program over the in-process stand-in.
#include <gtest/gtest.h>

#include "image/image_file.h"
#include "rig/program_rig.h"
#include "support/temp_dir.h"

namespace quorvane {
namespace {

TEST(ImageMenu, ItemsFollowTheSessionSaveKeepsAdjustmentsAndANoSendsNothing) {
    test::TempDir dir;
    test::ProgramRig rig({}, sim::SimImage::Generate(1), dir.path().string());
    test::FakeMainForm& f = rig.form;
    frmMain& window = rig.program.MainWindow();
    rig.Period();
    EXPECT_FALSE(f.mnuFileSave.enabled || f.mnuFileWrite.enabled || !f.mnuFileOpen.enabled);
    ASSERT_TRUE(rig.Connect());
    ASSERT_TRUE(rig.Settle());
    EXPECT_TRUE(f.mnuFileSave.enabled && f.mnuFileWrite.enabled && !f.mnuFileOpen.enabled);

    f.lboConsole.listIndex = 8;  // "       SQL"
    window.lboConsole_KeyDown(vbKeyRight, 0);
    ASSERT_TRUE(rig.Settle());
    f.fileDialog.nextPath = dir.File("mine/radio.qvimg");
    window.mnuFileSave_Click();  // no such folder
    ASSERT_EQ(f.messageBox.texts.size(), 1u);
    EXPECT_EQ(f.messageBox.texts[0].substr(0, 23), "Cannot save the image '");
    std::filesystem::create_directory(dir.File("mine"));
    f.fileDialog.nextPath = dir.File("mine/radio.qvimg");
    window.mnuFileSave_Click();
    const ImageFileResult saved = LoadImageFile(dir.File("mine/radio.qvimg"));
    ASSERT_TRUE(saved.ok());
    EXPECT_EQ(saved->image[274], rig.program.Console().Value(8));
    EXPECT_EQ(f.fileDialog.folders,
              (std::vector<std::string>{dir.File("backups"), dir.File("mine")}));

    f.fileDialog.nextPath = dir.File("mine/radio.qvimg");
    rig.SentFrames();
    window.mnuFileWrite_Click();
    rig.RunFor(1000);
    ASSERT_EQ(f.confirmBox.texts.size(), 1u);
    for (const std::string& frame : rig.SentFrames()) {
        EXPECT_EQ(frame.substr(0, 3), "E8 ") << frame;
    }

    // Without a transceiver the file's dump, then Connect as ever.
    test::ProgramRig fresh;
    fresh.form.fileDialog.nextPath = dir.File("mine/radio.qvimg");
    fresh.program.MainWindow().mnuFileOpen_Click();
    fresh.Period();
    EXPECT_EQ(fresh.form.txtDispPara.text.find("POW HI Level:"), 16u);
    EXPECT_EQ(fresh.form.lblImageFile.caption.substr(0, 13), "radio.qvimg  ");
    EXPECT_TRUE(fresh.form.lblImageFile.visible && fresh.form.fra01[3].visible);
    EXPECT_FALSE(fresh.form.fra01[0].visible);
    ASSERT_TRUE(fresh.Connect());
    EXPECT_FALSE(fresh.form.lblImageFile.visible || fresh.form.fra01[3].visible);
}

}  // namespace
}  // namespace quorvane
