#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>

#include "app/error_report.h"
#include "eeprom/eeprom_map.h"
#include "platform/text.h"
#include "rig/program_rig.h"

namespace quorvane {
namespace {

std::string E8(int sub, int value) {
    char buf[48];
    std::snprintf(buf, sizeof buf, "E8 sub %02X value 0x%02X", sub, value);
    return buf;
}

std::string Readout(int selector) {
    char buf[48];
    std::snprintf(buf, sizeof buf, "E8 sub 03 readout selector %d", selector);
    return buf;
}

// The frames' decoded lines, each cut to the length of the expected one.
std::vector<std::string> Cut(const std::vector<std::string>& frames,
                             const std::vector<std::string>& like) {
    std::vector<std::string> out;
    for (std::size_t i = 0; i < frames.size(); ++i) {
        out.push_back(i < like.size() ? frames[i].substr(0, like[i].size()) : frames[i]);
    }
    return out;
}

enum Item : Int16 {
    kChNo = 0,
    kPowerHi = 1,
    kBal = 4,
    kModN = 5,
    kModRatio = 6,
    kSql = 8,
    kBpfAll = 10,
    kBpfT1 = 11,
    kBpfT2 = 12,
    kRxLva = 13,
    kLvRxLva = 15,
    kRssi = 17
};

class AdjustSession : public ::testing::Test {
  protected:
    Int16 Value(Int16 item) { return rig.program.Console().Value(item); }
    std::string Line(Int16 item) { return rig.form.lboConsole.lines.at(item); }
    int Byte(Int32 adr) { return rig.program.Radio().eepImage().ReadByte(adr); }
    void Key(Int16 item, Int16 keyCode, Int16 shift = 0) {
        rig.form.lboConsole.listIndex = item;
        rig.program.MainWindow().lboConsole_KeyDown(keyCode, shift);
    }
    void ConnectAndSettle() {
        ASSERT_TRUE(rig.Connect());
        ASSERT_TRUE(rig.Settle());
        rig.SentFrames();
    }

    test::ProgramRig rig;
};

TEST_F(AdjustSession, ConnectReadsSendsEveryItemAndTakesTheFirstReadings) {
    const auto started = std::chrono::steady_clock::now();
    const sim::SimImage& image = rig.sim.transceiver.Image();
    ASSERT_TRUE(rig.Connect());
    EXPECT_EQ(rig.program.Radio().eepImage().data(), image.data());
    EXPECT_TRUE(rig.form.fra01[1].visible);
    EXPECT_FALSE(rig.form.fra01[0].visible);
    EXPECT_GE(rig.form.lboConsole.focusCount, 1);

    ASSERT_TRUE(rig.Settle());
    const bool mid = image.Mid();
    const int modN = image.Byte(eepmap::kModNLevel);
    const int modW = image.Byte(mid ? eepmap::kModWLevelMid : eepmap::kModWLevel);
    const int modWRatio = clsIndOp_RigTamsk::Ratio(image.Byte(eepmap::kModWLevelMid), modN);
    const int ratio = clsIndOp_RigTamsk::Ratio(modW, modN);
    std::vector<std::string> expected = {
        "E0 identify model 8537",
        "E2 clone read model 8537 sub 0200",
        Readout(0),
        Readout(3),
        Readout(5),
        Readout(4),
        Readout(0),
        E8(0x02, 0x01),
        "E8 sub 00 channel 1",
        E8(0x09, image.Byte(130)),
        E8(0x0A, image.Byte(129)),
        E8(0x0B, image.Byte(128)),
        E8(0x11, image.Byte(74)),
        E8(0x0D, modN),
        E8(0x0E, clsIndOp_RigTamsk::Level(modN, modWRatio)),
        E8(0x0D, modN),
        E8(mid ? 0x0E : 0x0C, clsIndOp_RigTamsk::Level(modN, ratio)),
        E8(0x0F, image.Byte(51)),
        E8(0x08, image.Byte(274)),
        E8(0x05, image.Byte(135)),
        E8(0x13, image.Byte(52)),
        E8(0x14, image.Byte(53)),
        E8(0x06, image.Byte(60)),
        E8(0x07, image.Byte(61)),
    };
    // The first adjusting cycle reads every converter.
    for (int s : {0, 3, 5, 4, 0, 16, 17, 18, 19, 12, 13, 14, 11, 15}) {
        expected.push_back(Readout(s));
    }
    const auto frames = rig.SentFrames();
    EXPECT_EQ(Cut(frames, expected), expected);

    // The lists show the image and the readings.
    EXPECT_EQ(Line(kPowerHi).substr(0, 15),
              " Power(Hi):" + RightAlign(std::to_string(image.Byte(130)), 4));
    EXPECT_EQ(rig.form.lbo01[0].lines.at(1), "VIN  :189:BDh:  7.41V");
    EXPECT_EQ(rig.form.lbo01[0].lines.at(2), "TEMPS:174:AEh: 25.21'C");
    EXPECT_EQ(rig.form.lbo01[0].lines.at(5), "");
    EXPECT_EQ(rig.form.lbo01[1].lines.at(1).substr(0, 8), "BPF T1 :");
    EXPECT_EQ(rig.form.lblProgress.caption, std::string(32, 'o'));
    EXPECT_TRUE(rig.form.messageBox.texts.empty());
    const auto wall = std::chrono::steady_clock::now() - started;
    std::printf("connect, read and first cycle: %lld ms of wall time\n",
                static_cast<long long>(
                    std::chrono::duration_cast<std::chrono::milliseconds>(wall).count()));
}

TEST_F(AdjustSession, KeyStepsGoOutOnTheNextTickAndWaitTheirSettlingTime) {
    ConnectAndSettle();
    const Int16 before = Value(kPowerHi);
    Key(kPowerHi, vbKeyRight);
    rig.sim.Advance(20);
    EXPECT_TRUE(rig.SentFrames().empty());  // deferred to the tick
    rig.program.Tick();
    rig.sim.Advance(20);  // the frame's wire time
    auto frames = rig.SentFrames();
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0].substr(0, 20), E8(0x09, before + 1));
    EXPECT_EQ(Byte(eepmap::kPowHiLevel), before + 1);
    EXPECT_EQ(rig.sim.transceiver.Image().Byte(eepmap::kPowHiLevel), before + 1);

