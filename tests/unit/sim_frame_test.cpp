#include <gtest/gtest.h>

#include "protocol/common.h"
#include "sim/sim_frame.h"
#include "support/sim_wire.h"

namespace quorvane::sim {
namespace {

const Bytes kCloneWriteFrame = HexToBytes("FEFEEEEFE4303132303032343134323541FD");

TEST(SimFrame, CloneRecordOfTheWorkedExample) {
    const Bytes record = BuildCloneRecord(0x0120, Bytes{0x41, 0x42});
    EXPECT_EQ(record, HexToBytes("01200241425A"));
    EXPECT_EQ(BytesToText(AsciiHex(record)), "01200241425A");
    Bytes payload{kCmdCloneData};
    const Bytes text = AsciiHex(record);
    payload.insert(payload.end(), text.begin(), text.end());
    EXPECT_EQ(BuildFrame(kTransceiverAdr, kProgramAdr, payload), kCloneWriteFrame);
    EXPECT_EQ(RecordChecksum(HexToBytes("0120024142")), 0x5A);
    EXPECT_EQ(RecordChecksum(Bytes{}), 0x00);
}

TEST(SimFrame, ParserCutsTheProgramsFramesWhateverTheBatches) {
    // The frame as the program sends it, in two batches split inside the record text.
    FrameParser parser;
    std::vector<Bytes> frames;
    for (std::size_t i = 0; i < kCloneWriteFrame.size(); ++i) {
        if (auto f = parser.Push(kCloneWriteFrame[i])) {
            frames.push_back(*f);
        }
        EXPECT_EQ(parser.InFrame(), i + 1 < kCloneWriteFrame.size());
    }
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0], HexToBytes("EEEFE4303132303032343134323541"));
    std::string why;
    auto record = ParseCloneRecordText(Bytes(frames[0].begin() + 3, frames[0].end()), &why);
    ASSERT_TRUE(record) << why;
    EXPECT_EQ(record->address, 0x0120);
    EXPECT_EQ(record->data, (Bytes{0x41, 0x42}));

    // Stray bytes between frames are dropped; every FE restarts; FD outside a frame is noise.
    const Bytes stream = HexToBytes("0055FD FEFEEEEFE0853700 00FD 13 FE 01 02 FE FEEEEFE0FD");
    const auto found = test::FramesIn(stream);
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(found[0], HexToBytes("EEEFE08537 0000"));
    EXPECT_EQ(found[1], HexToBytes("EEEFE0"));
}

TEST(SimFrame, OverlongFrameIsDroppedAndTheNextOneStillParses) {
    FrameParser parser;
    parser.Push(kPreamble);
    for (std::size_t i = 0; i <= FrameParser::kMaxContent; ++i) {
        EXPECT_FALSE(parser.Push(0x30));
    }
    EXPECT_FALSE(parser.InFrame());
    EXPECT_FALSE(parser.Push(kEndOfFrame));  // the overlong frame's end makes no frame
    EXPECT_GT(parser.Dropped(), FrameParser::kMaxContent);
    std::optional<Bytes> f;
    for (auto b : HexToBytes("FEFEEEEFE0FD")) {
        f = parser.Push(b);
    }
    ASSERT_TRUE(f);
    EXPECT_EQ(*f, HexToBytes("EEEFE0"));
}

TEST(SimFrame, MalformedRecordsAreRefusedWithTheReason) {
    auto reason = [](const std::string& text) {
        std::string why;
        EXPECT_FALSE(ParseCloneRecordText(AsBytes(text), &why)) << text;
        return why;
    };
    EXPECT_EQ(reason("01200241425"), "odd number of characters");
    EXPECT_EQ(reason("012000"), "too short for address, count and checksum");
    EXPECT_EQ(reason("01200241425G"), "not hexadecimal text");
    EXPECT_EQ(reason("01200341425A"), "count differs from the data length");
    EXPECT_EQ(reason("01200241425B"), "checksum wrong");
    // Lower-case hexadecimal is still a record; no data at all is a record too.
    EXPECT_TRUE(ParseCloneRecordText(AsBytes("01200241425a")));
    auto empty = ParseCloneRecordText(AsBytes("7FDF00A2"));
    ASSERT_TRUE(empty);
    EXPECT_EQ(empty->address, 0x7FDF);
    EXPECT_TRUE(empty->data.empty());
}

TEST(SimFrame, AsciiHexRoundTrip) {
    EXPECT_EQ(FromAsciiHex('8', '0'), 0x80);
    EXPECT_EQ(FromAsciiHex('f', 'E'), 0xFE);
    EXPECT_FALSE(FromAsciiHex('G', '0'));
    EXPECT_FALSE(FromAsciiHex(0x08, '0'));
    EXPECT_EQ(AsciiHex(Bytes{0x7B}), (Bytes{'7', 'B'}));
}

TEST(SimFrame, OneLineDescriptions) {
    auto describe = [](const std::string& wire) {
        const auto frames = test::FramesIn(HexToBytes(wire));
        return frames.empty() ? std::string("no frame") : DescribeFrame(frames[0]);
    };
    EXPECT_EQ(describe("FEFEEEEFE08537 0000FD"), "E0 identify model 8537");
    EXPECT_EQ(describe("FEFEEEEFE885370200083830FD"), "E8 sub 08 value 0x80 (SQL)");
    EXPECT_EQ(describe("FEFEEEEFE885370200033034FD"), "E8 sub 03 readout selector 4 (SD)");
    EXPECT_EQ(describe("FEFEEEEFE885370200003043FD"), "E8 sub 00 channel 12");
    EXPECT_EQ(describe("FEFEEEEFE8853702003146FD"), "E8 sub 31 without a readable value");
    EXPECT_EQ(describe("FEFEEFEEE885370200033742FD"),
              "E8 answer model 8537 sub 0200 to 03 value 0x7B");
    EXPECT_EQ(describe("FEFEEEEFE4303132303032343134323541FD"),
              "E4 record address 0120 bytes 2 checksum ok");
    EXPECT_EQ(describe("FEFEEEEFE4303132303032343134323542FD"), "E4 record, bad: checksum wrong");
    EXPECT_EQ(describe("FEFEEFEEE54D697276616B20436F4646FD"),
              "E5 end of clone read, signature ok, count FF");
    EXPECT_EQ(describe("FEFEEFEEE600FD"), "E6 clone write result 00");
    EXPECT_EQ(describe("FEFE0102E0FD"), "foreign addresses 01 02");
    EXPECT_EQ(describe("FEFEEEFD"), "short frame (1 bytes)");
}

}  // namespace
}  // namespace quorvane::sim
