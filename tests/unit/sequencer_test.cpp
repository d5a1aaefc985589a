#include <gtest/gtest.h>

#include "protocol/common.h"
#include "protocol/sequencer.h"
#include "support/frames.h"
#include "support/link_rig.h"
#include "support/scripted_peer.h"

namespace quorvane {
namespace {

class Sequencer : public ::testing::Test {
  protected:
    test::LinkRig rig;
    test::ScriptedPeer peer{rig.port};
    clsCmcVep3Sequence& seq = rig.sequence;

    void SetUp() override {
        peer.revision = 0x05;
        peer.image.resize(32736);
        for (std::size_t i = 0; i < peer.image.size(); ++i) {
            peer.image[i] = static_cast<std::uint8_t>((i * 31) ^ (i >> 8));
        }
        peer.endAddress = "7FDF";
    }
};

TEST_F(Sequencer, CloneReadIdentifiesAdoptsTheSubIdentifierAndFillsTheImage) {
    seq.easyCloneRead();
    // Starting with the driver free sends the identify command at once.
    ASSERT_EQ(peer.heard.size(), 1u);
    EXPECT_EQ(peer.heard[0], (Bytes{0xE0, 0x85, 0x37, 0x00, 0x00}));
    EXPECT_TRUE(seq.OpRunning());
    EXPECT_TRUE(rig.com.comOpen());

    rig.RunUntilIdle();
    EXPECT_FALSE(seq.OpRunning());
    EXPECT_EQ(seq.Operation(), 0);
    EXPECT_EQ(seq.error(), 0);
    EXPECT_TRUE(rig.window.reports.empty());
    EXPECT_EQ(rig.radio.radionameS(), "0100");
    EXPECT_EQ(seq.ansNameM(), "8537");
    EXPECT_EQ(seq.ansNameS(), "0100");
    ASSERT_EQ(peer.heard.size(), 2u);
    // The read command already carries the transceiver's own sub identifier.
    EXPECT_EQ(peer.heard[1], (Bytes{0xE2, 0x85, 0x37, 0x01, 0x00}));
    EXPECT_EQ(rig.radio.eepImage().data(), peer.image);
    EXPECT_EQ(rig.driver.lastEeAdr(), 32735);
    EXPECT_EQ(rig.driver.EndAddress(), 32736);
    EXPECT_TRUE(rig.com.comOpen());  // no automatic release by default
}

TEST_F(Sequencer, CloneReadInSmallBatches) {
    rig.port.maxChunk = 7;
    peer.image.resize(512);
    seq.easyCloneRead();
    rig.RunUntilIdle(100000);
    EXPECT_EQ(seq.error(), 0);
    EXPECT_TRUE(rig.window.reports.empty());
    EXPECT_EQ(rig.radio.eepImage().ReadBlock(0, 512), peer.image);
}

TEST_F(Sequencer, CloneWriteRefusesARevisionOtherThan4) {
    seq.easyCloneWrite();
    rig.RunUntilIdle();
    EXPECT_EQ(seq.error(), 3);
    ASSERT_EQ(rig.window.reports.size(), 1u);
    EXPECT_EQ(rig.window.reports[0].sequencerError, 3);
    EXPECT_EQ(rig.window.reports[0].lastError, 0);
    EXPECT_FALSE(rig.com.comOpen());
    EXPECT_EQ(peer.heard.size(), 1u);  // nothing after the identify command
}

TEST_F(Sequencer, CloneReadRefusesARevisionBelow4) {
    peer.revision = 0x03;
    seq.easyCloneRead();
    rig.RunUntilIdle();
    EXPECT_EQ(seq.error(), 3);
    ASSERT_EQ(rig.window.reports.size(), 1u);
}

TEST_F(Sequencer, WrongModelFailsAfterTheSubIdentifierWasAdopted) {
    peer.model = "8538";
    seq.easyCloneRead();
    rig.RunUntilIdle();
    EXPECT_EQ(seq.error(), 1);
    EXPECT_EQ(rig.radio.radionameS(), "0100");
    ASSERT_EQ(rig.window.reports.size(), 1u);
    EXPECT_EQ(rig.window.reports[0].sequencerError, 1);
    EXPECT_FALSE(rig.com.comOpen());
}

TEST_F(Sequencer, RefusedSubIdentifierIsError2) {
    peer.sub = "0300";
    seq.easyCloneRead();
    rig.RunUntilIdle();
    EXPECT_EQ(seq.error(), 2);
    EXPECT_EQ(rig.radio.radionameS(), "0200");
    ASSERT_EQ(rig.window.subNamesAsked.size(), 1u);
    EXPECT_EQ(rig.window.subNamesAsked[0], "0300");
}

TEST_F(Sequencer, ShortIdentityAnswerIsABadAnswer) {
    peer.identityLength = 40;
    seq.easyCloneRead();
    rig.RunUntilIdle();
    ASSERT_EQ(rig.window.reports.size(), 1u);
    EXPECT_EQ(rig.window.reports[0].lastError, 3);  // "Illegal data." comes first
    EXPECT_EQ(rig.window.reports[0].sequencerError, 4);
    EXPECT_FALSE(seq.OpRunning());
}

TEST_F(Sequencer, NoAnswerIsReportedOnceAndEverythingIsReset) {
    peer.answerIdentify = false;
    seq.easyCloneRead();
    rig.RunUntilIdle();
    ASSERT_EQ(rig.window.reports.size(), 1u);
    EXPECT_EQ(rig.window.reports[0].lastError, 2);
    EXPECT_EQ(rig.driver.nowError(), 0);
    EXPECT_EQ(rig.driver.lastError(), 2);  // kept until the next command is prepared
    EXPECT_FALSE(rig.com.comOpen());
    EXPECT_EQ(seq.Operation(), 0);
}

TEST_F(Sequencer, FailureLeavesTheSequencerIdleOnReturnFromTheSameTask) {
    peer.model = "1234";
    seq.easyCloneRead();
    // Deliver the echo and the identity answer without a tick.
    rig.driver.read(rig.port.Input());
    ASSERT_FALSE(rig.driver.Running());
    seq.task();
    EXPECT_FALSE(seq.OpRunning());
    EXPECT_EQ(seq.Operation(), 0);
    EXPECT_EQ(rig.window.reports.size(), 1u);
}

TEST_F(Sequencer, IdentifyOnlyNeverFailsByItself) {
    peer.model = "1234";
    seq.Operation(clsCmcVep3Sequence::kOpIdentify);
    seq.start();
    rig.RunUntilIdle();
    EXPECT_TRUE(rig.window.reports.empty());
    EXPECT_EQ(seq.ansNameM(), "1234");
    EXPECT_EQ(seq.Operation(), 0);
}

TEST_F(Sequencer, HoldTimerReleasesThePort) {
    seq.comHoldReload(3000);
    seq.easySendE8NoAnswer("023031");
    rig.RunUntilIdle();
    ASSERT_TRUE(rig.com.comOpen());
    // The hold time counts from the last tick on which an operation was set.
    for (int elapsed = 50; elapsed < 3000; elapsed += 50) {
        rig.clock.Advance(50);
        rig.Tick();
        ASSERT_TRUE(rig.com.comOpen()) << elapsed;
    }
    rig.clock.Advance(50);
    rig.Tick();
    EXPECT_FALSE(rig.com.comOpen());
    EXPECT_TRUE(rig.window.reports.empty());

    seq.comHoldReload(0);
    seq.easySendE8NoAnswer("023031");
    rig.RunUntilIdle();
    for (int i = 0; i < 200; ++i) {
        rig.clock.Advance(50);
        rig.Tick();
    }
    EXPECT_TRUE(rig.com.comOpen());
}

TEST_F(Sequencer, E8WithAndWithoutAnswer) {
    seq.easySendE8ReqAnswer("033030");
    EXPECT_TRUE(seq.e8AnsRequired());
    ASSERT_EQ(peer.heard.size(), 1u);
    EXPECT_EQ(peer.heard[0], (Bytes{0xE8, 0x85, 0x37, 0x02, 0x00, 0x03, 0x30, 0x30}));
    EXPECT_TRUE(rig.driver.Running());
    // Asked again while the first waits: it replaces the operation and waits its turn.
    seq.easySendE8NoAnswer("023031");
    EXPECT_FALSE(seq.e8AnsRequired());
    EXPECT_FALSE(seq.OpRunning());  // pending
    EXPECT_EQ(peer.heard.size(), 1u);
    rig.Tick();  // the answer completes the first exchange; the second goes out
    ASSERT_EQ(peer.heard.size(), 2u);
    EXPECT_EQ(peer.heard[1], (Bytes{0xE8, 0x85, 0x37, 0x02, 0x00, 0x02, 0x30, 0x31}));
    EXPECT_FALSE(rig.driver.Running());  // no answer awaited
    // The next command's workMode empties the kept answer.
    EXPECT_TRUE(rig.driver.varLastE8Answer().empty());
    rig.RunUntilIdle();
    EXPECT_TRUE(rig.window.reports.empty());
}

TEST_F(Sequencer, E8AnswerIsKeptForTheOperations) {
    seq.easySendE8ReqAnswer("033030");
    rig.RunUntilIdle();
    EXPECT_TRUE(rig.window.reports.empty());
    EXPECT_EQ(rig.driver.varLastE8Answer(), (Bytes{0x85, 0x37, 0x02, 0x00, 0x03, 0x30, 0x31}));
}

TEST_F(Sequencer, CloneWriteSendsTheListedRanges) {
    peer.revision = 0x04;
    for (Int32 a = 0; a < 0x40; ++a) {
        rig.radio.eepImage().WriteByte(a, static_cast<std::uint8_t>(a + 0x10));
    }
    rig.radio.cloneWriteAdrList_Clear();
    rig.radio.cloneWriteAdrList_Add(0, 0x3F);
    seq.easyCloneWrite();
    rig.RunUntilIdle();
    EXPECT_TRUE(rig.window.reports.empty());
    EXPECT_EQ(seq.error(), 0);
    ASSERT_EQ(peer.writtenRecords.size(), 4u);
    EXPECT_EQ(peer.writtenRecords[3],
              test::CloneRecord(0x30, rig.radio.eepImage().ReadBlock(0x30, 16)));
    EXPECT_EQ(peer.heard[1], (Bytes{0xE3, 0x85, 0x37, 0x01, 0x00}));
    EXPECT_EQ(peer.heard.back()[0], 0xE5);
    EXPECT_EQ(rig.radio.cloneWriteAdrList(), "0000-003F,");  // the driver works on a copy
}

TEST_F(Sequencer, E8ResendsTwiceThenFails) {
    peer.answerE8 = false;
    seq.easySendE8ReqAnswer("033030");
    rig.RunUntilIdle();
    EXPECT_EQ(peer.heard.size(), 3u);
    ASSERT_EQ(rig.window.reports.size(), 1u);
    EXPECT_EQ(rig.window.reports[0].lastError, 2);
}

TEST_F(Sequencer, PortThatCannotOpenIsReported) {
    rig.port.failOpen = true;
    seq.ComPortNo(3);
    seq.easyCloneRead();
    rig.RunUntilIdle();
    ASSERT_EQ(rig.window.reports.size(), 1u);
    EXPECT_TRUE(rig.window.reports[0].errCannotOpen);
    EXPECT_EQ(rig.com.comPortNum(), 1);  // the port form was reset after the report
    EXPECT_EQ(seq.ComPortNo(), 3);
    EXPECT_FALSE(rig.com.comOpen());
}

TEST_F(Sequencer, AFrameTheDriverRefusesIsNotASuccess) {
    rig.com.comOpen(true);
    rig.port.outBufferCount = 900;  // transmit queue nearly full
    seq.easySendE8NoAnswer("023031");
    rig.RunUntilIdle();
    EXPECT_TRUE(peer.heard.empty());
    ASSERT_EQ(rig.window.reports.size(), 1u);
    EXPECT_EQ(rig.window.reports[0].lastError, 8);
}

TEST_F(Sequencer, ResetAndCreationState) {
    EXPECT_EQ(seq.ComPortNo(), 1);
    EXPECT_EQ(seq.comHoldReload(), 0);
    EXPECT_FALSE(seq.OpRunning());
    EXPECT_EQ(seq.ansNameM(), "");
    seq.easySendE8NoAnswer("023031");
    seq.easyReset(4);
    EXPECT_EQ(seq.ComPortNo(), 4);
    EXPECT_EQ(seq.Operation(), 0);
    EXPECT_EQ(seq.e8HexStrToSend(), "");
    EXPECT_FALSE(rig.com.comOpen());
    // An operation number without steps finishes at once.
    seq.Operation(9);
    seq.start();
    EXPECT_EQ(seq.Operation(), 0);
    EXPECT_FALSE(seq.OpRunning());
}

}  // namespace
}  // namespace quorvane