    // The next change waits out the 200 ms after the first.
    const Int16 sql = Value(kSql);
    Key(kSql, vbKeyRight, vbShiftMask);
    int periods = 0;
    while (rig.SentFrames().empty() && periods < 20) {
        rig.Period();
        ++periods;
    }
    EXPECT_GE(periods * 50, 200);
    EXPECT_LE(periods * 50, 300);
    EXPECT_EQ(Value(kSql), std::min(sql + 5, 255));
}

TEST_F(AdjustSession, AKeyAsksForATickThatSendsItsStepAtOnceYetWaitsStayOnTheirClock) {
    ConnectAndSettle();
    int requests = 0;
    rig.program.MainWindow().onTickRequest([&] { ++requests; });

    // The window's owner runs the requested tick when the key event is done, with no time
    // passed: the step is on the line one frame's wire time (13 bytes at 9600 baud) later.
    const Int16 before = Value(kPowerHi);
    Key(kPowerHi, vbKeyRight);
    EXPECT_EQ(requests, 1);
    rig.program.Tick();
    rig.sim.Advance(14);
    auto frames = rig.SentFrames();
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0].substr(0, 20), E8(0x09, before + 1));

    // A second key inside the 200 ms settling time gets its tick too, but the step waits.
    Key(kPowerHi, vbKeyRight);
    EXPECT_EQ(requests, 2);
    rig.program.Tick();
    rig.sim.Advance(14);
    EXPECT_TRUE(rig.SentFrames().empty());
    rig.sim.Advance(150);
    rig.program.Tick();
    rig.sim.Advance(14);
    EXPECT_TRUE(rig.SentFrames().empty());  // 178 ms after the first step
    rig.sim.Advance(30);
    rig.program.Tick();
    rig.sim.Advance(14);
    frames = rig.SentFrames();
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0].substr(0, 20), E8(0x09, before + 2));

    // Keys the list keeps for itself change nothing and ask for nothing; a click does ask.
    Key(kPowerHi, 38);  // the up arrow
    EXPECT_EQ(requests, 2);
    rig.program.MainWindow().cmd00_Click(1);
    EXPECT_EQ(requests, 3);
}

