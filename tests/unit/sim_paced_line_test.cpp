#include <gtest/gtest.h>

#include "sim/paced_line.h"

namespace quorvane::sim {
namespace {

TEST(SimPacedLine, ThousandBytesTakeTheirWireTime) {
    PacedLine line(9600);
    const SimTime end = line.Send(Bytes(1000, 0x55), 0);
    EXPECT_EQ(end, 1041666);                        // 1000 bytes x 10 bits / 9600 baud = 1041.7 ms
    EXPECT_EQ(line.TakeDue(FromMs(1)).size(), 0u);  // the first byte needs 1.04 ms
    EXPECT_EQ(line.TakeDue(FromMs(2)).size(), 1u);
    EXPECT_EQ(line.TakeDue(FromMs(1041)).size(), 998u);
    EXPECT_EQ(line.NextDue(), 1041666);
    EXPECT_EQ(line.TakeDue(FromMs(1042)).size(), 1u);
    EXPECT_FALSE(line.NextDue());

    PacedLine fast(38400);
    EXPECT_EQ(fast.Send(Bytes(1000, 0x55), FromMs(100)), FromMs(100) + 260416);
}

TEST(SimPacedLine, SendsQueueBehindEachOtherAndRespectTheirEarliestStart) {
    PacedLine line(9600);
    line.Send(Bytes{1, 2}, 0);                                 // due 1041, 2083
    EXPECT_EQ(line.Send(Bytes{3}, 0), 2083 + 1041);            // waits for the transmitter
    EXPECT_EQ(line.Send(Bytes{4}, FromMs(10)), 10000 + 1041);  // starts no earlier than asked
    EXPECT_EQ(line.FreeAt(), 11041);
    EXPECT_EQ(line.Send(Bytes{}, FromMs(20)), FromMs(20));
    EXPECT_EQ(line.TakeDue(FromMs(20)), (Bytes{1, 2, 3, 4}));
}

TEST(SimPacedLine, PassedBytesKeepTheirOwnTimeAndTheLineStaysInOrder) {
    PacedLine line(9600);
    line.Send(Bytes{0xA1, 0xA2, 0xA3}, 0);  // due 1041, 2083, 3125
    line.Pass(0xE0, 2083);                  // after the byte already due then
    line.Pass(0xE1, 500);
    EXPECT_EQ(line.FreeAt(), 3125);  // passing bytes takes no transmitter time
    const auto timed = line.TakeDueTimed(FromMs(5));
    ASSERT_EQ(timed.size(), 5u);
    EXPECT_EQ(timed[0], (std::pair<SimTime, std::uint8_t>{500, 0xE1}));
    EXPECT_EQ(timed[1].second, 0xA1);
    EXPECT_EQ(timed[2].second, 0xA2);
    EXPECT_EQ(timed[3], (std::pair<SimTime, std::uint8_t>{2083, 0xE0}));
    EXPECT_EQ(timed[4].second, 0xA3);
}

TEST(SimPacedLine, DropAfterSilencesTheTransmitter) {
    PacedLine line(9600);
    line.Send(Bytes(10, 0x11), 0);
    line.DropAfter(3125);
    EXPECT_EQ(line.Queued(), 3u);
    EXPECT_EQ(line.FreeAt(), 3125);
    EXPECT_THROW(PacedLine(100), std::invalid_argument);
}

}  // namespace
}  // namespace quorvane::sim
