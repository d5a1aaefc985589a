#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "protocol/common.h"
#include "sim/e8_items.h"
#include "rig/sim_rig.h"
#include "support/sim_wire.h"

namespace quorvane::sim {
namespace {

const Bytes kIdentify = HexToBytes("FEFEEEEFE085370000FD");

class Sink final : public ISerialEventSink {
  public:
    void OnComm(CommEvent event) override { events.push_back(event); }
    std::vector<CommEvent> events;
};

// The port set up as the program's port form sets it up, and opened.
void OpenLikeTheProgram(LoopbackSerialControl& port, const std::string& settings = "9600,N,8,1",
                        std::int32_t threshold = 1) {
    port.DTREnable(true);
    port.RTSEnable(true);
    port.InBufferSize(32760);
    port.OutBufferSize(1024);
    port.RThreshold(threshold);
    port.InputLen(0);
    port.InputMode(1);
    ASSERT_TRUE(port.CommPort(1));
    ASSERT_TRUE(port.Settings(settings));
    ASSERT_TRUE(port.PortOpen(true));
}

TEST(SimLoopback, IdentifyExchangeOnTheHandSetClock) {
    test::SimRig rig;
    Sink sink;
    rig.serial.SetEventSink(&sink);
    OpenLikeTheProgram(rig.serial);
    ASSERT_TRUE(rig.serial.Output(kIdentify));
    EXPECT_EQ(rig.serial.OutBufferCount(), 10);

    // Each byte leaves in 1.04 ms and its echo is back as it arrives.
    rig.Advance(5);
    EXPECT_EQ(rig.serial.OutBufferCount(), 6);
    EXPECT_EQ(rig.serial.InBufferCount(), 4);
    EXPECT_EQ(sink.events, std::vector<CommEvent>{CommEvent::Receive});
    rig.Advance(5);  // 10 ms: 9 bytes out (the tenth is complete at 10.42 ms)
    EXPECT_EQ(rig.serial.InBufferCount(), 9);
    rig.Advance(1);
    EXPECT_EQ(rig.serial.OutBufferCount(), 0);
    EXPECT_EQ(rig.serial.Input(), kIdentify);
    EXPECT_EQ(sink.events.size(), 3u);

    // The answer starts 5 ms after the request's end and takes 66 byte times: 10.42 + 5 +
    // 68.75 = 84.17 ms after sending.
    rig.Advance(73);  // 84 ms
    Bytes got = rig.serial.Input();
    EXPECT_EQ(got.size(), 65u);
    rig.Advance(1);
    const Bytes last = rig.serial.Input();
    got.insert(got.end(), last.begin(), last.end());
    const auto frames = test::FramesIn(got);
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0].size(), 63u);
    EXPECT_EQ(frames[0][2], 0xE1);
    EXPECT_EQ(rig.serial.InBufferCount(), 0);
    EXPECT_EQ(rig.serial.LostBytes(), 0);
}

TEST(SimLoopback, ReceiveEventWaitsForTheThreshold) {
    test::SimRig rig;
    Sink sink;
    rig.serial.SetEventSink(&sink);
    OpenLikeTheProgram(rig.serial, "9600,N,8,1", 1024);
    rig.serial.Output(HexToBytes("FEFEEEEFE285370200FD"));
    rig.Advance(50);
    EXPECT_TRUE(sink.events.empty());  // fewer than 1024 bytes queued
    EXPECT_GT(rig.serial.InBufferCount(), 10);
    for (int i = 0; i < 30 && sink.events.empty(); ++i) {
        rig.Advance(50);
    }
    ASSERT_EQ(sink.events, std::vector<CommEvent>{CommEvent::Receive});
    EXPECT_GE(rig.serial.InBufferCount(), 1024);
    rig.serial.RThreshold(0);  // no receive events at all
    rig.serial.Input();
    rig.Advance(500);
    EXPECT_EQ(sink.events.size(), 1u);
}

TEST(SimLoopback, WholeCloneReadInProcess) {
    TamskorConfig config;
    config.baud = 38400;
    test::SimRig rig(config, SimImage::Generate(77));
    Sink sink;
    rig.serial.SetEventSink(&sink);
    OpenLikeTheProgram(rig.serial, "38400,N,8,1");
    ASSERT_TRUE(rig.serial.Output(HexToBytes("FEFEEEEFE285370200FD")));
    Bytes stream;
    std::int32_t elapsed = 0;
    while (elapsed < 60000) {
        rig.Advance(50);
        elapsed += 50;
        const Bytes in = rig.serial.Input();
        stream.insert(stream.end(), in.begin(), in.end());
        if (!stream.empty() && stream.back() == 0xFD &&
            rig.transceiver.NextEvent() == std::nullopt) {
            break;
        }
    }
    const auto frames = test::FramesIn(stream);
    ASSERT_EQ(frames.size(), 1 + 1023 + 1u);  // echo, data, end
    SimImage copy;
    for (std::size_t i = 1; i + 1 < frames.size(); ++i) {
        auto rec = ParseCloneRecordText(Bytes(frames[i].begin() + 3, frames[i].end()));
        ASSERT_TRUE(rec);
        std::copy(rec->data.begin(), rec->data.end(), copy.data().begin() + rec->address);
    }
    EXPECT_EQ(copy, SimImage::Generate(77));
    // 79 811 bytes at 38400 baud take 20.8 s of the hand-set clock.
    EXPECT_GE(elapsed, 20750);
    EXPECT_LE(elapsed, 20900);
}