TEST_F(AdjustSession, ASettlingWaitAsksForATickWhenItRunsOut) {
    ConnectAndSettle();
    std::vector<Int32> wakes;
    rig.program.Operations().wakeRequest([&](Int32 ms) { wakes.push_back(ms); });

    // The step goes out on the tick; the echo's tick loads the wait and asks to be woken.
    const Int16 before = Value(kPowerHi);
    Key(kPowerHi, vbKeyRight);
    rig.program.Tick();
    rig.sim.Advance(14);
    ASSERT_EQ(rig.SentFrames().size(), 1u);
    ASSERT_EQ(wakes, (std::vector<Int32>{201}));

    // A second step waits; the tick asked for finds the wait over and sends it at once.
    Key(kPowerHi, vbKeyRight);
    rig.sim.Advance(199);
    rig.program.Tick();
    EXPECT_TRUE(rig.SentFrames().empty());
    rig.sim.Advance(2);
    rig.program.Tick();
    rig.sim.Advance(14);
    const auto frames = rig.SentFrames();
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0].substr(0, 20), E8(0x09, before + 2));
}

TEST_F(AdjustSession, ModNCarriesBothWLevelsAndBalIsCopied) {
    rig.sim.transceiver.Image().Byte(eepmap::kBalWLevelMid, 1);  // a W copy out of step
    ConnectAndSettle();
    const sim::SimImage& image = rig.sim.transceiver.Image();
    EXPECT_EQ(image.Byte(eepmap::kBalWLevelMid), Value(kBal));
    EXPECT_EQ(image.Byte(eepmap::kBalWLevel), Value(kBal));

    Key(kModN, vbKeyLeft);
    ASSERT_TRUE(rig.Settle());
    const int modN = Value(kModN);
    const auto frames = rig.SentFrames();
    ASSERT_EQ(frames.size(), 4u);
    EXPECT_EQ(frames[0].substr(0, 20), E8(0x0D, modN));
    EXPECT_EQ(frames[2].substr(0, 20), E8(0x0D, modN));
    EXPECT_EQ(frames[1].substr(0, 11), "E8 sub 0E v");
    EXPECT_EQ(frames[3].substr(0, 11),
              rig.program.Operations().flgMid() ? "E8 sub 0E v" : "E8 sub 0C v");
    EXPECT_EQ(Byte(eepmap::kModNLevel), modN);

    Key(kModRatio, vbKeyRight);
    ASSERT_TRUE(rig.Settle());
    EXPECT_EQ(rig.SentFrames().size(), 1u);  // only the selected level
}

TEST_F(AdjustSession, FilterSweepsEndOnThePlateau) {
    ConnectAndSettle();
    rig.program.Console().EnterPushed(kBpfT1);
    ASSERT_TRUE(rig.RunUntil([&] { return rig.form.beeper.beeps == 1; }, 120000));
    ASSERT_TRUE(rig.Settle());
    EXPECT_EQ(Value(kBpfT1), 90);
    EXPECT_EQ(rig.sim.transceiver.Image().Byte(eepmap::kBpfT1Level), 90);
    EXPECT_EQ(rig.program.Console().WaitAfterE8(kBpfT1), 200);
    EXPECT_NE(Line(kBpfT1).find(" [Enter] to Sweep"), std::string::npos);

    rig.program.Console().EnterPushed(kBpfAll);
    rig.RunFor(300);
    EXPECT_EQ(Line(kBpfAll), "   BPF ALL: Sweeping");
    ASSERT_TRUE(rig.RunUntil([&] { return rig.form.beeper.beeps == 2; }, 120000));
    ASSERT_TRUE(rig.Settle());
    EXPECT_EQ(Value(kBpfT1), 90);
    EXPECT_EQ(Value(kBpfT2), 60);
    EXPECT_EQ(Line(kBpfAll), "   BPF ALL: [Enter] to Sweep");
}

