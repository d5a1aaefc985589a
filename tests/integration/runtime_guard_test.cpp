// A runtime error escaping a tick or a window event of the whole program: everything is reset
// before the message is shown, the message is shown once, and "Connect" works again.
#include <gtest/gtest.h>

#include <new>
#include <string>

#include "platform/runtime_error.h"
#include "rig/program_rig.h"

namespace quorvane {
namespace {

// Watches what the program looked like while its message box was open.
class RuntimeGuard : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(rig.Connect());
        rig.form.messageBox.onShow = [this] {
            resetFirst = !rig.program.Com().comOpen() && !rig.program.Sequence().OpRunning() &&
                         rig.program.Operations().stepNo() == 0;
        };
    }
    void ExpectShownOnceAfterAResetThenConnect(const std::string& text) {
        rig.RunFor(3000);
        ASSERT_EQ(rig.form.messageBox.texts.size(), 1u);
        EXPECT_EQ(rig.form.messageBox.texts[0], text);
        EXPECT_TRUE(resetFirst);
        EXPECT_TRUE(rig.InInitialState());
        // The transceiver knows nothing of the failure; a fresh one answers at once.
        rig.Replug();
        ASSERT_TRUE(rig.Connect());
        ASSERT_TRUE(rig.Settle());
        EXPECT_EQ(rig.form.messageBox.texts.size(), 1u);
    }

    test::ProgramRig rig;
    bool resetFirst = false;
};

TEST_F(RuntimeGuard, OwnRuntimeErrorInATick) {
    // After a reload the adjusting cycle writes every readout anew, each in a tick.
    rig.program.MainWindow().cmd00_Click(1);
    ASSERT_TRUE(rig.form.messageBox.texts.empty());
    rig.form.lbo01[0].failOnce = [] { raiseOverflow("readout"); };
    ASSERT_TRUE(rig.RunUntil([&] { return !rig.form.messageBox.texts.empty(); }, 5000));
    ExpectShownOnceAfterAResetThenConnect("Run-time error: Overflow in readout");
}

TEST_F(RuntimeGuard, StandardExceptionInAWindowEvent) {
    rig.form.lboConsole.listIndex = 8;
    rig.form.lboConsole.failOnce = [] { throw std::bad_alloc(); };
    rig.program.MainWindow().lboConsole_KeyDown(vbKeyRight, 0);
    ASSERT_EQ(rig.form.messageBox.texts.size(), 1u);  // shown from the event itself
    ExpectShownOnceAfterAResetThenConnect("Run-time error: std::bad_alloc");
}

}  // namespace
}  // namespace quorvane
