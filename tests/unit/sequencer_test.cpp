#include <gtest/gtest.h>

#include "protocol/sequencer.h"
#include "support/link_rig.h"
#include "support/sim_wire.h"

namespace quorvane {
namespace {

using Report = test::CloneErrReport;

// The sequencer with the stand-in transceiver behind the port (a clone area of 64 bytes).
class Sequencer : public ::testing::Test {
  protected:
    test::LinkRig rig;
    clsCmcVep3Sequence& seq = rig.sequence;
    sim::SimTime now = 0;
    std::unique_ptr<sim::TamskorSim> radio;

    void Connect(const std::string& fault = "", std::uint16_t sub = 0x0200,
                 std::uint8_t revision = 4) {
        sim::TamskorConfig config;
        config.cloneEnd = 0x3F;
        config.bytesPerFrame = 16;
        config.sub = sub;
        config.revision = revision;
        if (!fault.empty()) {
            EXPECT_FALSE(config.faults.Parse(fault));
        }
        radio = std::make_unique<sim::TamskorSim>(config, sim::SimImage{});
        for (std::uint8_t adr = 0; adr < 0x40; ++adr) {
            radio->Image().Byte(adr, static_cast<std::uint8_t>(adr * 3 + 1));
        }
        test::Attach(rig.port, *radio, now);
    }
    // Runs the operation to its end; the last error report, if any.
    Report Failure() {
        rig.window.reports.clear();
        rig.RunUntilIdle();
        EXPECT_FALSE(seq.OpRunning());
        EXPECT_EQ(seq.Operation(), clsCmcVep3Sequence::kOpNone);
        return rig.window.reports.empty() ? Report{} : rig.window.reports.back();
    }
};

TEST_F(Sequencer, CloneReadFillsTheImageAndTheHoldTimeReleasesThePort) {
    Connect("", 0x0100, 0x05);  // a later revision may still be read
    seq.comHoldReload(3000);
    seq.easyCloneRead();
    EXPECT_EQ(Failure(), Report{});
    EXPECT_EQ(rig.radio.radionameS(), "0100");  // the transceiver's own from now on
    EXPECT_EQ(rig.radio.eepImage().ReadBlock(0, 3), (Bytes{1, 4, 7}));
    EXPECT_EQ(rig.radio.eepImage().ReadByte(0x3F), 190);
    for (int ms = 50; ms <= 3100; ms += 50) {
        rig.clock.Advance(50);
        rig.Tick();
        EXPECT_EQ(rig.com.comOpen(), ms < 3000) << ms;
    }

    seq.comHoldReload(0);
    seq.easySendE8NoAnswer("083146");
    EXPECT_EQ(Failure(), Report{});
    EXPECT_EQ(radio->Image().Byte(274), 0x1F);
    rig.clock.Advance(60000);
    rig.Tick();
    EXPECT_TRUE(rig.com.comOpen());  // no hold time: the port stays open
}

TEST_F(Sequencer, EachOperationFailsOrFinishesWithTheRightReport) {
    Connect("", 0x0100, 0x05);
    seq.easyCloneWrite();  // needs exactly revision 04
    EXPECT_EQ(Failure(), (Report{false, false, LinkError::None, SequenceError::RevisionUnfit}));
    EXPECT_FALSE(rig.com.comOpen());

    Connect();
    rig.radio.eepImage().FillBlock(0x100, 0x5A, 0x40);
    rig.radio.cloneWriteAdrList_Clear();
    rig.radio.cloneWriteAdrList_Add(0x100, 0x13F);
    seq.easyCloneWrite();
    EXPECT_EQ(Failure(), Report{});
    EXPECT_EQ(radio->Image().Byte(0x13F), 0x5A);

    Connect("wrong-model", 0x0100);
    seq.easyCloneRead();
    EXPECT_EQ(Failure(), (Report{false, false, LinkError::None, SequenceError::WrongModel}));
    EXPECT_EQ(rig.radio.radionameS(), "0100");  // replaced before the failure
    EXPECT_FALSE(rig.com.comOpen());

    rig.window.legalSubs.clear();
    seq.easyCloneRead();
    EXPECT_EQ(Failure().sequencerError, SequenceError::SubNameRefused);

    Connect("no-answer");
    seq.easyCloneRead();
    EXPECT_EQ(Failure(), (Report{false, false, LinkError::NoAnswer, SequenceError::DriverError}));

    Connect();
    // Asking for an answer and then sending without one drops the request for the answer.
    seq.easySendE8ReqAnswer("033034");
    seq.easySendE8NoAnswer("083146");
    EXPECT_FALSE(seq.e8AnsRequired());
    EXPECT_EQ(Failure(), Report{});

    Connect("no-answer");
    rig.port.written.clear();
    seq.easySendE8ReqAnswer("033034");  // sent three times in all
    EXPECT_EQ(Failure(), (Report{false, false, LinkError::NoAnswer, SequenceError::None}));
    EXPECT_EQ(rig.port.written.size(), 3 * 13u);
    seq.Operation(clsCmcVep3Sequence::kOpIdentify);
    seq.start();
    // Identify only never fails by itself: the tick reports the driver's error.
    EXPECT_EQ(Failure(), (Report{false, false, LinkError::NoAnswer, SequenceError::None}));
}

}  // namespace
}  // namespace quorvane