TEST_F(AdjustSession, LvaAdjustmentFindsTheTargetOrReportsFailure) {
    rig.sim.transceiver.Image().Byte(eepmap::kLvRxLva, 100);
    ConnectAndSettle();
    ASSERT_EQ(Value(kLvRxLva), 100);
    rig.program.Console().EnterPushed(kRxLva);
    ASSERT_TRUE(rig.RunUntil([&] { return rig.form.beeper.beeps == 1; }, 60000));
    ASSERT_TRUE(rig.Settle());
    EXPECT_EQ(Value(kRxLva), 114);  // LVIN 20 + 114 x 180 / 255 = 100
    EXPECT_EQ(rig.sim.transceiver.Image().Byte(eepmap::kRxLvaLevel), 114);
    EXPECT_FALSE(rig.program.Operations().lvaFailed(0));
    EXPECT_EQ(Line(kRxLva).find("Failed"), std::string::npos);

    // A target below the lowest reading cannot be reached: the old value comes back.
    for (int i = 0; i < 19; ++i) {
        Key(kLvRxLva, vbKeyLeft, vbShiftMask);
    }
    ASSERT_EQ(Value(kLvRxLva), 5);
    ASSERT_TRUE(rig.Settle());
    rig.program.Console().EnterPushed(kRxLva);
    ASSERT_TRUE(rig.RunUntil([&] { return rig.form.beeper.beeps == 2; }, 60000));
    ASSERT_TRUE(rig.Settle());
    EXPECT_EQ(Value(kRxLva), 114);
    EXPECT_TRUE(rig.program.Operations().lvaFailed(0));
    EXPECT_NE(Line(kRxLva).find(" [Enter] to Sweep (Auto Adjust Failed)"), std::string::npos);
}

TEST_F(AdjustSession, RssiCaptureStoresBothLevels) {
    ConnectAndSettle();
    const int sd = rig.sim.transceiver.Readout(4);
    rig.program.Console().EnterPushed(kRssi);
    rig.RunFor(500);
    EXPECT_EQ(Line(kRssi), "      RSSI: RSSI S3 Level ");
    rig.program.Console().EnterPushed(kRssi);  // capture S3
    ASSERT_TRUE(rig.RunUntil([&] { return Line(kRssi) == "      RSSI: RSSI S1 Level "; }, 5000));
    rig.RunFor(500);
    rig.program.Console().EnterPushed(kRssi);  // capture S1, end
    ASSERT_TRUE(rig.RunUntil([&] { return rig.form.beeper.beeps == 1; }, 5000));
    rig.RunFor(100);  // the last level's frame on the wire
    EXPECT_EQ(Line(kRssi), "      RSSI: [Enter] to Start");
    EXPECT_EQ(Byte(eepmap::kRssiS3Level), sd);
    EXPECT_EQ(Byte(eepmap::kRssiS1Level), sd);
    EXPECT_EQ(rig.sim.transceiver.Image().Byte(eepmap::kRssiS3Level), sd);
    EXPECT_EQ(rig.sim.transceiver.Image().Byte(eepmap::kRssiS1Level), sd);
}

TEST_F(AdjustSession, ReloadAndParameterDump) {
    ConnectAndSettle();
    rig.RunFor(1000);
    EXPECT_TRUE(rig.SentFrames().empty());  // idle cycles read nothing

    rig.program.MainWindow().Form_KeyDown(vbKeyF5, 0);
    ASSERT_TRUE(rig.Settle());
    EXPECT_EQ(rig.SentFrames().size(), 14u);

    rig.program.MainWindow().cmd00_Click(2);
    rig.RunFor(200);
    EXPECT_EQ(rig.program.Operations().stepNo(), 29);
    EXPECT_TRUE(rig.form.fra01[3].visible);
    EXPECT_FALSE(rig.form.fra01[1].visible);
    EXPECT_FALSE(rig.form.cmd00[1].enabled);
    EXPECT_FALSE(rig.form.cmd00[0].enabled);
    EXPECT_TRUE(rig.form.cmd00[2].isDefault);
    EXPECT_EQ(rig.form.txtDispPara.text, rig.program.Operations().objIndEep().ParameterDumpText());
    rig.program.MainWindow().cmd00_Click(2);
    rig.RunFor(200);
    EXPECT_TRUE(rig.program.Operations().RigTamskProp_EditEnabled());
    EXPECT_TRUE(rig.form.fra01[1].visible);
    EXPECT_FALSE(rig.form.fra01[3].visible);
    EXPECT_GE(rig.form.cmd00[2].focusCount, 1);
}

TEST_F(AdjustSession, ChannelItemSelectsMemoryChannels) {
    ConnectAndSettle();
    const Int16 channels = rig.program.Operations().chListCount();
    ASSERT_GT(channels, 1);
    EXPECT_EQ(rig.program.Console().Max(kChNo), channels - 1);
    Key(kChNo, vbKeyRight);
    ASSERT_TRUE(rig.Settle());
    EXPECT_EQ(rig.sim.transceiver.SelectedChannel(), rig.program.Operations().chList(1) + 1);
    Key(kChNo, vbKeyLeft);
    Key(kChNo, vbKeyLeft);  // wraps to the last channel
    ASSERT_TRUE(rig.Settle());
    EXPECT_EQ(Value(kChNo), channels - 1);
    EXPECT_EQ(rig.sim.transceiver.SelectedChannel(),
              rig.program.Operations().chList(static_cast<Int16>(channels - 1)) + 1);
}

