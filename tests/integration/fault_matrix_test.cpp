// Every message of the error report that a transceiver, a cable or a port can cause, with the
// whole program over the in-process stand-in and a hand-set clock: shown once, with its exact
// text, the port closed and the item list as after start-up; then the cable goes to a healthy
// transceiver and "Connect" succeeds.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "app/error_report.h"
#include "support/bench_rig.h"

namespace quorvane {
namespace {

constexpr Int16 kPort = 1;

CloneErrorState LinkError(Int16 code) {
    return {false, false, kPort, static_cast<::quorvane::LinkError>(code), SequenceError::None};
}
CloneErrorState SequencerError(Int16 code) {
    return {false, false, kPort, ::quorvane::LinkError::None, static_cast<SequenceError>(code)};
}

sim::TamskorConfig Faulty(const std::string& fault) {
    sim::TamskorConfig c;
    EXPECT_FALSE(c.faults.Parse(fault)) << fault;
    return c;
}

// Presses "Connect", lets provoke() make its failure, and checks the one message and the
// state after it; then mends() what made the failure, moves the cable to the healthy radio and
// connects.
void ExpectOneMessageThenRecovery(
    test::BenchRig& rig, const CloneErrorState& expected, const std::function<void()>& provoke,
    test::BenchRadio& healthy, const std::function<void()>& mend = [] {}) {
    const std::size_t before = rig.form.messageBox.texts.size();
    rig.program.MainWindow().cmd00_Click(0);
    provoke();
    ASSERT_TRUE(rig.RunUntil([&] { return rig.form.messageBox.texts.size() > before; }, 150000));
    rig.RunFor(3000);  // nothing further is reported
    ASSERT_EQ(rig.form.messageBox.texts.size(), before + 1);
    EXPECT_EQ(rig.form.messageBox.texts.back(), CloneErrorMessage(expected));
    EXPECT_EQ(rig.form.messageBox.titles.back(), kProgramTitle);
    EXPECT_TRUE(rig.InInitialState());

    mend();
    rig.Plug(healthy);
    ASSERT_TRUE(rig.Connect());
    EXPECT_EQ(rig.form.messageBox.texts.size(), before + 1);
    EXPECT_EQ(rig.program.Radio().eepImage().data(), healthy.transceiver.Image().data());
    EXPECT_TRUE(rig.program.Operations().RigTamskProp_EditEnabled());
}

TEST(FaultMatrix, TransceiverFaults) {
    struct Case {
        const char* fault;
        CloneErrorState expected;
        const char* opening;  // the message's first line, as the user reads it
    };
    const Case cases[] = {
        {"no-echo", LinkError(1), "Cannot access COM port"},
        {"no-answer", LinkError(2), "No answer from transceiver."},
        {"hang-up:3", LinkError(2), "No answer from transceiver."},
        {"bad-checksum:2", LinkError(3), "Illegal data."},
        {"dropped-bytes:2", LinkError(3), "Illegal data."},
        {"wrong-count", LinkError(4), "Data counter error."},
        {"beyond-image:2", LinkError(5), "Data overflow."},
        {"wrong-model", SequencerError(1), "Cannot Clone."},
        {"refused-sub", SequencerError(2), "Version number does not match"},
        {"unfit-revision", SequencerError(3), "Connected transceiver is not compatible model."},
        {"foreign-readout", SequencerError(0), "Communication failed."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fault);
        test::BenchRig rig(Faulty(c.fault));
        EXPECT_EQ(CloneErrorMessage(c.expected).rfind(c.opening, 0), 0u);
        test::BenchRadio& healthy = rig.Add({}, sim::SimImage::Generate(7));
        ExpectOneMessageThenRecovery(
            rig, c.expected, [] {}, healthy);
    }
}

TEST(FaultMatrix, PortThatCannotBeOpened) {
    test::BenchRig rig;
    rig.First().line.DeviceAbsent(true);
    ExpectOneMessageThenRecovery(
        rig, {true, false, kPort, ::quorvane::LinkError::None, SequenceError::None}, [] {},
        rig.First(), [&] { rig.First().line.DeviceAbsent(false); });
    EXPECT_EQ(rig.form.messageBox.texts.front().rfind("Cannot access COM 1.\r\n", 0), 0u);

    // Another port number is named as such.
    rig.program.MainWindow().mnuOptSelCom_Click(3);
    rig.First().line.DeviceAbsent(true);
    ExpectOneMessageThenRecovery(
        rig, {true, false, 3, ::quorvane::LinkError::None, SequenceError::None}, [] {}, rig.First(),
        [&] { rig.First().line.DeviceAbsent(false); });
    EXPECT_EQ(rig.form.messageBox.texts.back().rfind("Cannot access COM 3.\r\n", 0), 0u);
}

// A serial port's receive queue only overflows when the program does not read for longer than
// the queue lasts: here the program stalls for 40 s in the middle of a clone read while the
// transceiver goes on sending. The transceiver knows nothing of it and sends the rest of its
// clone; "Connect" works again once it has finished (a request sent into its stream would
// collide with it on the line and find no echo).
TEST(FaultMatrix, ReceiveQueueOverflowWhileTheProgramStalls) {
    test::BenchRig rig;
    sim::TamskorSim& radio = rig.First().transceiver;
    ExpectOneMessageThenRecovery(
        rig, {false, true, kPort, ::quorvane::LinkError::None, SequenceError::None},
        [&] {
            ASSERT_TRUE(
                rig.RunUntil([&] { return rig.program.Driver().lastEeAdr() > 1000; }, 60000));
            rig.clock.Advance(40000);
            rig.PumpAll();
            EXPECT_GT(rig.First().line.LostBytes(), 0);
        },
        rig.First(),
        [&] { ASSERT_TRUE(rig.RunUntil([&] { return !radio.NextEvent(); }, 120000)); });
    EXPECT_EQ(rig.form.messageBox.texts.front().rfind("COM buffer overflow.\r\n", 0), 0u);
}

}  // namespace
}  // namespace quorvane
