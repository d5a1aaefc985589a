// A runtime error escaping a tick or a window event of the whole program: reset first, shown
// once, and the program goes on; "Connect" works again.
#include <gtest/gtest.h>

#include <new>
#include <stdexcept>
#include <string>

#include "platform/runtime_error.h"
#include "support/bench_rig.h"

namespace quorvane {
namespace {

// What the program looked like when its message box was shown.
struct AtMessage {
    bool portOpen = true;
    Int16 stepNo = -1;
    bool opRunning = true;
};

void WatchMessages(test::BenchRig& rig, AtMessage& at) {
    rig.form.messageBox.onShow = [&rig, &at] {
        at.portOpen = rig.program.Com().comOpen();
        at.stepNo = rig.program.Operations().stepNo();
        at.opRunning = rig.program.Sequence().OpRunning();
    };
}

void ExpectShownOnceAfterAReset(test::BenchRig& rig, const AtMessage& at, const std::string& text) {
    rig.RunFor(3000);
    ASSERT_EQ(rig.form.messageBox.texts.size(), 1u);
    EXPECT_EQ(rig.form.messageBox.texts[0], text);
    EXPECT_FALSE(at.portOpen);
    EXPECT_EQ(at.stepNo, 0);
    EXPECT_FALSE(at.opRunning);
    EXPECT_TRUE(rig.InInitialState());
}

// The transceiver knows nothing of the program's failure and finishes what it was sending
// (a clone read goes on for a minute); the technician connects once it is silent.
void ExpectConnectWorksAgain(test::BenchRig& rig) {
    ASSERT_TRUE(rig.RunUntil([&] { return !rig.Transceiver().NextEvent(); }, 120000));
    ASSERT_TRUE(rig.Connect());
    EXPECT_EQ(rig.form.messageBox.texts.size(), 1u);
    EXPECT_EQ(rig.program.Radio().eepImage().data(), rig.Transceiver().Image().data());
}

TEST(RuntimeGuard, StandardExceptionFromTheLineInACloneRead) {
    test::BenchRig rig;
    AtMessage at;
    WatchMessages(rig, at);
    rig.program.MainWindow().cmd00_Click(0);
    ASSERT_TRUE(rig.RunUntil([&] { return rig.program.Driver().lastEeAdr() > 2000; }, 60000));
    rig.line.fault = [] { throw std::runtime_error("line fault"); };
    rig.Period();
    rig.line.fault = nullptr;
    ExpectShownOnceAfterAReset(rig, at, "Run-time error: line fault");
    ExpectConnectWorksAgain(rig);
}

TEST(RuntimeGuard, OwnRuntimeErrorInTheAdjustingCycle) {
    test::BenchRig rig;
    ASSERT_TRUE(rig.Connect());
    AtMessage at;
    WatchMessages(rig, at);
    // The next readout of the cycle fails the program's own way.
    rig.program.MainWindow().cmd00_Click(1);
    rig.line.fault = [] { raiseOverflow("readout"); };
    ASSERT_TRUE(rig.RunUntil([&] { return !rig.form.messageBox.texts.empty(); }, 5000));
    rig.line.fault = nullptr;
    std::string what;
    try {
        raiseOverflow("readout");
    } catch (const RuntimeError& e) {
        what = e.what();
    }
    ExpectShownOnceAfterAReset(rig, at, "Run-time error: " + what);
    ExpectConnectWorksAgain(rig);
}

TEST(RuntimeGuard, ExceptionInAWindowEvent) {
    test::BenchRig rig;
    ASSERT_TRUE(rig.Connect());
    AtMessage at;
    WatchMessages(rig, at);
    rig.form.lboConsole.ListIndex(8);
    rig.list.failOnce = [] { throw std::bad_alloc(); };
    rig.program.MainWindow().lboConsole_KeyDown(vbKeyRight, 0);
    ExpectShownOnceAfterAReset(rig, at, std::string("Run-time error: ") + std::bad_alloc().what());
    ExpectConnectWorksAgain(rig);

    // The other events are guarded the same way.
    rig.list.failOnce = [] { throw std::logic_error("focus"); };
    rig.form.lboConsole.ListIndex(-1);
    rig.program.MainWindow().lboConsole_GotFocus();
    ASSERT_EQ(rig.form.messageBox.texts.size(), 2u);
    EXPECT_EQ(rig.form.messageBox.texts[1], "Run-time error: focus");
    EXPECT_FALSE(rig.program.Com().comOpen());
}

}  // namespace
}  // namespace quorvane
