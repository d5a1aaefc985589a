// Each kind of frame as literal bytes, checked against both ends: what the program's driver
// writes and takes, and what the stand-in transceiver writes and takes. So the two cannot be
// wrong in the same way unnoticed.
#include <gtest/gtest.h>

#include "protocol/common.h"
#include "support/link_rig.h"
#include "support/sim_wire.h"

namespace quorvane {
namespace {

Bytes (*const Hex)(const std::string&) = HexToBytes;
Bytes Cat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& p : parts) {
        out.insert(out.end(), p.begin(), p.end());
    }
    return out;
}

const Bytes kIdentify = Hex("FEFEEEEFE085370000FD");
// Model 8537, sub 0200, length 56, name, serial 00012345, revision 04 at 43, end "7FDF".
const Bytes kIdentity =
    Hex("FEFEEFEEE185370200 38 54414D534B4F52202020202020202020 3030303132333435 "
        "00000000000000000000 04 00000000000000000000000000000000 37464446 FD");
const Bytes kCloneRead = Hex("FEFEEEEFE285370200FD");
// Address 0x0120, data 41 42, checksum 5A: the text "01200241425A".
const Bytes kRecordFromProgram = Hex("FEFEEEEFE43031323030323431343235 41FD");
const Bytes kRecordFromRadio = Hex("FEFEEFEEE43031323030323431343235 41FD");
// Address 0, data 41 42, checksum 7B.
const Bytes kFirstRecordFromRadio = Hex("FEFEEFEEE430303030303234313432 3742FD");
const Bytes kEndOfOneFrame = Hex("FEFEEFEEE54D697276616B20436F 3031FD");
const Bytes kEndOfWrite = Hex("FEFEEEEFE54D697276616B20436F FD");
const Bytes kCloneWrite = Hex("FEFEEEEFE385370200FD");
const Bytes kWriteTaken = Hex("FEFEEFEEE600FD");
// SQL (sub-command 08) to 0x1F, without answer; readout selector 4 with its answer 0x41.
const Bytes kSetSql = Hex("FEFEEEEFE8853702000831 46FD");
const Bytes kReadSd = Hex("FEFEEEEFE8853702000330 34FD");
const Bytes kSdAnswer = Hex("FEFEEFEEE8853702000334 31FD");

TEST(WireFormat, TheProgramWritesAndTakesEachFrame) {
    test::LinkRig rig;
    rig.port.onOutput = [&](const Bytes& frame) {
        rig.port.Queue(frame);
        if (frame == kIdentify) {
            rig.port.Queue(kIdentity);
        } else if (frame == kCloneRead) {
            rig.port.Queue(Cat({kRecordFromRadio, kEndOfOneFrame}));
        } else if (frame == kReadSd) {
            rig.port.Queue(kSdAnswer);
        } else if (frame == kEndOfWrite) {
            rig.port.Queue(kWriteTaken);
        }
    };
    rig.radio.cloneWriteAdrList_Clear();
    rig.radio.cloneWriteAdrList_Add(0x120, 0x121);
    rig.sequence.easyCloneRead();
    rig.RunUntilIdle();
    EXPECT_EQ(rig.radio.eepImage().ReadBlock(0x11F, 4), (Bytes{0, 0x41, 0x42, 0}));
    rig.sequence.easySendE8NoAnswer("083146");
    rig.sequence.easySendE8ReqAnswer("033034");
    rig.RunUntilIdle();
    EXPECT_EQ(rig.driver.varLastE8Answer(), Hex("85370200033431"));
    rig.sequence.easyCloneWrite();  // of 0x0120..0x0121: the request, the record, the end
    rig.RunUntilIdle();
    EXPECT_EQ(rig.port.written, Cat({kIdentify, kCloneRead, kSetSql, kReadSd, kIdentify,
                                     kCloneWrite, kRecordFromProgram, kEndOfWrite}));
    EXPECT_TRUE(rig.window.reports.empty());
}

TEST(WireFormat, TheStandInWritesAndTakesEachFrame) {
    sim::TamskorConfig config;
    config.cloneEnd = 1;
    config.bytesPerFrame = 2;
    sim::TamskorSim radio(config, sim::SimImage{});
    radio.Image().Byte(0, 0x41);
    radio.Image().Byte(1, 0x42);
    sim::SimTime now = 0;
    const auto exchange = [&](const Bytes& request) {
        radio.Receive(request, now);
        return test::Drain(radio, now);
    };
    // Its clone area ends at 0001: the end address text says so.
    EXPECT_EQ(exchange(kIdentify),
              Cat({kIdentify, Bytes(kIdentity.begin(), kIdentity.end() - 5), Hex("30303031FD")}));
    EXPECT_EQ(exchange(kCloneRead), Cat({kCloneRead, kFirstRecordFromRadio, kEndOfOneFrame}));
    EXPECT_EQ(exchange(kSetSql), kSetSql);
    EXPECT_EQ(radio.Image().Byte(274), 0x1F);
    const Bytes readout = exchange(kReadSd);
    ASSERT_EQ(readout.size(), kReadSd.size() * 2);
    EXPECT_EQ(Bytes(readout.begin(), readout.begin() + 23),
              Cat({kReadSd, Hex("FEFEEFEEE88537020003")}));

    EXPECT_EQ(exchange(kCloneWrite), kCloneWrite);
    EXPECT_EQ(exchange(kRecordFromProgram), kRecordFromProgram);
    EXPECT_EQ(exchange(kEndOfWrite), Cat({kEndOfWrite, kWriteTaken}));
    EXPECT_EQ(radio.Image().Word(0x120), 0x4142);
    EXPECT_EQ(radio.Image().Word(0), 0x4142);  // what the write did not cover is kept
}

}  // namespace
}  // namespace quorvane
