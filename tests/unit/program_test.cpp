#include <gtest/gtest.h>

#include <string>

#include "app/program.h"
#include "platform/host_system.h"
#include "rig/fake_controls.h"
#include "rig/fake_process_services.h"
#include "rig/fake_profile_file.h"
#include "rig/program_rig.h"
#include "rig/sim_rig.h"

namespace quorvane {
namespace {

// The settings file beside the program the fake process services place.
#ifdef _WIN32
constexpr char kFile[] = "C:\\Program Files\\Quorvane\\QUORVAADJ.rs";
#else
constexpr char kFile[] = "/opt/quorvane/QUORVAADJ.rs";
#endif

struct ProgramFixture : ::testing::Test {
    test::SimRig line;
    test::FakeProfileFile profile;
    test::FakeProcessServices process;
    test::FakeMainForm form;
    Platform platform{line.serial, line.clock, profile, process, form.controls};
};

TEST_F(ProgramFixture, FirstStartThenTheChosenOptionsPersist) {
    {
        Program program(platform);
        program.MainWindow().Form_Load();
        program.MainWindow().Form_Resize();
        EXPECT_EQ(program.Radio().radioNameM(), "8537");
        EXPECT_EQ(program.Radio().radionameS(), "0200");
        EXPECT_EQ(program.Radio().cloneWriteAdrList(), "0000-7FDF,");
        EXPECT_EQ(form.window.caption, "Quorvane ADJ Rev.2.0");
        EXPECT_EQ(form.lblTitle.caption,
                  "Quorvane ADJ Rev.2.0\r\nAdjust Utility for Tamskor\r\nService adjustment at the "
                  "bench");
        EXPECT_EQ(form.linSepa[1].y1, 15);
        EXPECT_EQ(form.lblComBusy.left, 120);
        EXPECT_EQ(profile.writes, 0);  // reading never writes
        program.Tick();
        EXPECT_EQ(form.lblComBusy.caption, "COM 1: CLOSE");
        EXPECT_EQ(form.lblComBusy.color, SystemColor::GrayText);
        EXPECT_TRUE(form.mnuOptSelCom[1].checked);
        EXPECT_TRUE(form.mnuOptionSelAutoRelease[0].checked);
        EXPECT_FALSE(line.serial.PortOpen());

        program.MainWindow().mnuOptSelCom_Click(4);
        program.MainWindow().mnuOptionSelAutoRelease_Click(5);
        program.Tick();
        EXPECT_FALSE(form.mnuOptSelCom[1].checked);
        EXPECT_TRUE(form.mnuOptSelCom[4].checked);
        EXPECT_FALSE(form.mnuOptionSelAutoRelease[0].checked);
        EXPECT_TRUE(form.mnuOptionSelAutoRelease[5].checked);
        EXPECT_EQ(form.lblComBusy.caption, "COM 4: CLOSE");
        program.MainWindow().Form_QueryUnload();
        EXPECT_FALSE(program.Com().timSolidEnabled());
    }
    EXPECT_EQ(profile.Get(kFile, "OPTION", "ComPort"), "4");
    EXPECT_EQ(profile.Get(kFile, "OPTION", "ComAutoRelease"), "5");
    Program again(platform);
    EXPECT_EQ(again.MainWindow().ComPortNo(), 4);
    EXPECT_EQ(again.Sequence().ComPortNo(), 4);
    EXPECT_EQ(again.Sequence().comHoldReload(), 5000);
}

TEST_F(ProgramFixture, StoredOptionsThatCannotBeUsed) {
    struct Case {
        const char* port;
        const char* release;
        Int16 portNo, seconds, holdMs;
    };
    // A value that cannot be read keeps the one read before it (the port's, for the release
    // time); a release time beyond 32 s would overflow its milliseconds and is refused.
    for (const Case& c : {Case{"x", "y", 0, 0, 0}, Case{"3", "y", 3, 3, 3000},
                          Case{"2", "32", 2, 32, 32000}, Case{"2", "33", 2, 2, 2000},
                          Case{"2", "-32", 2, -32, -32000}, Case{"99", "y", 99, 0, 0}}) {
        SCOPED_TRACE(std::string(c.port) + " " + c.release);
        profile.Set(kFile, "OPTION", "ComPort", c.port);
        profile.Set(kFile, "OPTION", "ComAutoRelease", c.release);
        Program program(platform);
        EXPECT_EQ(program.MainWindow().ComPortNo(), c.portNo);
        EXPECT_EQ(program.MainWindow().ComAutoRelease(), c.seconds);
        EXPECT_EQ(program.Sequence().comHoldReload(), c.holdMs);
    }
}

TEST_F(ProgramFixture, ASettingsDirectoryOtherThanTheProgramsIsTheOneUsed) {
#ifdef _WIN32
    const std::string directory = "C:\\Users\\tech\\AppData\\Local\\quorvane-adj";
    const std::string file = directory + "\\QUORVAADJ.rs";
#else
    const std::string directory = "/home/tech/.config/quorvane-adj";
    const std::string file = directory + "/QUORVAADJ.rs";
#endif
    profile.Set(file, "OPTION", "ComPort", "2");
    profile.Set(kFile, "OPTION", "ComPort", "4");
    platform.settingsDirectory = directory;
    Program program(platform);
    EXPECT_EQ(program.MainWindow().ComPortNo(), 2);
    program.MainWindow().mnuOptSelCom_Click(3);
    program.MainWindow().Form_QueryUnload();
    EXPECT_EQ(profile.Get(file, "OPTION", "ComPort"), "3");
    EXPECT_EQ(profile.Get(kFile, "OPTION", "ComPort"), "4");
}

TEST_F(ProgramFixture, ItemKeysAndTheHiddenSequence) {
    Program program(platform);
    frmMain& main = program.MainWindow();
    int tickRequests = 0;  // a handled key or a button runs the next tick at once
    main.onTickRequest([&] { ++tickRequests; });
    main.lboConsole_GotFocus();  // focus selects the first line
    EXPECT_EQ(form.lboConsole.listIndex, 0);
    form.lboConsole.listIndex = 8;  // "       SQL"
    EXPECT_TRUE(main.lboConsole_KeyDown(vbKeyRight, 0));
    EXPECT_TRUE(main.lboConsole_KeyDown(vbKeyRight, vbShiftMask | vbCtrlMask));
    EXPECT_TRUE(main.lboConsole_KeyDown(vbKeyLeft, vbCtrlMask));
    EXPECT_EQ(program.Console().Value(8), 5);
    EXPECT_FALSE(main.lboConsole_KeyDown(40, 0));  // Down belongs to the list
    EXPECT_TRUE(main.lboConsole_KeyDown(vbKeySeparator, 0));
    EXPECT_TRUE(program.Console().flgEnterOn(8));
    form.lboConsole.listIndex = -1;
    EXPECT_TRUE(main.lboConsole_KeyDown(vbKeyRight, 0));  // nothing selected: no error
    EXPECT_TRUE(form.messageBox.texts.empty());
    EXPECT_EQ(tickRequests, 5);
    main.Form_KeyDown(vbKeyF5, 0);
    main.cmd00_Click(2);
    EXPECT_EQ(tickRequests, 7);

    for (char c : std::string("xquorvane tea")) {
        main.cmd00_KeyPress(0, c);
    }
    EXPECT_EQ(form.window.caption, "");
    main.cmd00_KeyPress(0, 'M');
    EXPECT_EQ(form.window.caption, "Bench crew, 2026");
}

TEST_F(ProgramFixture, SecondInstanceIsRefusedBeforeAnythingIsRead) {
    process.anotherRunning = true;
    EXPECT_FALSE(ClaimSingleInstance(process, form.messageBox));
    ASSERT_EQ(form.messageBox.texts.size(), 1u);
    EXPECT_EQ(form.messageBox.texts[0],
              "Cannot execute Quorvane ADJ Rev.2.0 repeatedly.\r\nQuorvane ADJ Rev.2.0 is already "
              "executing.");
    EXPECT_EQ(form.messageBox.titles[0], "Quorvane ADJ Rev.2.0");
    EXPECT_EQ(profile.reads, 0);
    process.anotherRunning = false;
    EXPECT_TRUE(ClaimSingleInstance(process, form.messageBox));
}

TEST(SerialDeviceChoice, AChoiceTheSettingsFileCannotKeepIsSaidAndTheDeviceInUseStays) {
    test::ProgramRig rig;
    ASSERT_TRUE(rig.Connect());
    ASSERT_TRUE(rig.Settle());
    rig.profile.failWrites = true;
    rig.profile.failReason = "Permission denied";
    rig.program.ChooseComPortDevice(1, "/dev/serial/by-id/usb-Tamskor_T1-if00-port0");
    const std::string device = kThisSystem == HostSystem::Windows ? "COM1" : "/dev/ttyS0";
    EXPECT_EQ(rig.form.messageBox.texts,
              std::vector<std::string>{"Cannot store the serial device of COM 1 in the settings "
                                       "file '" +
                                       std::string(kFile) +
                                       "': Permission denied.\nCOM 1 still opens " + device + "."});
    EXPECT_TRUE(rig.program.Com().comOpen());  // still connected, on the same device
    EXPECT_TRUE(rig.Settle());

    rig.profile.failWrites = false;
    rig.program.ChooseComPortDevice(1, "/dev/serial/by-id/usb-Tamskor_T1-if00-port0");
    EXPECT_EQ(rig.form.messageBox.texts.size(), 1u);
    EXPECT_EQ(rig.profile.Get(kFile, "PORTS", "COM1"),
              "/dev/serial/by-id/usb-Tamskor_T1-if00-port0");
    // Another device: the adjustment is reset and the port closed.
    EXPECT_FALSE(rig.program.Com().comOpen());
    EXPECT_EQ(rig.program.Operations().stepNo(), 0);
}

}  // namespace
}  // namespace quorvane
