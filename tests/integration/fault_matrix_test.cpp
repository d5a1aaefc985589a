// Every fault of a transceiver, a cable or a port, with the whole program over the in-process
// stand-in, pinned as the technician and the line see it: the frames the program sent (count
// and order), the time from the last of them to the message, and the one message with its
// exact text. After it the port is closed and the item list is as after start-up; then the
// cable goes to a healthy transceiver and "Connect" succeeds.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>

#include "platform/main_form.h"
#include "rig/program_rig.h"

namespace quorvane {
namespace {

const std::string kTail =
    "\r\n\r\nCheck the following:\r\n- The COM port settings.\r\n- Cloning cable "
    "connections.\r\n- Transceiver power is ON.";
const std::string kNoAnswer = "No answer from transceiver." + kTail;
const std::string kStillSending =
    "Transceiver is still sending clone data.\r\n\r\nWait until it stops, then press Connect "
    "again.";

// What a failure looked like: the frames sent from the action on (each named up to its
// identifiers), the milliseconds from the later of the action and the last frame to the
// message, and every message shown until three seconds after it.
struct Outcome {
    std::string frames;
    std::int64_t ms = -1;
    std::vector<std::string> texts;
};

Outcome RunToMessage(test::ProgramRig& rig, const std::function<void()>& act) {
    rig.SentFrames();
    const sim::SimTime actedAt = rig.sim.serial.Now();
    act();
    Outcome out;
    if (!rig.RunUntil([&] { return !rig.form.messageBox.texts.empty(); }, 150000)) {
        return out;
    }
    out.ms = (rig.sim.serial.Now() - std::max(actedAt, rig.sim.serial.LastOutputAt())) / 1000;
    rig.RunFor(3000);  // nothing further is sent or said
    for (const std::string& frame : rig.SentFrames()) {
        out.frames += (out.frames.empty() ? "" : ", ") + frame.substr(0, frame.find(" model"));
    }
    out.texts = rig.form.messageBox.texts;
    EXPECT_EQ(rig.form.messageBox.titles.at(0), "Quorvane ADJ Rev.2.0");
    return out;
}

void ExpectOutcome(const Outcome& got, const std::string& frames, std::int64_t ms,
                   const std::string& text) {
    EXPECT_EQ(got.frames, frames);
    EXPECT_EQ(got.ms, ms);
    EXPECT_EQ(got.texts, std::vector<std::string>{text});
}

// The port closed, the item list as after start-up, then a healthy transceiver connects.
void ExpectRecovery(test::ProgramRig& rig) {
    EXPECT_TRUE(rig.InInitialState());
    rig.sim.serial.DeviceAbsent(false);
    const sim::TamskorSim& healthy = rig.Replug({}, sim::SimImage::Generate(7));
    ASSERT_TRUE(rig.Connect());
    EXPECT_EQ(rig.form.messageBox.texts.size(), 1u);
    EXPECT_EQ(rig.program.Radio().eepImage().data(), healthy.Image().data());
    EXPECT_TRUE(rig.program.Operations().RigTamskProp_EditEnabled());
    EXPECT_EQ(rig.form.lblComBusy.color, SystemColor::ButtonText);  // the port is open
}

void Click(test::ProgramRig& rig) {
    rig.program.MainWindow().cmd00_Click(0);
}

TEST(FaultMatrix, TransceiverAndCableFaultsOnConnect) {
    struct Case {
        const char* fault;
        const char* frames;
        std::int64_t ms;
        std::string text;
    };
    const char* const kRead = "E0 identify, E2 clone read";
    const Case cases[] = {
        {"no-echo", "E0 identify", 1000, "Cannot access COM port" + kTail},
        {"no-answer", "E0 identify", 1250, kNoAnswer},
        {"late-answer", "E0 identify", 1250, kNoAnswer},
        {"hang-up:3", kRead, 1500, kNoAnswer},
        {"bad-checksum:2", kRead, 200, "Illegal data." + kTail},
        {"dropped-bytes:2", kRead, 100, "Illegal data." + kTail},
        {"wrong-count", kRead, 83200, "Data counter error." + kTail},
        {"beyond-image:2", kRead, 200, "Data overflow." + kTail},
        {"wrong-model", "E0 identify", 100, "Cannot Clone." + kTail},
        {"refused-sub", "E0 identify", 100,
         "Version number does not match\r\nfor this transceiver."},
        {"unfit-revision", "E0 identify", 100,
         "Connected transceiver is not compatible model.\r\n\r\nCheck the following:\r\n- "
         "Appropriate cloning software for the transceiver is being used.\r\n- The revision "
         "number of the transceiver."},
        {"foreign-readout", "E0 identify, E2 clone read, E8 sub 03 readout selector 0 (VIN)", 50,
         "Communication failed.\r\n\r\nCheck the following:\r\n- Cloning cable "
         "connections.\r\n- Transceiver power is ON."},
        {"long-readout", "E0 identify, E2 clone read, E8 sub 03 readout selector 0 (VIN)", 50,
         "Communication failed.\r\n\r\nCheck the following:\r\n- Cloning cable "
         "connections.\r\n- Transceiver power is ON."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fault);
        sim::TamskorConfig config;
        ASSERT_FALSE(config.faults.Parse(c.fault));
        test::ProgramRig rig(config);
        ExpectOutcome(RunToMessage(rig, [&] { Click(rig); }), c.frames, c.ms, c.text);
        ExpectRecovery(rig);
    }
}

TEST(FaultMatrix, AnUnansweredReadoutGoesOutThreeTimes) {
    test::ProgramRig rig;
    ASSERT_TRUE(rig.Connect());
    ASSERT_TRUE(rig.Settle());
    sim::TamskorConfig silent;
    silent.faults.Add(sim::Fault::NoAnswer, 0);
    rig.Replug(silent);
    const std::string readout = "E8 sub 03 readout selector 0 (VIN)";
    ExpectOutcome(RunToMessage(rig, [&] { rig.program.MainWindow().Form_KeyDown(vbKeyF5, 0); }),
                  readout + ", " + readout + ", " + readout, 1250, kNoAnswer);
    ExpectRecovery(rig);
}

TEST(FaultMatrix, AConnectWhileAnAbandonedCloneReadStreamsSendsNothingUntilItStops) {
    test::ProgramRig rig;
    Click(rig);
    ASSERT_TRUE(rig.RunUntil([&] { return rig.program.Driver().lastEeAdr() > 0x1000; }, 60000));
    // The transceiver streams on for 70 s more: nothing goes out, and after 3 s it is said.
    ExpectOutcome(RunToMessage(rig, [&] { Click(rig); }), "", 3050, kStillSending);
    EXPECT_TRUE(rig.InInitialState());
    rig.RunFor(70000);
    rig.SentFrames();
    ASSERT_TRUE(rig.Connect());
    EXPECT_EQ(rig.SentFrames().at(0).substr(0, 11), "E0 identify");
    EXPECT_EQ(rig.program.Radio().eepImage().data(), rig.Transceiver().Image().data());

    // A stream that stops within the bound: the identify follows 200 ms of silence.
    Click(rig);
    ASSERT_TRUE(rig.RunUntil([&] { return rig.program.Driver().lastEeAdr() > 0x7D00; }, 100000));
    rig.SentFrames();
    ASSERT_TRUE(rig.Connect());
    EXPECT_TRUE(rig.form.messageBox.texts.size() == 1);
    const auto sent = rig.SentFrames();
    EXPECT_EQ(sent.at(0).substr(0, 11), "E0 identify");
    EXPECT_EQ(sent.at(1).substr(0, 13), "E2 clone read");
    EXPECT_EQ(rig.program.Radio().eepImage().data(), rig.Transceiver().Image().data());
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
        ExpectOutcome(RunToMessage(rig, [&] { Click(rig); }), "", 50,
                      "Cannot access COM " + std::to_string(port) + "." + kTail);
        ExpectRecovery(rig);
    }
}

// The receive queue overflows only when the program stops reading for longer than the queue
// lasts: here it stalls for 40 s in the middle of a clone read.
TEST(FaultMatrix, ReceiveQueueOverflowWhileTheProgramStalls) {
    test::ProgramRig rig;
    const Outcome got = RunToMessage(rig, [&] {
        Click(rig);
        ASSERT_TRUE(rig.RunUntil([&] { return rig.program.Driver().lastEeAdr() > 1000; }, 60000));
        rig.sim.clock.Advance(40000);
        rig.sim.serial.Pump();
        EXPECT_GT(rig.sim.serial.LostBytes(), 0);
    });
    ExpectOutcome(got, "E0 identify, E2 clone read", 42700, "COM buffer overflow." + kTail);
    ExpectRecovery(rig);
}

}  // namespace
}  // namespace quorvane
