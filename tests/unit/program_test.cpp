#include <gtest/gtest.h>

#include "app/program.h"
#include "support/fake_controls.h"
#include "support/fake_process_services.h"
#include "support/fake_profile_file.h"
#include "support/fake_serial_control.h"
#include "support/manual_clock.h"

namespace quorvane {
namespace {

constexpr char kFile[] = "/opt/quorvane/QUORVAADJ.rs";

struct ProgramFixture : ::testing::Test {
    test::ManualClock clock{5000};
    test::FakeSerialControl serial;
    test::FakeProfileFile profile;
    test::FakeProcessServices process;
    test::FakeMainForm form;
    Platform platform{serial, clock, profile, process, form.controls};
};

TEST_F(ProgramFixture, FirstStartDefaultsAndTheWindowBeforeAnyOperation) {
    Program program(platform);
    EXPECT_EQ(program.Radio().radioNameM(), "8537");
    EXPECT_EQ(program.Radio().radionameS(), "0200");
    EXPECT_EQ(program.Radio().cloneWriteAdrList(), "0000-7FDF,");
    EXPECT_EQ(program.MainWindow().ComPortNo(), 1);
    EXPECT_EQ(program.MainWindow().ComAutoRelease(), 0);
    EXPECT_FALSE(program.Com().comOpen());
    EXPECT_EQ(form.lboConsole.lines.size(), 18u);
    EXPECT_EQ(form.cmd00[0].caption, "Connect");
    EXPECT_EQ(profile.writes, 0);  // reading never writes

    program.Tick();
    EXPECT_EQ(form.lblComBusy.caption, "COM 1: CLOSE");
    EXPECT_EQ(form.lblComBusy.color, SystemColor::GrayText);
    EXPECT_TRUE(form.mnuOptSelCom[1].checked);
    EXPECT_FALSE(form.mnuOptSelCom[2].checked);
    EXPECT_TRUE(form.mnuOptionSelAutoRelease[0].checked);
    EXPECT_EQ(serial.opens, 0);

    program.MainWindow().Form_QueryUnload();
    EXPECT_EQ(profile.Get(kFile, "OPTION", "ComPort"), "1");
    EXPECT_EQ(profile.Get(kFile, "OPTION", "ComAutoRelease"), "0");
    EXPECT_FALSE(program.Com().timSolidEnabled());
}

TEST_F(ProgramFixture, StoredOptionsAndTheirRefusals) {
    profile.Set(kFile, "OPTION", "ComPort", "3");
    profile.Set(kFile, "OPTION", "ComAutoRelease", "2");
    {
        Program program(platform);
        EXPECT_EQ(program.MainWindow().ComPortNo(), 3);
        EXPECT_EQ(program.Sequence().ComPortNo(), 3);
        EXPECT_EQ(program.Sequence().comHoldReload(), 2000);
        program.Tick();
        EXPECT_EQ(form.lblComBusy.caption, "COM 3: CLOSE");
        EXPECT_TRUE(form.mnuOptionSelAutoRelease[2].checked);
    }
    // A bad port gives 0 and checks no menu item; a bad release time keeps the port's value,
    // which, beyond 32 s, is refused instead of overflowing.
    profile.Set(kFile, "OPTION", "ComPort", "x");
    profile.Set(kFile, "OPTION", "ComAutoRelease", "y");
    {
        Program program(platform);
        EXPECT_EQ(program.MainWindow().ComPortNo(), 0);
        EXPECT_EQ(program.MainWindow().ComAutoRelease(), 0);
        program.Tick();
        for (int i = 1; i <= 4; ++i) {
            EXPECT_FALSE(form.mnuOptSelCom[i].checked);
        }
    }
    profile.Set(kFile, "OPTION", "ComPort", "99");
    {
        Program program(platform);
        EXPECT_EQ(program.MainWindow().ComPortNo(), 99);
        EXPECT_EQ(program.MainWindow().ComAutoRelease(), 0);
        EXPECT_EQ(program.Sequence().comHoldReload(), 0);
    }
}

TEST_F(ProgramFixture, ASettingsDirectoryOtherThanTheProgramsIsUsedForReadsAndWrites) {
    const std::string file = "/home/tech/.config/quorvane-adj/QUORVAADJ.rs";
    profile.Set(file, "OPTION", "ComPort", "2");
    profile.Set(kFile, "OPTION", "ComPort", "4");  // beside the program: not this run's file
    platform.settingsDirectory = "/home/tech/.config/quorvane-adj";
    Program program(platform);
    EXPECT_EQ(program.Profile().GetMyProfile(), file);
    EXPECT_EQ(program.MainWindow().ComPortNo(), 2);
    program.MainWindow().mnuOptSelCom_Click(3);
    program.MainWindow().Form_QueryUnload();
    EXPECT_EQ(profile.Get(file, "OPTION", "ComPort"), "3");
    EXPECT_EQ(profile.Get(kFile, "OPTION", "ComPort"), "4");
}

TEST_F(ProgramFixture, MenusKeysAndTheHiddenSequence) {
    Program program(platform);
    frmMain& main = program.MainWindow();
    main.mnuOptSelCom_Click(3);
    main.mnuOptionSelAutoRelease_Click(2);
    program.Tick();
    EXPECT_TRUE(form.mnuOptSelCom[3].checked);
    EXPECT_FALSE(form.mnuOptSelCom[1].checked);
    EXPECT_EQ(form.lblComBusy.caption, "COM 3: CLOSE");
    EXPECT_EQ(program.Sequence().comHoldReload(), 2000);

    // Focus selects the first line; arrows step the selected item, Shift by five.
    main.lboConsole_GotFocus();
    EXPECT_EQ(form.lboConsole.listIndex, 0);
    form.lboConsole.listIndex = 8;  // "       SQL"
    EXPECT_TRUE(main.lboConsole_KeyDown(vbKeyRight, 0));
    EXPECT_EQ(program.Console().Value(8), 1);
    EXPECT_TRUE(main.lboConsole_KeyDown(vbKeyRight, vbShiftMask | vbCtrlMask));
    EXPECT_EQ(program.Console().Value(8), 6);
    EXPECT_TRUE(main.lboConsole_KeyDown(vbKeyLeft, vbCtrlMask));
    EXPECT_EQ(program.Console().Value(8), 5);
    EXPECT_FALSE(main.lboConsole_KeyDown(40, 0));  // Down belongs to the list
    EXPECT_TRUE(main.lboConsole_KeyDown(vbKeySeparator, 0));
    EXPECT_TRUE(program.Console().flgEnterOn(8));
    form.lboConsole.listIndex = -1;
    EXPECT_TRUE(main.lboConsole_KeyDown(vbKeyRight, 0));  // nothing selected: no error

    for (char c : std::string("quorvane team")) {
        main.cmd00_KeyPress(0, c);
    }
    EXPECT_EQ(form.window.caption, "Bench crew, 2026");
}

TEST_F(ProgramFixture, SecondInstanceIsRefusedBeforeAnythingIsCreated) {
    process.anotherRunning = true;
    EXPECT_FALSE(ClaimSingleInstance(process, form.messageBox));
    ASSERT_EQ(form.messageBox.texts.size(), 1u);
    EXPECT_EQ(form.messageBox.texts[0],
              "Cannot execute Quorvane ADJ Rev.2.0 repeatedly.\r\nQuorvane ADJ Rev.2.0 is already "
              "executing.");
    EXPECT_EQ(form.messageBox.titles[0], "Quorvane ADJ Rev.2.0");
    EXPECT_EQ(profile.reads + profile.writes, 0);
    process.anotherRunning = false;
    EXPECT_TRUE(ClaimSingleInstance(process, form.messageBox));
}

TEST_F(ProgramFixture, AFailedOpenIsReportedOnceAndConnectCanBeRetried) {
    serial.failOpen = true;
    Program program(platform);
    program.MainWindow().cmd00_Click(0);
    for (int i = 0; i < 5; ++i) {
        clock.Advance(50);
        program.Tick();
    }
    ASSERT_EQ(form.messageBox.texts.size(), 1u);
    EXPECT_EQ(form.messageBox.texts[0].substr(0, 20), "Cannot access COM 1.");
    EXPECT_EQ(program.Operations().stepNo(), 0);
    EXPECT_FALSE(program.Com().comOpen());
    EXPECT_FALSE(program.Com().errCannotOpen());
}

}  // namespace
}  // namespace quorvane