TEST(SimLoopback, ClosedPortAndWrongBaudLoseTheBytes) {
    test::SimRig rig;
    EXPECT_FALSE(rig.serial.Output(kIdentify));  // closed
    OpenLikeTheProgram(rig.serial);
    rig.serial.Output(kIdentify);
    rig.Advance(12);  // the echo is in; the answer starts at 16.5 ms
    ASSERT_TRUE(rig.serial.PortOpen(false));
    rig.Advance(100);  // the answer arrives while the port is closed
    EXPECT_EQ(rig.serial.LostBytes(), 66);
    ASSERT_TRUE(rig.serial.PortOpen(true));
    EXPECT_EQ(rig.serial.InBufferCount(), 0);

    test::SimRig mismatch;
    OpenLikeTheProgram(mismatch.serial, "38400,N,8,1");
    mismatch.serial.Output(kIdentify);
    mismatch.Advance(200);
    EXPECT_EQ(mismatch.serial.InBufferCount(), 0);
    EXPECT_EQ(mismatch.transceiver.AnswerFrames(), 0);  // it never understood the request
}

TEST(SimLoopback, ClearingTheTransmitQueueLosesNoBytesOfAHandedOverFrame) {
    test::SimRig rig;
    OpenLikeTheProgram(rig.serial);
    const std::string e8 = "FEFEEEEFE885370200083830FD";  // SQL 0x80, no answer
    rig.serial.Output(HexToBytes(e8));
    ASSERT_TRUE(rig.serial.ClearOutBuffer());
    EXPECT_EQ(rig.serial.OutBufferCount(), 0);
    ASSERT_TRUE(rig.serial.PortOpen(true));  // already open: nothing changes
    rig.serial.Output(HexToBytes(e8));
    EXPECT_EQ(rig.serial.OutBufferCount(), 13);
    rig.Advance(30);
    const Bytes echo = rig.serial.Input();
    EXPECT_EQ(test::FramesIn(echo).size(), 2u);
    EXPECT_EQ(rig.transceiver.Image().Byte(274), 0x80);
}

TEST(SimLoopback, TransmitQueueRoomAndRefusals) {
    test::SimRig rig;
    OpenLikeTheProgram(rig.serial);
    EXPECT_TRUE(rig.serial.Output(Bytes(1000, 0x00)));
    EXPECT_FALSE(rig.serial.Output(Bytes(100, 0x00)));  // 24 bytes of room left
    EXPECT_TRUE(rig.serial.Output(Bytes(24, 0x00)));
    EXPECT_FALSE(rig.serial.CommPort(2));  // not while open
    EXPECT_FALSE(rig.serial.Settings("fast"));
    EXPECT_FALSE(rig.serial.Settings("9600,E,7,1"));
    EXPECT_EQ(rig.serial.Settings(), "9600,N,8,1");
    EXPECT_TRUE(rig.serial.PortOpen(false));
    rig.serial.DeviceAbsent(true);
    EXPECT_FALSE(rig.serial.PortOpen(true));
    EXPECT_FALSE(rig.serial.PortOpen());
    rig.serial.DeviceAbsent(false);
    EXPECT_TRUE(rig.serial.PortOpen(true));
}

TEST(SimLoopback, ReceiveOverflowIsReported) {
    test::SimRig rig;
    Sink sink;
    rig.serial.SetEventSink(&sink);
    OpenLikeTheProgram(rig.serial, "9600,N,8,1", 0);
    rig.serial.InBufferSize(200);
    rig.serial.Output(HexToBytes("FEFEEEEFE285370200FD"));
    rig.Advance(1000);  // nobody reads
    EXPECT_EQ(rig.serial.InBufferCount(), 200);
    EXPECT_EQ(sink.events, std::vector<CommEvent>{CommEvent::RxOver});
    EXPECT_GT(rig.serial.LostBytes(), 0);
}

TEST(SimLoopback, ClockWrapDoesNotStopTheLine) {
    test::SimRig rig;
    rig.clock.Set(INT_MAX - 3);
    OpenLikeTheProgram(rig.serial);
    rig.serial.Output(kIdentify);
    rig.Advance(100);  // across the wrap of the 32-bit count
    EXPECT_EQ(rig.serial.InBufferCount(), 76);
    EXPECT_GE(rig.serial.Now(), FromMs(100));
}

}  // namespace
}  // namespace quorvane::sim
