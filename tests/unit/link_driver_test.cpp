#include <gtest/gtest.h>

#include "protocol/common.h"
#include "protocol/link_driver.h"
#include "sim/sim_frame.h"
#include "support/link_rig.h"

namespace quorvane {
namespace {

const Bytes kIdentify{0xE0, 0x85, 0x37, 0x00, 0x00};
const Bytes kE8{0xE8, 0x85, 0x37, 0x02, 0x00, 0x31, 0x46};

// A frame from the transceiver, its payload given as hexadecimal text.
Bytes Radio(const std::string& payloadHex) {
    return sim::ToProgram(HexToBytes(payloadHex));
}
Bytes Identity(Int32 end) {
    return sim::ToProgram(sim::IdentityPayload({.cloneEnd = end}));
}
// A clone data frame from the record's bytes as hexadecimal text.
Bytes Record(const std::string& recordHex) {
    return sim::ToProgram(sim::CloneDataPayload(HexToBytes(recordHex)));
}

class LinkDriver : public ::testing::Test {
  protected:
    test::LinkRig rig{false};
    clsCmcVep3Drv& drv = rig.driver;
    clsCmcEeprom image;

    void SetUp() override {
        rig.com.comOpen(true);
        drv.myEep(&image);
    }
    // Starts an exchange and returns the frame written; echoes it unless told not to.
    Bytes Start(Int16 mode, const Bytes& payload, bool echo = true, bool answer = false) {
        rig.port.written.clear();
        drv.workMode(mode);
        drv.waitAnswer(drv.waitAnswer() || answer);
        EXPECT_EQ(drv.Send(payload), 0);
        if (echo) {
            drv.read(rig.port.written);
        }
        return rig.port.written;
    }
    void After(Int32 ms) {
        rig.clock.Advance(ms);
        drv.task();
    }
};

TEST_F(LinkDriver, FramesOnePayloadAtATimeAndOnlyWithRoomToSend) {
    EXPECT_EQ(Start(1, kIdentify, false), HexToBytes("FEFEEEEFE085370000FD"));
    EXPECT_TRUE(drv.Running());
    EXPECT_EQ(drv.Send(kIdentify), 1);  // refused while the first waits
    EXPECT_EQ(Len(rig.port.written), 10);
    drv.Reset();
    rig.port.outBufferCount = 768;  // of 1024
    EXPECT_FALSE(drv.SendEnable());
    rig.port.outBufferCount = 767;
    EXPECT_TRUE(drv.SendEnable());
}

TEST_F(LinkDriver, AnIdentifyWaitsForTheLineToFallSilentAndNeverMeetsAStream) {
    drv.workMode(1);
    rig.port.written.clear();
    ASSERT_EQ(drv.SendWhenQuiet(kIdentify), 0);
    EXPECT_TRUE(drv.Running());
    for (int ms = 100; ms <= 2900; ms += 100) {  // clone data every 100 ms: nothing goes out
        rig.clock.Advance(100);
        drv.read(Record("0100015500"));
        drv.task();
    }
    EXPECT_TRUE(rig.port.written.empty());
    After(99);
    EXPECT_TRUE(drv.Running());
    After(1);  // 3000 ms and still sending
    EXPECT_EQ(drv.nowError(), LinkError::LineBusy);
    EXPECT_TRUE(rig.port.written.empty());

    drv.Reset();
    drv.workMode(1);
    ASSERT_EQ(drv.SendWhenQuiet(kIdentify), 0);
    After(150);
    drv.read(Record("0100015500"));  // the last of a stream
    After(199);
    EXPECT_TRUE(rig.port.written.empty());
    After(1);  // 200 ms of silence: the identify goes out as any other
    EXPECT_EQ(rig.port.written, HexToBytes("FEFEEEEFE085370000FD"));
    EXPECT_EQ(drv.waitState(), 1);
    After(999);
    EXPECT_TRUE(drv.Running());
    After(1);
    EXPECT_EQ(drv.nowError(), LinkError::NoEcho);
    EXPECT_EQ(Len(rig.port.written), 10);

    rig.com.comOpen(false);  // a closed port refuses at once, as Send does
    EXPECT_EQ(drv.SendWhenQuiet(kIdentify), 1);
    EXPECT_FALSE(drv.Running());
}

TEST_F(LinkDriver, StrayBytesAroundAnExchangeNeverMakeAFrameGoOutAgain) {
    // After the echo, a terminator before any frame start drops the whole batch, the answer
    // behind it too: no answer at 1200 ms, and an identify is never resent.
    const Bytes frame = Start(1, kIdentify);
    Bytes batch = HexToBytes("3430FD");
    const Bytes answer = Identity(0x7FDF);
    batch.insert(batch.end(), answer.begin(), answer.end());
    drv.read(batch);
    After(1199);
    EXPECT_TRUE(drv.Running());
    After(1);
    EXPECT_EQ(drv.nowError(), LinkError::NoAnswer);
    EXPECT_EQ(rig.port.written, frame);
    // An unanswered E8 with "46 FD" after each echo is sent three times in all.
    drv.Reset();
    drv.retryCount(2);
    const Bytes e8 = Start(5, kE8, false, true);
    for (int round = 0; round < 3; ++round) {
        drv.read(e8);
        drv.read(HexToBytes("46FD"));
        After(1200);
    }
    EXPECT_EQ(drv.nowError(), LinkError::NoAnswer);
    EXPECT_EQ(rig.port.written.size(), 3 * e8.size());
    // An echo with one byte inserted is no echo: error 1 at 1000 ms, sent once.
    drv.Reset();
    Bytes inserted = Start(1, kIdentify, false);
    inserted.insert(inserted.begin() + 5, 0x46);
    drv.read(inserted);
    drv.read(answer);
    After(1000);
    EXPECT_EQ(drv.nowError(), LinkError::NoEcho);
    EXPECT_EQ(Len(rig.port.written), 10);
}

TEST(LinkDriverBadInputEcho, APeerEchoingGarbageEndsWithNoEcho) {
    test::LinkRig rig(false);
    rig.com.comOpen(true);
    rig.port.onOutput = [&](const Bytes& b) {
        Bytes garbled = b;
        garbled[4] ^= 0x01;
        rig.port.Queue(garbled);
        rig.port.Queue(Identity(0x7FDF));
    };
    rig.driver.workMode(1);
    ASSERT_EQ(rig.driver.Send(kIdentify), 0);
    rig.Tick();
    EXPECT_EQ(rig.driver.waitState(), 1);
    rig.clock.Advance(1000);
    rig.Tick();
    ASSERT_EQ(rig.window.reports.size(), 1u);
    EXPECT_EQ(rig.window.reports[0].lastError, LinkError::NoEcho);
    EXPECT_FALSE(rig.com.comOpen());
    EXPECT_EQ(Len(rig.port.written), 10);
}

TEST_F(LinkDriver, EchoWaitIs1000AndAnswerWait1200MillisecondsWithTheResendsAllowed) {
    Start(1, kIdentify, false);
    After(999);
    EXPECT_TRUE(drv.Running());
    After(1);
    EXPECT_EQ(drv.nowError(), LinkError::NoEcho);
    const Bytes frame = Start(1, kIdentify, false);
    drv.read(Bytes(frame.begin(), frame.begin() + 4));  // the echo in two batches
    After(999);
    drv.read(Bytes(frame.begin() + 4, frame.end()));
    After(1199);
    EXPECT_TRUE(drv.Running());
    After(1);  // identification gets no resend
    EXPECT_EQ(drv.lastError(), LinkError::NoAnswer);
    drv.Reset();  // clears the latched failure, not the last error
    EXPECT_FALSE(drv.linkFailed());
    EXPECT_EQ(drv.lastError(), LinkError::NoAnswer);

    // An unanswered E8 with two resends allowed is sent three times in all.
    drv.retryCount(2);
    const Bytes e8 = Start(5, kE8, false, true);
    for (int sent = 1; sent <= 3; ++sent) {
        EXPECT_EQ(rig.port.written.size(), sent * e8.size());
        drv.read(e8);
        After(1200);
    }
    EXPECT_EQ(drv.nowError(), LinkError::NoAnswer);
    EXPECT_EQ(rig.port.written.size(), 3 * e8.size());
}

TEST_F(LinkDriver, IdentityAnswerGivesTheRoundedEndAddress) {
    Bytes batch = Start(1, kIdentify, false);
    const Bytes answer = Identity(0x7FDF);
    batch.insert(batch.end(), answer.begin(), answer.end());
    drv.read(batch);  // echo and answer in one batch
    EXPECT_FALSE(drv.Running());
    EXPECT_EQ(drv.EndAddress(), 32736);
    for (const auto& [end, expected] : {std::pair{0x7FE0, 32752}, {0xFFFF, 32752}, {0x0005, 16}}) {
        Start(1, kIdentify);
        drv.read(Identity(end));
        EXPECT_EQ(drv.EndAddress(), expected) << end;
    }
    Bytes shortAnswer = sim::IdentityPayload({.cloneEnd = 0x7FDF});
    shortAnswer.pop_back();  // its length byte no longer fits
    Start(1, kIdentify);
    drv.read(sim::ToProgram(shortAnswer));
    EXPECT_EQ(drv.nowError(), LinkError::BadAnswer);
    // The model and sub identifier must read as a number, as "8537" and "0200" do.
    EXPECT_EQ(std::vector({IsNumericText("85370200"), IsNumericText("8E37"), IsNumericText("8D37"),
                           IsNumericText("8A37"), IsNumericText("8EE7"), IsNumericText("")}),
              std::vector({true, true, true, false, false, false}));
}

TEST_F(LinkDriver, CloneReadStoresEachRecordAndChecksTheCount) {
    Start(2, HexToBytes("E285370200"));
    drv.read(Record("000003010203F7"));
    drv.Reset();
    Start(1, kIdentify);
    drv.read(Identity(0x7FDF));  // the frame count starts again
    Start(2, HexToBytes("E285370200"));
    drv.read(Record("01200241425A"));
    After(1100);  // each data frame restarts the answer wait
    drv.read(Record("000003010203F7"));
    After(1100);
    drv.read(sim::ToProgram(sim::CloneEndPayload(2)));
    EXPECT_TRUE(!drv.Running() && drv.nowError() == LinkError::None);
    EXPECT_EQ(drv.lastEeAdr(), 2);
    EXPECT_EQ(image.ReadBlock(0, 3), (Bytes{1, 2, 3}));
    EXPECT_EQ(image.ReadBlock(0x120, 2), (Bytes{0x41, 0x42}));

    const std::pair<const char*, LinkError> bad[] = {
        {"01200241425B", LinkError::BadAnswer},           // checksum off by one
        {"000002010203F8", LinkError::BadAnswer},         // count 2 with three data bytes
        {"7FE00100A0", LinkError::CloneDataNotStorable},  // outside the image
        {"000003010203F7", LinkError::FrameCountWrong}};  // more than the end frame counts
    for (const auto& [record, error] : bad) {
        Start(2, HexToBytes("E285370200"));
        drv.read(Record(record));
        drv.read(sim::ToProgram(sim::CloneEndPayload(2)));
        EXPECT_EQ(drv.nowError(), error) << record;
    }
    EXPECT_EQ(image.ReadByte(0), 1);  // what came before stays
}

TEST_F(LinkDriver, ForeignFramesAndStrayBytesAreIgnoredAndBadAnswersRefused) {
    drv.read(Identity(0x7FDF));  // idle: dropped
    Start(1, kIdentify);
    drv.read(HexToBytes("0102FDFE"));  // a terminator before any frame: the batch goes
    drv.read(sim::BuildFrame(0xEE, 0xEF, HexToBytes("E1")));  // the program's own addresses
    drv.read(Radio("E0"));                                    // a command not awaited
    EXPECT_EQ(drv.rxBufSize(), 0);
    drv.read(HexToBytes("FE" + std::string(600, '4')));
    EXPECT_EQ(drv.rxBufSize(), 256);  // only the last 256 bytes are kept
    After(1200);
    EXPECT_EQ(drv.nowError(), LinkError::NoAnswer);
    EXPECT_TRUE(drv.ansInfo().empty());
    // Identifiers are decimal digits: a letter in the model makes a bad answer.
    Start(1, kIdentify);
    drv.read(sim::ToProgram(sim::IdentityPayload({.model = 0xA537})));
    EXPECT_EQ(drv.nowError(), LinkError::BadAnswer);
    drv.nowError(LinkError::None);
    Start(1, kIdentify);  // an E or D between digits reads as an exponent: still numeric
    drv.read(sim::ToProgram(sim::IdentityPayload({.model = 0x8E37})));
    EXPECT_EQ(drv.nowError(), LinkError::None);
    // After a whole frame, a terminator outside any frame drops the rest of its batch.
    Start(5, kE8, true, true);
    Bytes batch = Radio("E0");
    for (const Bytes& part : {HexToBytes("01FD"), Radio("E8853702003141")}) {
        batch.insert(batch.end(), part.begin(), part.end());
    }
    drv.read(batch);
    EXPECT_TRUE(drv.Running());
    // A frame cut short is dropped at the next frame start; the whole frame after it counts.
    const Bytes cut = HexToBytes("FEFEEFEEE8853702");
    drv.read(cut);
    drv.read(Radio("E8853702003141"));
    EXPECT_TRUE(!drv.Running() && drv.nowError() == LinkError::None);
    Start(5, kE8, true, true);  // an answer belongs to its request only
    EXPECT_TRUE(drv.varLastE8Answer().empty());
    drv.read(Radio("E8853702003141"));
    // An E8 answer must carry numeric identifiers and repeat the first command byte.
    for (const char* wrong : {"E885370200", "E8853702003241", "E88537A2003141"}) {
        Start(5, kE8, true, true);
        drv.read(Radio(wrong));
        EXPECT_EQ(drv.nowError(), LinkError::BadAnswer) << wrong;
    }
}

TEST_F(LinkDriver, CloneWriteSendsEachFrameAfterTheEchoOfThePreviousAndTakesTheResult) {
    image.WriteBlock(0x100, {1, 2, 3});
    drv.sizDataOfPacket(2);
    // Records 0100 02 01 02 FA and 0102 01 03 F9, then the signature.
    const Bytes expected = HexToBytes(
        "FEFEEEEFE385370200FD FEFEEEEFE4303130303032303130324641FD "
        "FEFEEEEFE430313032303130334639FD "
        "FEFEEEEFE54D697276616B20436FFD");
    for (const std::string result : {"E600", "E601", "E6", ""}) {
        drv.cloneWriteAdrList("0100-0102,");
        Start(3, HexToBytes("E385370200"), false);
        Bytes sent;
        for (int frame = 0; frame < 4; ++frame) {
            const Bytes last = std::exchange(rig.port.written, {});
            sent.insert(sent.end(), last.begin(), last.end());
            rig.port.outBufferCount = result.empty() && frame == 2 ? 1024 : 0;  // no room
            drv.read(last);
            if (frame == 1) {
                EXPECT_EQ(drv.lastEeAdr(), 0x102);  // the last address sent
            }
        }
        if (result.empty()) {
            EXPECT_EQ(drv.nowError(), LinkError::FrameNotSent);
            continue;
        }
        EXPECT_EQ(sent, expected);
        drv.read(Radio("E1"));  // no result: waits on
        EXPECT_TRUE(drv.Running());
        drv.read(Radio(result));
        EXPECT_EQ(drv.nowError(), result == "E600"   ? LinkError::None
                                  : result == "E601" ? LinkError::CloneWriteRejected
                                                     : LinkError::BadAnswer);
        EXPECT_FALSE(drv.Running());
    }
}

}  // namespace
}  // namespace quorvane
