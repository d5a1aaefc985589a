// The adjusting work of the whole program over the in-process stand-in: what goes over the
// wire and what the window shows, for an image whose levels are all known.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <numeric>
#include <set>

#include "rig/known_image.h"
#include "rig/program_rig.h"

namespace quorvane {
namespace {

// Item indices.
constexpr Int16 kChNo = 0, kPowerL2 = 2, kBal = 4, kModN = 5, kModRatio = 6, kSql = 8, kBpfAll = 10,
                kBpfT1 = 11, kBpfT2 = 12, kRxLva = 13, kTxLva = 14, kLvRxLva = 15, kRssi = 17;

using test::KnownImage;

class AdjustSession : public ::testing::Test {
  protected:
    clsConsole& Console() { return rig.program.Console(); }
    Int16 Value(Int16 item) { return Console().Value(item); }
    std::string Line(Int16 item) { return rig.form.lboConsole.lines.at(item); }
    int Byte(Int32 adr) { return rig.program.Radio().eepImage().ReadByte(adr); }
    int SimByte(Int32 adr) { return rig.sim.transceiver.Image().Byte(adr); }
    void Key(Int16 item, Int16 keyCode, Int16 shift = 0) {
        rig.form.lboConsole.listIndex = item;
        rig.program.MainWindow().lboConsole_KeyDown(keyCode, shift);
    }
    void Enter(Int16 item) { Console().EnterPushed(item); }
    bool RunToBeep(int beeps) {
        return rig.RunUntil([&] { return rig.form.beeper.beeps == beeps; }, 120000) && rig.Settle();
    }
    void ConnectAndSettle() {
        ASSERT_TRUE(rig.Connect());
        ASSERT_TRUE(rig.Settle());
        Sent();
    }
    // The frames sent since the last call, without the stand-in's name for them.
    std::vector<std::string> Sent() {
        std::vector<std::string> out;
        for (const std::string& f : rig.SentFrames()) {
            out.push_back(f.substr(0, f.find(" (")));
        }
        return out;
    }
    // The data bytes of the frames of one E8 sub-command ("E8 sub 13").
    static std::vector<int> Values(const std::vector<std::string>& frames,
                                   const std::string& prefix) {
        std::vector<int> out;
        for (const std::string& f : frames) {
            if (f.rfind(prefix + " value 0x", 0) == 0) {
                out.push_back(std::stoi(f.substr(prefix.size() + 9), nullptr, 16));
            }
        }
        return out;
    }

