// Every fault of a transceiver, a cable or a port, with the whole program over the in-process
// stand-in: its message shown once with its exact text, the port closed and the item list as
// after start-up; then the cable goes to a healthy transceiver and "Connect" succeeds.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "rig/program_rig.h"

namespace quorvane {
namespace {

const std::string kTail =
    "\r\n\r\nCheck the following:\r\n- The COM port settings.\r\n- Cloning cable "
    "connections.\r\n- Transceiver power is ON.";

// Presses "Connect", lets provoke() make its failure and checks the one message and the state
// after it; then connects to a healthy transceiver.
void ExpectOneMessageThenRecovery(
    test::ProgramRig& rig, const std::string& text, const std::function<void()>& provoke = [] {}) {
    rig.program.MainWindow().cmd00_Click(0);
    provoke();
    ASSERT_TRUE(rig.RunUntil([&] { return !rig.form.messageBox.texts.empty(); }, 150000));
    rig.RunFor(3000);  // nothing further is reported
    ASSERT_EQ(rig.form.messageBox.texts.size(), 1u);
    EXPECT_EQ(rig.form.messageBox.texts[0], text);
    EXPECT_EQ(rig.form.messageBox.titles[0], "Quorvane ADJ Rev.2.0");
    EXPECT_TRUE(rig.InInitialState());

    rig.sim.serial.DeviceAbsent(false);
    const sim::TamskorSim& healthy = rig.Replug({}, sim::SimImage::Generate(7));
    ASSERT_TRUE(rig.Connect());
    EXPECT_EQ(rig.form.messageBox.texts.size(), 1u);
    EXPECT_EQ(rig.program.Radio().eepImage().data(), healthy.Image().data());
    EXPECT_TRUE(rig.program.Operations().RigTamskProp_EditEnabled());
    EXPECT_EQ(rig.form.lblComBusy.color, SystemColor::ButtonText);  // the port is open
}

TEST(FaultMatrix, TransceiverAndCableFaults) {
    struct Case {
        const char* fault;
        std::string text;
    };
    const Case cases[] = {
        {"no-echo", "Cannot access COM port" + kTail},
        {"no-answer", "No answer from transceiver." + kTail},
        {"late-answer", "No answer from transceiver." + kTail},
        {"hang-up:3", "No answer from transceiver." + kTail},
        {"bad-checksum:2", "Illegal data." + kTail},
        {"dropped-bytes:2", "Illegal data." + kTail},
        {"wrong-count", "Data counter error." + kTail},
        {"beyond-image:2", "Data overflow." + kTail},
        {"wrong-model", "Cannot Clone." + kTail},
        {"refused-sub", "Version number does not match\r\nfor this transceiver."},
        {"unfit-revision",
         "Connected transceiver is not compatible model.\r\n\r\nCheck the following:\r\n- "
         "Appropriate cloning software for the transceiver is being used.\r\n- The revision "
         "number of the transceiver."},
        {"foreign-readout",
         "Communication failed.\r\n\r\nCheck the following:\r\n- Cloning cable "
         "connections.\r\n- Transceiver power is ON."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fault);
        sim::TamskorConfig config;
        ASSERT_FALSE(config.faults.Parse(c.fault));
        test::ProgramRig rig(config);
        ExpectOneMessageThenRecovery(rig, c.text);
    }
}

TEST(FaultMatrix, AConnectWhileAnAbandonedCloneReadStreamsSendsAgainOnceTheLineIsQuiet) {
    test::ProgramRig rig;
    rig.program.MainWindow().cmd00_Click(0);
    ASSERT_TRUE(rig.RunUntil([&] { return rig.program.Driver().lastEeAdr() > 0x1000; }, 60000));
    rig.SentFrames();
    ASSERT_TRUE(rig.Connect());
    EXPECT_TRUE(rig.form.messageBox.texts.empty());
    const auto sent = rig.SentFrames();
    ASSERT_GE(sent.size(), 3u);
    EXPECT_EQ(sent[0], sent[1]);
    EXPECT_EQ(sent[1].substr(0, 11), "E0 identify");
    EXPECT_EQ(sent[2].substr(0, 13), "E2 clone read");
}

TEST(FaultMatrix, StrayBytesBetweenFramesAreHarmless) {
    sim::TamskorConfig config;
    ASSERT_FALSE(config.faults.Parse("garbage"));
    test::ProgramRig rig(config);
    ASSERT_TRUE(rig.Connect());
    ASSERT_TRUE(rig.Settle());
    EXPECT_TRUE(rig.form.messageBox.texts.empty());
    EXPECT_EQ(rig.program.Radio().eepImage().data(), rig.Transceiver().Image().data());
}

TEST(FaultMatrix, PortThatCannotBeOpenedIsNamed) {
    for (const Int16 port : {1, 3}) {
        test::ProgramRig rig;
        rig.program.MainWindow().mnuOptSelCom_Click(port);
        rig.sim.serial.DeviceAbsent(true);
        ExpectOneMessageThenRecovery(rig,
                                     "Cannot access COM " + std::to_string(port) + "." + kTail);
    }
}

// The receive queue overflows only when the program stops reading for longer than the queue
// lasts: here it stalls for 40 s in the middle of a clone read.
TEST(FaultMatrix, ReceiveQueueOverflowWhileTheProgramStalls) {
    test::ProgramRig rig;
    ExpectOneMessageThenRecovery(rig, "COM buffer overflow." + kTail, [&] {
        ASSERT_TRUE(rig.RunUntil([&] { return rig.program.Driver().lastEeAdr() > 1000; }, 60000));
        rig.sim.clock.Advance(40000);
        rig.sim.serial.Pump();
        EXPECT_GT(rig.sim.serial.LostBytes(), 0);
    });
}

}  // namespace
}  // namespace quorvane