struct FaultCase {
    const char* fault;
    std::string message;
};

const std::string kTail =
    "\r\n\r\nCheck the following:\r\n- The COM port settings.\r\n- Cloning cable "
    "connections.\r\n- Transceiver power is ON.";

class TransceiverFaults : public ::testing::TestWithParam<FaultCase> {};

TEST_P(TransceiverFaults, EndInTheirMessageAndACleanReset) {
    sim::TamskorConfig config;
    ASSERT_FALSE(config.faults.Parse(GetParam().fault).has_value());
    test::ProgramRig rig(config);
    rig.program.MainWindow().cmd00_Click(0);
    ASSERT_TRUE(rig.RunUntil([&] { return !rig.form.messageBox.texts.empty(); }, 150000));
    rig.RunFor(2000);
    ASSERT_EQ(rig.form.messageBox.texts.size(), 1u);
    EXPECT_EQ(rig.form.messageBox.texts[0], GetParam().message);
    EXPECT_FALSE(rig.program.Com().comOpen());
    EXPECT_EQ(rig.program.Operations().stepNo(), 0);
    EXPECT_EQ(rig.form.lboConsole.lines.size(), 18u);
    EXPECT_TRUE(rig.form.fra01[0].visible);

    rig.Replug({});
    ASSERT_TRUE(rig.Connect());
    ASSERT_TRUE(rig.Settle());
    EXPECT_EQ(rig.form.messageBox.texts.size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(
    Stand_in, TransceiverFaults,
    ::testing::Values(
        FaultCase{"no-echo", "Cannot access COM port" + kTail},
        FaultCase{"no-answer", "No answer from transceiver." + kTail},
        FaultCase{"late-answer", "No answer from transceiver." + kTail},
        FaultCase{"hang-up:3", "No answer from transceiver." + kTail},
        FaultCase{"wrong-model", "Cannot Clone." + kTail},
        FaultCase{"refused-sub", "Version number does not match\r\nfor this transceiver."},
        FaultCase{"unfit-revision",
                  "Connected transceiver is not compatible model.\r\n\r\nCheck the "
                  "following:\r\n- Appropriate cloning software for the transceiver is being "
                  "used.\r\n- The revision number of the transceiver."},
        FaultCase{"bad-checksum:2", "Illegal data." + kTail},
        FaultCase{"dropped-bytes:1", "Illegal data." + kTail},
        FaultCase{"wrong-count", "Data counter error." + kTail},
        FaultCase{"foreign-readout",
                  "Communication failed.\r\n\r\nCheck the following:\r\n- Cloning cable "
                  "connections.\r\n- Transceiver power is ON."}),
    [](const auto& param) {
        std::string name = param.param.fault;
        for (char& c : name) {
            if (!std::isalnum(static_cast<unsigned char>(c))) {
                c = '_';
            }
        }
        return name;
    });

TEST(AdjustSessionFaults, GarbageBetweenFramesIsHarmless) {
    sim::TamskorConfig config;
    ASSERT_FALSE(config.faults.Parse("garbage").has_value());
    test::ProgramRig rig(config);
    ASSERT_TRUE(rig.Connect());
    ASSERT_TRUE(rig.Settle());
    EXPECT_TRUE(rig.form.messageBox.texts.empty());
    EXPECT_EQ(rig.program.Radio().eepImage().data(), rig.sim.transceiver.Image().data());
}

TEST(AdjustSessionFaults, MissingPortIsReportedAndConnectWorksWhenItIsBack) {
    test::ProgramRig rig;
    rig.sim.serial.DeviceAbsent(true);
    rig.program.MainWindow().cmd00_Click(0);
    rig.RunFor(500);
    ASSERT_EQ(rig.form.messageBox.texts.size(), 1u);
    EXPECT_EQ(rig.form.messageBox.texts[0], "Cannot access COM 1." + kTail);
    rig.sim.serial.DeviceAbsent(false);
    ASSERT_TRUE(rig.Connect());
    EXPECT_EQ(rig.form.messageBox.texts.size(), 1u);
}

}  // namespace
}  // namespace quorvane
