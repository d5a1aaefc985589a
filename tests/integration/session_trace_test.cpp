#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "platform/main_form.h"
#include "rig/program_rig.h"

namespace quorvane {
namespace {

// A whole service session pinned byte for byte: connect and clone read, key steps, MOD N with
// its follow-ups, a BPF T1 sweep, an RX LVA run, an RSSI capture, a reload, a line that stops
// answering. Any change to the traffic of an existing operation shows here as a diff.
TEST(SessionTrace, EveryFrameOfAWholeSessionIsAsPinned) {
    test::ProgramRig rig;
    auto enter = [&](Int16 item) { rig.program.Console().EnterPushed(item); };
    auto key = [&](Int16 item, Int16 code, Int16 shift) {
        rig.form.lboConsole.listIndex = item;
        rig.program.MainWindow().lboConsole_KeyDown(code, shift);
    };
    ASSERT_TRUE(rig.Connect());
    ASSERT_TRUE(rig.Settle());
    key(8, vbKeyRight, 0);           // SQL + 1
    key(5, vbKeyLeft, vbShiftMask);  // MOD N - 5, with the W levels following
    key(4, vbKeyRight, 0);           // BAL + 1
    ASSERT_TRUE(rig.Settle());
    enter(11);  // BPF T1 sweep
    ASSERT_TRUE(rig.RunUntil([&] { return rig.form.beeper.beeps == 1; }, 120000));
    ASSERT_TRUE(rig.Settle());
    enter(13);  // RX LVA automatic adjustment
    ASSERT_TRUE(rig.RunUntil([&] { return rig.form.beeper.beeps == 2; }, 120000));
    ASSERT_TRUE(rig.Settle());
    enter(17);  // RSSI: start, capture S3, capture S1
    rig.RunFor(500);
    enter(17);
    rig.RunFor(1000);
    enter(17);
    ASSERT_TRUE(rig.RunUntil([&] { return rig.form.beeper.beeps == 3; }, 10000));
    ASSERT_TRUE(rig.Settle());
    rig.program.MainWindow().Form_KeyDown(vbKeyF5, 0);  // reload the readouts
    ASSERT_TRUE(rig.Settle());
    sim::TamskorConfig silent;
    silent.faults.Add(sim::Fault::NoAnswer, 0);
    rig.Replug(silent);
    rig.program.MainWindow().Form_KeyDown(vbKeyF5, 0);
    ASSERT_TRUE(rig.RunUntil([&] { return !rig.form.messageBox.texts.empty(); }, 10000));
    EXPECT_EQ(rig.form.messageBox.texts.at(0).rfind("No answer from transceiver.\r\n", 0), 0u);

    const std::string got = rig.Wire();
    const std::string golden =
        std::string(std::getenv("QUORVANE_SOURCE_DIR")) + "/tests/data/session.trace";
    if (std::getenv("QUORVANE_WRITE_TRACE") != nullptr) {
        std::ofstream(golden, std::ios::binary) << got;
    }
    std::ifstream in(golden, std::ios::binary);
    std::ostringstream want;
    want << in.rdbuf();
    EXPECT_EQ(got, want.str());
}

}  // namespace
}  // namespace quorvane