    test::ProgramRig rig{{}, KnownImage()};
};

TEST_F(AdjustSession, ConnectSendsEveryItemReadsEveryConverterAndShowsThem) {
    ASSERT_TRUE(rig.Connect());
    ASSERT_TRUE(rig.Settle());
    std::vector<std::string> expected = {"E0 identify model 8537",
                                         "E2 clone read model 8537 sub 0200"};
    const auto readouts = [&](std::initializer_list<int> selectors) {
        for (int s : selectors) {
            expected.push_back("E8 sub 03 readout selector " + std::to_string(s));
        }
    };
    readouts({0, 3, 5, 4, 0});
    // MOD N 100 takes along the Mid level at its ratio 96 and the W level at the item's 32.
    for (const char* e8 :
         {"02 value 0x01", "00 channel 1", "09 value 0xFF", "0A value 0x99", "0B value 0x33",
          "11 value 0x80", "0D value 0x64", "0E value 0x96", "0D value 0x64", "0C value 0x32",
          "0F value 0x00", "08 value 0x01", "05 value 0xCC", "13 value 0x5A", "14 value 0x3C",
          "06 value 0x72", "07 value 0xC8"}) {
        expected.push_back(std::string("E8 sub ") + e8);
    }
    readouts({0, 3, 5, 4, 0, 16, 17, 18, 19, 12, 13, 14, 11, 15});
    EXPECT_EQ(Sent(), expected);

    EXPECT_EQ(rig.form.lboConsole.lines,
              (std::vector<std::string>{
                  "    CH No.: 01 RX = 156.025000, TX = 156.625000  RF Power: Low2  Mode: Narrow",
                  " Power(Hi): 255 [####################]",
                  " Power(L2): 153 [############--------]",
                  " Power(L1):  51 [####----------------]",
                  "       BAL: 128 [##########----------]",
                  "     MOD N: 100 [########------------]",
                  " MOD Ratio:  32 [###-----------------]",
                  " CTCS/DTCS:   0 [--------------------]",
                  "       SQL:   1 [--------------------]",
                  "       REF: 204 [################----]",
                  "   BPF ALL: [Enter] to Sweep",
                  "    BPF T1:  90 [#######-------------] [Enter] to Sweep",
                  "    BPF T2:  60 [#####---------------] [Enter] to Sweep",
                  "    RX LVA: 114 [#########-----------] [Enter] to Sweep",
                  "    TX LVA: 200 [################----] [Enter] to Sweep",
                  "LV(RX LVA): 100 [########------------] [1.96V]",
                  "LV(TX LVA): 150 [############--------] [2.94V]",
                  "      RSSI: [Enter] to Start",
              }));
    // LVIN follows the LVA value set last (TX LVA 200); SD is high with both filters on
    // their plateau.
    EXPECT_EQ(rig.form.lbo01[0].lines,
              (std::vector<std::string>{"[A/D]", "VIN  :189:BDh:  7.41V", "TEMPS:174:AEh: 25.21'C",
                                        "LVIN :163:A3h:  3.20V", "SD   :220:DCh:  4.31V", ""}));
    EXPECT_EQ(rig.form.lbo01[1].lines,
              (std::vector<std::string>{"[D/A]", "BPF T1 : 90:5Ah:  1.76V",
                                        "T2/POW : 60:3Ch:  1.18V", "TX LVA :200:C8h:  3.92V",
                                        "RX LVA :114:72h:  2.24V", "REF    :204:CCh:  4.00V",
                                        "MOD BAL:128:80h: 50.20%", "Dev    :100:64h:  1.96V",
                                        "CTCSS  :  0:00h:  0.00V", "SQL Lev:  1:01h:  0.39%"}));
    EXPECT_EQ(rig.form.lblProgress.caption, std::string(32, 'o'));
    EXPECT_TRUE(rig.form.fra01[1].visible && rig.form.cmd00[1].enabled &&
                rig.form.cmd00[2].enabled);
    EXPECT_FALSE(rig.form.fra01[0].visible);
    EXPECT_GE(rig.form.lboConsole.focusCount, 1);
    EXPECT_TRUE(rig.form.messageBox.texts.empty());
    // Connected again, every readout is shown afresh, also those that read as before.
    ASSERT_TRUE(rig.Connect());
    ASSERT_TRUE(rig.Settle());
    EXPECT_EQ(rig.form.lbo01[0].lines[1] + rig.form.lbo01[1].lines[9],
              "VIN  :189:BDh:  7.41VSQL Lev:  1:01h:  0.39%");
}

TEST_F(AdjustSession, ProgressBarFillsWithTheReadAndTheFirstSteps) {
    std::vector<long> shown;  // cells filled, each time the bar changed between two periods
    std::string last = rig.form.lblProgress.caption;
    rig.program.MainWindow().cmd00_Click(0);
    ASSERT_TRUE(rig.RunUntil(
        [&] {
            const std::string& c = rig.form.lblProgress.caption;
            if (c != last) {
                last = c;
                shown.push_back(std::count(c.begin(), c.end(), 'o'));
                EXPECT_EQ(c, std::string(shown.back(), 'o') + std::string(32 - shown.back(), '.'));
            }
            return rig.program.Operations().stepNo() >= 10;
        },
        150000));
    // The read fills floor(address / end x 33) cells, at most 32; steps 3..9 then show
    // floor((step - 2) / 7 x 32) cells: 4, 9, 13, 18, 22, 27, 32.
    const auto read = std::find(shown.begin(), shown.end(), 32) + 1;
    ASSERT_LE(read, shown.end());
    EXPECT_TRUE(std::is_sorted(shown.begin(), read));
    EXPECT_EQ(shown.front(), 0);
    EXPECT_GE(std::set<long>(shown.begin(), read).size(), 16u);
    const std::vector<long> after(read, shown.end());
    const std::vector<long> steps{4, 9, 13, 18, 22, 27, 32};
    EXPECT_TRUE(std::includes(steps.begin(), steps.end(), after.begin(), after.end()));
    ASSERT_GE(after.size(), 2u);
    EXPECT_EQ(after.front(), 4);
    EXPECT_EQ(after.back(), 32);
}

TEST_F(AdjustSession, ItemsStopAtTheirLimitsAndTheChannelItemWrapsOverPresentChannels) {
    ConnectAndSettle();
    for (Int16 i = 1; i < 18; ++i) {
        Console().Value(i, 255);
        Key(i, vbKeyRight);
        EXPECT_EQ(Value(i), 255) << i;
        Console().Value(i, -7);
        Key(i, vbKeyLeft);
        EXPECT_EQ(Value(i), 0) << i;
    }
    ASSERT_TRUE(rig.Settle());

    // Channels 1, 2, 3, 5, 6, 7, 8, 10, 11, 12: ten entries.
    EXPECT_EQ(Console().Max(kChNo), 9);
    std::vector<int> selected;
    for (Int16 key :
         {vbKeyRight, vbKeyRight, vbKeyRight, vbKeyLeft, vbKeyLeft, vbKeyLeft, vbKeyLeft}) {
        Key(kChNo, key);
        ASSERT_TRUE(rig.Settle());
        selected.push_back(rig.sim.transceiver.SelectedChannel());
    }
    EXPECT_EQ(selected, (std::vector<int>{2, 3, 5, 3, 2, 1, 12}));
    EXPECT_EQ(Value(kChNo), 9);

    // Without a channel the list holds channel 1 alone.
    sim::SimImage none = KnownImage();
    none.Word(314, 0);
    test::ProgramRig empty({}, none);
    ASSERT_TRUE(empty.Connect());
    EXPECT_EQ(empty.program.Console().Max(kChNo), 0);
    EXPECT_EQ(empty.sim.transceiver.SelectedChannel(), 1);
}

TEST_F(AdjustSession, SettlingWaitsOf200And500MsHoldBackTheNextStep) {
    ConnectAndSettle();
    std::vector<Int32> wakes;
    rig.program.Operations().wakeRequest([&](Int32 ms) { wakes.push_back(ms); });
    const auto stepOut = [&](Int16 item, Int32 waitMs) {
        Key(item, vbKeyRight);
        rig.sim.Advance(waitMs - 1);
        rig.program.Tick();
        rig.sim.Advance(14);  // one frame's wire time
        EXPECT_TRUE(rig.SentFrames().empty()) << item;
        rig.sim.Advance(2);
        rig.program.Tick();
        rig.sim.Advance(14);
        return Sent();
    };
    Key(kPowerL2, vbKeyRight);
    rig.program.Tick();
    rig.sim.Advance(14);
    EXPECT_EQ(Sent(), (std::vector<std::string>{"E8 sub 0A value 0x9A"}));
    EXPECT_EQ(Line(kPowerL2), " Power(L2): 154 [############--------]");
    EXPECT_EQ(stepOut(kBpfT1, 200), (std::vector<std::string>{"E8 sub 13 value 0x5B"}));
    EXPECT_EQ(stepOut(kRxLva, 200), (std::vector<std::string>{"E8 sub 06 value 0x73"}));
    EXPECT_EQ(stepOut(kSql, 500), (std::vector<std::string>{"E8 sub 08 value 0x02"}));
    EXPECT_EQ(wakes, (std::vector<Int32>{201, 201, 501, 201}));
    EXPECT_EQ(Byte(274), 2);
    EXPECT_EQ(SimByte(274), 2);
}

TEST_F(AdjustSession, ModNCarriesBothWLevelsAndModRatioOnlyItsOwn) {
    ConnectAndSettle();
    Key(kModN, vbKeyLeft);
    ASSERT_TRUE(rig.Settle());
    // 99 x 96 / 64 = 148.5 and 99 x 32 / 64 = 49.5 round up.
    EXPECT_EQ(Sent(), (std::vector<std::string>{"E8 sub 0D value 0x63", "E8 sub 0E value 0x95",
                                                "E8 sub 0D value 0x63", "E8 sub 0C value 0x32"}));
    EXPECT_EQ(Byte(80), 149);
    Key(kModRatio, vbKeyRight);
    ASSERT_TRUE(rig.Settle());
    EXPECT_EQ(Sent(), (std::vector<std::string>{"E8 sub 0C value 0x33"}));  // 99 x 33 / 64
    EXPECT_EQ(Byte(66), 51);
    EXPECT_EQ(SimByte(66), 51);
    EXPECT_EQ(Byte(80), 149);

    // BAL goes out three times: with its Mid copy, with its W copy, then alone.
    Key(kBal, vbKeyRight);
    ASSERT_TRUE(rig.Settle());
    EXPECT_EQ(Sent(), (std::vector<std::string>{"E8 sub 11 value 0x81", "E8 sub 12 value 0x81",
                                                "E8 sub 11 value 0x81", "E8 sub 10 value 0x81",
                                                "E8 sub 11 value 0x81"}));
    EXPECT_EQ(Byte(67), 129);
    EXPECT_EQ(Byte(81), 129);
}

TEST_F(AdjustSession, FilterSweepsEndInTheMiddleOfThePlateau) {
    ConnectAndSettle();
    Enter(kBpfT2);
    rig.RunFor(1000);
    EXPECT_EQ(Line(kBpfT2).substr(38), " Sweeping");
    EXPECT_EQ(Line(kBpfAll), "   BPF ALL: [Enter] to Sweep");
    ASSERT_TRUE(RunToBeep(1));
    std::vector<int> steps(256);
    std::iota(steps.begin(), steps.end(), 0);
    // 0 goes out after the start, after the band is picked and as the first value swept.
    steps.insert(steps.begin(), {0, 0});
    steps.push_back(60);  // SD is highest over 56..64
    EXPECT_EQ(Values(Sent(), "E8 sub 14"), steps);
    EXPECT_EQ(Line(kBpfT2), "    BPF T2:  60 [#####---------------] [Enter] to Sweep");
    EXPECT_EQ(Console().WaitAfterE8(kBpfT2), 200);

    // All bands: both to 64, then each from 0 in steps of 2 up to 128, the other at 64.
    Enter(kBpfAll);
    rig.RunFor(300);
    EXPECT_EQ(Line(kBpfAll), "   BPF ALL: Sweeping");
    ASSERT_TRUE(RunToBeep(2));
    const auto sweep = [](int kept) {
        std::vector<int> v{64, 0};
        for (int x = 0; x <= 128; x += 2) {
            v.push_back(x);
        }
        v.push_back(kept);
        return v;
    };
    const std::vector<std::string> frames = Sent();
    EXPECT_EQ(Values(frames, "E8 sub 13"), sweep(90));
    EXPECT_EQ(Values(frames, "E8 sub 14"), sweep(60));
    EXPECT_EQ(Console().WaitAfterE8(kBpfT1), 200);
    EXPECT_EQ(Line(kBpfAll), "   BPF ALL: [Enter] to Sweep");
}

TEST_F(AdjustSession, LvaAdjustmentBisectsToTheTargetWaiting500MsForEachValue) {
    ConnectAndSettle();
    std::vector<Int32> wakes;
    rig.program.Operations().wakeRequest([&](Int32 ms) { wakes.push_back(ms); });
    // RX: LVIN 20 + v x 180 / 255 reaches the target 100 at 114.
    Enter(kRxLva);
    ASSERT_TRUE(RunToBeep(1));
    EXPECT_EQ(Values(Sent(), "E8 sub 06"),
              (std::vector<int>{0, 255, 128, 64, 96, 112, 120, 116, 114}));
    EXPECT_EQ(wakes, std::vector<Int32>(9, 501));
    EXPECT_EQ(SimByte(60), 114);
    EXPECT_FALSE(rig.program.Operations().lvaFailed(0));

    // TX: LVIN 30 + v x 170 / 255 reaches the target 150 at 180.
    Enter(kTxLva);
    rig.RunFor(500);
    EXPECT_EQ(Line(kTxLva).substr(38), " Sweeping");
    ASSERT_TRUE(RunToBeep(2));
    EXPECT_EQ(Values(Sent(), "E8 sub 07"),
              (std::vector<int>{0, 255, 128, 192, 160, 176, 184, 180}));
    EXPECT_EQ(wakes, std::vector<Int32>(17, 501));

    // A target equal to the reading at either end is out of reach: the old value comes back.
    Console().Value(kLvRxLva, 20);
    Console().Value(kLvRxLva + 1, 200);
    Enter(kRxLva);
    ASSERT_TRUE(RunToBeep(3));
    Enter(kTxLva);
    ASSERT_TRUE(RunToBeep(4));
    const std::vector<std::string> frames = Sent();
    EXPECT_EQ(Values(frames, "E8 sub 06"), (std::vector<int>{0, 255, 114}));
    EXPECT_EQ(Values(frames, "E8 sub 07"), (std::vector<int>{0, 255, 180}));
    EXPECT_EQ(Line(kRxLva),
              "    RX LVA: 114 [#########-----------] [Enter] to Sweep (Auto Adjust Failed)");
    EXPECT_EQ(Line(kTxLva),
              "    TX LVA: 180 [##############------] [Enter] to Sweep (Auto Adjust Failed)");

    // Near the top the values bracket the target 198 by 252..254, three apart: one more
    // value, 253, meets it.
    Console().Value(kLvRxLva, 198);
    Enter(kRxLva);
    ASSERT_TRUE(RunToBeep(5));
    EXPECT_EQ(Values(Sent(), "E8 sub 06"),
              (std::vector<int>{0, 255, 128, 192, 224, 240, 248, 252, 254, 253}));

    // A click abandons a running adjustment: the first value went out, no further value, no
    // beep.
    Enter(kRxLva);
    rig.RunFor(400);
    rig.program.MainWindow().cmd00_Click(1);
    rig.RunFor(5000);
    EXPECT_EQ(rig.form.beeper.beeps, 5);
    EXPECT_EQ(Values(Sent(), "E8 sub 06"), std::vector<int>{0});
}

TEST_F(AdjustSession, RssiCaptureStoresTheS3ReadingThenTheS1Reading) {
    ConnectAndSettle();
    Enter(kRssi);
    rig.RunFor(500);
    EXPECT_EQ(Line(kRssi), "      RSSI: RSSI S3 Level ");
    Enter(kRssi);  // SD 220: both filters on their plateau
    ASSERT_TRUE(rig.RunUntil([&] { return Line(kRssi) == "      RSSI: RSSI S1 Level "; }, 5000));
    rig.sim.transceiver.Image().Byte(52, 0);  // BPF T1 off its plateau: SD 120
    rig.RunFor(500);
    Enter(kRssi);
    ASSERT_TRUE(RunToBeep(1));
    const std::vector<std::string> frames = Sent();
    std::vector<std::string> levels;
    std::copy_if(frames.begin(), frames.end(), std::back_inserter(levels),
                 [](const std::string& f) { return f.rfind("E8 sub 1", 0) == 0; });
    EXPECT_EQ(levels, (std::vector<std::string>{"E8 sub 16 value 0xDC", "E8 sub 15 value 0x78"}));
    EXPECT_EQ(Byte(132), 220);
    EXPECT_EQ(Byte(131), 120);
    EXPECT_EQ(Line(kRssi), "      RSSI: [Enter] to Start");
    EXPECT_EQ(rig.form.lbo01[0].lines.at(4), "SD   :120:78h:  2.35V");

    // A click drops an Enter that has not been acted on yet.
    Enter(kRssi);
    rig.program.MainWindow().cmd00_Click(1);
    rig.RunFor(1000);
    EXPECT_EQ(Line(kRssi), "      RSSI: [Enter] to Start");
}

TEST_F(AdjustSession, ReloadRewritesChangedReadoutsAndTheDumpShowsTheImage) {
    ConnectAndSettle();
    rig.RunFor(1000);
    EXPECT_TRUE(Sent().empty());  // idle cycles read nothing
    Key(kSql, vbKeyRight);
    ASSERT_TRUE(rig.Settle());
    const int writes = rig.form.lbo01[1].writes;
    rig.program.MainWindow().Form_KeyDown(vbKeyF5, 0);
    ASSERT_TRUE(rig.Settle());
    EXPECT_EQ(Sent().size(), 15u);
    EXPECT_EQ(rig.form.lbo01[1].writes, writes + 1);
    EXPECT_EQ(rig.form.lbo01[1].lines.at(9), "SQL Lev:  2:02h:  0.78%");

    rig.program.MainWindow().cmd00_Click(2);
    rig.RunFor(200);
    EXPECT_TRUE(rig.form.fra01[3].visible);
    EXPECT_FALSE(rig.form.fra01[1].visible);
    EXPECT_FALSE(rig.form.cmd00[0].enabled);
    EXPECT_FALSE(rig.form.cmd00[1].enabled);
    EXPECT_TRUE(rig.form.cmd00[2].isDefault && rig.form.cmd00[2].isCancel);
    EXPECT_EQ(rig.form.txtDispPara.text.substr(0, 72),
              "                POW HI Level:  255\r\n                POW L2 Level:  153\r\n");
    rig.program.MainWindow().cmd00_Click(2);
    rig.RunFor(200);
    EXPECT_TRUE(rig.form.fra01[1].visible);
    EXPECT_FALSE(rig.form.fra01[3].visible);
    EXPECT_GE(rig.form.cmd00[2].focusCount, 1);

    // A new connection shows every reading again, also the ones that did not change.
    ASSERT_TRUE(rig.Connect());
    ASSERT_TRUE(rig.Settle());
    EXPECT_EQ(rig.form.lbo01[1].lines.at(9), "SQL Lev:  2:02h:  0.78%");
}

TEST_F(AdjustSession, TemperatureBordersAndSubNames) {
    clsIndOp_RigTamsk& op = rig.program.Operations();
    std::vector<int> borders;
    for (Int16 i = 0; i < 22; ++i) {
        borders.push_back(op.RigTamskOp_Table_Txf_TempBorder(i));
    }
    EXPECT_EQ(borders, (std::vector<int>{0,   16,  24,  32,  40,  48,  64,  80,  96,  112, 128,
                                         144, 160, 176, 192, 208, 216, 224, 232, 240, 255, 0}));
    EXPECT_THROW(op.RigTamskOp_Table_Txf_TempBorder(22), RuntimeError);
    // The first byte of the sub name decides.
    EXPECT_TRUE(op.RigOpFunc_CheckSubNameLegal("0299"));
    EXPECT_FALSE(op.RigOpFunc_CheckSubNameLegal("0300"));
    EXPECT_FALSE(op.RigOpFunc_CheckSubNameLegal("0"));
}

}  // namespace
}  // namespace quorvane
