#include <gtest/gtest.h>

#include "protocol/common.h"
#include "protocol/link_driver.h"
#include "support/frames.h"
#include "support/link_rig.h"
#include "support/scripted_peer.h"

namespace quorvane {
namespace {

using test::Body;
using test::E1Body;
using test::E4Body;
using test::E5Body;
using test::Sent;
using test::Wire;

const Bytes kIdentify{0xE0, 0x85, 0x37, 0x00, 0x00};
const Bytes kCloneRead{0xE2, 0x85, 0x37, 0x02, 0x00};
const Bytes kE8{0xE8, 0x85, 0x37, 0x02, 0x00, 0x31, 0x46};

Bytes Cat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const auto& p : parts) {
        out.insert(out.end(), p.begin(), p.end());
    }
    return out;
}

class LinkDriver : public ::testing::Test {
  protected:
    test::LinkRig rig{false};
    clsCmcVep3Drv& drv = rig.driver;

    void SetUp() override { rig.com.comOpen(true); }

    // Starts an exchange and returns the frame written for it.
    Bytes Start(Int16 mode, const Bytes& payload) {
        rig.port.written.clear();
        drv.workMode(mode);
        EXPECT_EQ(drv.Send(payload), 0);
        return rig.port.written;
    }
    void Expire(Int32 ms) {
        rig.clock.Advance(ms);
        drv.task();
    }
};

TEST_F(LinkDriver, FramesThePayloadAndRunsOneExchangeAtATime) {
    EXPECT_EQ(Start(1, kIdentify),
              (Bytes{0xFE, 0xFE, 0xEE, 0xEF, 0xE0, 0x85, 0x37, 0x00, 0x00, 0xFD}));
    EXPECT_TRUE(drv.Running());
    EXPECT_EQ(drv.waitState(), 1);
    EXPECT_FALSE(drv.SendEnable());

    rig.port.written.clear();
    EXPECT_EQ(drv.Send(kIdentify), 1);  // refused while the first waits
    EXPECT_TRUE(rig.port.written.empty());
}

TEST_F(LinkDriver, PropertiesAndTheirEffects) {
    drv.workMode(5);
    EXPECT_FALSE(drv.waitAnswer());
    drv.waitAnswer(true);
    EXPECT_TRUE(drv.waitAnswer());
    for (Int16 mode : {1, 2, 4}) {
        drv.workMode(mode);
        EXPECT_TRUE(drv.waitAnswer());
    }
    drv.workMode(3);
    EXPECT_FALSE(drv.waitAnswer());
    EXPECT_TRUE(drv.waitEcho());
    drv.workMode(0);
    EXPECT_FALSE(drv.waitEcho());

    drv.cloneWriteAdrList("0000-7FDF,");
    EXPECT_EQ(drv.nextWriteAdr(), 0);
    drv.cloneWriteAdrList("0100-01FF,");
    EXPECT_EQ(drv.nextWriteAdr(), 256);
    drv.cloneWriteAdrList("");  // no range at all: nothing to write
    EXPECT_EQ(drv.nextWriteAdr(), -1);
    EXPECT_EQ(drv.EndAddress(), 32736);
    EXPECT_EQ(drv.echoTimeout(), 1000);
    EXPECT_EQ(drv.answerTimeout(), 1200);
}

TEST_F(LinkDriver, SendEnableNeedsMoreThan256FreeBytes) {
    rig.port.outBufferCount = 768;
    EXPECT_FALSE(drv.SendEnable());
    drv.workMode(1);
    EXPECT_EQ(drv.Send(kIdentify), 1);
    EXPECT_TRUE(rig.port.written.empty());
    EXPECT_FALSE(drv.Running());
    rig.port.outBufferCount = 767;
    EXPECT_TRUE(drv.SendEnable());
    rig.com.comOpen(false);
    EXPECT_FALSE(drv.SendEnable());  // a closed port sends nothing
}

TEST_F(LinkDriver, EchoInTwoBatchesThenAnswer) {
    const Bytes frame = Start(1, kIdentify);
    drv.read(Bytes(frame.begin(), frame.begin() + 4));
    EXPECT_EQ(drv.waitState(), 1);
    drv.read(Bytes(frame.begin() + 4, frame.end()));
    EXPECT_EQ(drv.waitState(), 2);
    drv.read(Wire(E1Body("8537", "0200", 4)));
    EXPECT_FALSE(drv.Running());
    EXPECT_EQ(drv.nowError(), 0);
    EXPECT_EQ(drv.ansInfo(), E1Body("8537", "0200", 4));
}

TEST_F(LinkDriver, EchoAndAnswerInOneBatch) {
    const Bytes frame = Start(1, kIdentify);
    drv.read(Cat({frame, Wire(E1Body("8537", "0200", 4))}));
    EXPECT_FALSE(drv.Running());
    EXPECT_EQ(Len(drv.ansInfo()), 63);
}

TEST_F(LinkDriver, EchoIsFoundEvenWhenMoreThan256BytesFollowItInTheBatch) {
    const Bytes frame = Start(2, kCloneRead);
    Bytes batch = frame;
    clsCmcEeprom image;
    drv.myEep(&image);
    for (Int32 adr = 0; adr < 160; adr += 16) {
        const Bytes f = Wire(E4Body(adr, Bytes(16, static_cast<std::uint8_t>(adr + 1))));
        batch.insert(batch.end(), f.begin(), f.end());
    }
    const Bytes end = Wire(E5Body(10));
    batch.insert(batch.end(), end.begin(), end.end());
    drv.read(batch);
    EXPECT_FALSE(drv.Running());
    EXPECT_EQ(drv.nowError(), 0);
    EXPECT_EQ(drv.lastEeAdr(), 159);
    EXPECT_EQ(image.ReadByte(150), 145);
}

TEST_F(LinkDriver, BytesWhileIdleAndLateAnswersAreDropped) {
    drv.read(Wire(E1Body("8537", "0200", 4)));
    EXPECT_EQ(drv.rxBufSize(), 0);
    EXPECT_TRUE(drv.ansInfo().empty());

    const Bytes frame = Start(1, kIdentify);
    drv.read(frame);
    Expire(1200);  // no resend allowed for identification
    EXPECT_EQ(drv.lastError(), 2);
    drv.read(Wire(E1Body("8537", "0200", 4)));
    EXPECT_TRUE(drv.ansInfo().empty());
}

TEST_F(LinkDriver, EchoTimeoutIsError1) {
    Start(1, kIdentify);
    Expire(999);
    EXPECT_EQ(drv.nowError(), 0);
    EXPECT_TRUE(drv.Running());
    Expire(1);
    EXPECT_EQ(drv.nowError(), 1);
    EXPECT_EQ(drv.lastError(), 1);
    EXPECT_FALSE(drv.Running());
}

TEST_F(LinkDriver, AnEchoLostInCloneDataIsResentOnceTheLineIsQuietElseError9) {
    for (const bool quiet : {true, false}) {
        const Bytes frame = Start(1, kIdentify);
        for (int ms = 0; ms < 1000; ms += 100) {
            rig.clock.Advance(quiet && ms >= 700 ? 0 : 100);
            drv.read(Wire(E4Body(0x100, Bytes(8, 0x55))));
        }
        rig.port.written.clear();
        Expire(quiet ? 300 : 0);
        EXPECT_EQ(drv.nowError(), quiet ? 0 : 9);
        EXPECT_EQ(rig.port.written, quiet ? frame : Bytes{});
        drv.Reset();
    }
}

TEST_F(LinkDriver, WrongAddressOrderIsIgnoredUntilTimeoutAfterResends) {
    drv.retryCount(2);
    rig.port.written.clear();
    drv.workMode(5);
    drv.waitAnswer(true);
    ASSERT_EQ(drv.Send(kE8), 0);
    Bytes answer = Body(0xE8, {0x85, 0x37, 0x02, 0x00, 0x31, 0x30});
    std::swap(answer[0], answer[1]);  // EE EF, the order of the program's own frames
    int transmissions = 0;
    for (int i = 0; i < 3; ++i) {
        const Bytes frame = Sent(kE8);
        ++transmissions;
        drv.read(Cat({frame, Wire(answer)}));
        EXPECT_EQ(drv.waitState(), 2);
        EXPECT_EQ(drv.nowError(), 0);
        Expire(1199);
        EXPECT_TRUE(drv.Running());
        Expire(1);
    }
    EXPECT_EQ(transmissions, 3);
    EXPECT_EQ(rig.port.written, Cat({Sent(kE8), Sent(kE8), Sent(kE8)}));
    EXPECT_EQ(drv.nowError(), 2);
    EXPECT_FALSE(drv.Running());
}

TEST_F(LinkDriver, E8WithAndWithoutAnswer) {
    rig.port.written.clear();
    drv.workMode(5);
    ASSERT_EQ(drv.Send(kE8), 0);
    EXPECT_EQ(rig.port.written, Sent(kE8));
    EXPECT_FALSE(drv.Running());
    EXPECT_EQ(drv.retriesLeft(), 0);
    EXPECT_EQ(drv.e8CheckByte(), 0x31);
    drv.read(Sent(kE8));  // its echo arrives later and is dropped
    EXPECT_EQ(drv.waitState(), 0);

    drv.workMode(5);
    drv.waitAnswer(true);
    drv.retryCount(2);
    ASSERT_EQ(drv.Send(kE8), 0);
    EXPECT_EQ(drv.retriesLeft(), 2);
    const Bytes good = Body(0xE8, {0x85, 0x37, 0x02, 0x00, 0x31, 0x41, 0x42});
    drv.read(Cat({Sent(kE8), Wire(good)}));
    EXPECT_FALSE(drv.Running());
    EXPECT_EQ(drv.varLastE8Answer(), (Bytes{0x85, 0x37, 0x02, 0x00, 0x31, 0x41, 0x42}));

    // An answer that does not repeat the command byte is bad.
    drv.workMode(5);
    drv.waitAnswer(true);
    ASSERT_EQ(drv.Send(kE8), 0);
    drv.read(Cat({Sent(kE8), Wire(Body(0xE8, {0x85, 0x37, 0x02, 0x00, 0x32}))}));
    EXPECT_EQ(drv.nowError(), 3);

    // A payload without command bytes keeps 0 as the byte its answer must repeat.
    drv.Reset();
    drv.workMode(5);
    ASSERT_EQ(drv.Send({0xE8, 0x85, 0x37}), 0);
    EXPECT_EQ(drv.e8CheckByte(), 0);
}

TEST_F(LinkDriver, CloneReadStoresDataAndChecksFrames) {
    clsCmcEeprom image;
    drv.myEep(&image);
    // Identification first: it clears the frame counter.
    drv.read(Start(1, kIdentify));
    drv.read(Wire(E1Body("8537", "0200", 4)));
    ASSERT_EQ(drv.nowError(), 0);

    drv.read(Start(2, kCloneRead));
    const Bytes data{0x41, 0x42};
    drv.read(Wire(E4Body(0x0120, data)));
    EXPECT_EQ(drv.frameCounter(), 1);
    EXPECT_EQ(drv.lastEeAdr(), 0x121);
    EXPECT_EQ(image.ReadByte(0x120), 0x41);
    EXPECT_TRUE(drv.Running());
    // Each data frame restarts the answer wait.
    Expire(1100);
    drv.read(Wire(E4Body(0x0122, data)));
    Expire(1100);
    EXPECT_TRUE(drv.Running());
    drv.read(Wire(E5Body(2)));
    EXPECT_FALSE(drv.Running());
    EXPECT_EQ(drv.nowError(), 0);
}

TEST_F(LinkDriver, CloneDataChecksumOffByOneIsError3) {
    clsCmcEeprom image;
    drv.myEep(&image);
    drv.read(Start(2, kCloneRead));
    Bytes bad = E4Body(0x0120, {0x41, 0x42});
    bad.back() = '9';  // checksum 5A becomes 59
    drv.read(Wire(bad));
    EXPECT_EQ(drv.nowError(), 3);
    EXPECT_FALSE(drv.Running());
    EXPECT_EQ(image.ReadByte(0x120), 0);
}

TEST_F(LinkDriver, CloneDataOutsideTheImageIsError5) {
    clsCmcEeprom image;
    drv.myEep(&image);
    drv.read(Start(2, kCloneRead));
    drv.read(Wire(E4Body(0x7FD8, Bytes(16, 1))));  // passes the image end
    EXPECT_EQ(drv.nowError(), 5);
}

TEST_F(LinkDriver, FrameCountMismatchIsError4AndSticks) {
    clsCmcEeprom image;
    drv.myEep(&image);
    drv.read(Start(1, kIdentify));
    drv.read(Wire(E1Body("8537", "0200", 4)));
    drv.read(Start(2, kCloneRead));
    drv.read(Wire(E4Body(0, Bytes(16, 1))));
    drv.read(Wire(E5Body(2)));
    EXPECT_EQ(drv.nowError(), 4);
    EXPECT_TRUE(drv.countMismatch());

    // A later end frame with the right count but a broken signature is still a count error.
    drv.Reset();
    drv.read(Start(1, kIdentify));
    drv.read(Wire(E1Body("8537", "0200", 4)));
    drv.read(Start(2, kCloneRead));
    Bytes broken = E5Body(0);
    broken[3] = 'X';
    drv.read(Wire(broken));
    EXPECT_EQ(drv.nowError(), 4);

    // An end frame too short to carry its count is malformed (3), not a miscount.
    drv.Reset();
    test::LinkRig fresh(false);
    fresh.com.comOpen(true);
    fresh.driver.workMode(2);
    ASSERT_EQ(fresh.driver.Send(kCloneRead), 0);
    fresh.driver.read(Sent(kCloneRead));
    fresh.driver.read(Wire(Body(0xE5, TextToBytes("Mirvak Co0"))));
    EXPECT_EQ(fresh.driver.nowError(), 3);
    EXPECT_FALSE(fresh.driver.countMismatch());
}

TEST_F(LinkDriver, EndAddressIsRoundedAndKeptSafe) {
    struct Case {
        std::string text;
        Int16 expected;
    };
    for (const Case& c :
         {Case{"7FDF", 32736}, Case{"7FE0", 32752}, Case{"0000", 16}, Case{"7FEF", 32752},
          Case{"7FF0", 32752}, Case{"7FFF", 32752}, Case{"8000", 32752}, Case{"FFF0", 32752},
          Case{"FFFF", 32752}, Case{"ZZZZ", 16}}) {
        drv.Reset();
        drv.read(Start(1, kIdentify));
        drv.read(Wire(E1Body("8537", "0200", 4, c.text)));
        EXPECT_EQ(drv.EndAddress(), c.expected) << c.text;
    }
    // A valid answer too short to carry an end address leaves the last one.
    drv.Reset();
    drv.read(Start(1, kIdentify));
    drv.read(Wire(E1Body("8537", "0200", 4, "0100")));
    ASSERT_EQ(drv.EndAddress(), 272);
    drv.Reset();
    drv.read(Start(1, kIdentify));
    drv.read(Wire(E1Body("8537", "0200", 4, "7FDF", 61)));
    EXPECT_EQ(drv.nowError(), 0);
    EXPECT_EQ(Len(drv.ansInfo()), 61);
    EXPECT_EQ(drv.EndAddress(), 272);
}

TEST_F(LinkDriver, IdentificationAnswerChecks) {
    auto answer = [&](const Bytes& body) {
        drv.Reset();
        drv.lastError(0);
        drv.read(Start(1, kIdentify));
        drv.read(Wire(body));
        return drv.lastError();
    };
    EXPECT_EQ(answer(E1Body("8537", "0200", 4)), 0);
    EXPECT_EQ(answer(E1Body("8537", "0200", 4, "7FDF", 59)), 0);
    EXPECT_EQ(answer(E1Body("8537", "0200", 4, "7FDF", 58)), 3);  // too short
    EXPECT_EQ(answer(E1Body("8537", "02E0", 4)), 0);              // "853702E0": digits around one E
    EXPECT_EQ(answer(E1Body("8537", "020A", 4)), 3);              // not numeric
    Bytes wrongLength = E1Body("8537", "0200", 4);
    wrongLength[7] = 55;
    EXPECT_EQ(answer(wrongLength), 3);
    EXPECT_EQ(answer(Body(0xE1, {0x85, 0x37})), 3);  // no identifiers at all
}

TEST(NumericText, DigitsOrOneExponentBetweenDigits) {
    EXPECT_TRUE(IsNumericText("85370200"));
    EXPECT_TRUE(IsNumericText("8537E200"));
    EXPECT_TRUE(IsNumericText("8537D200"));
    EXPECT_FALSE(IsNumericText("E5370200"));
    EXPECT_FALSE(IsNumericText("8537020E"));
    EXPECT_FALSE(IsNumericText("85E7E200"));
    EXPECT_FALSE(IsNumericText("8537A200"));
    EXPECT_FALSE(IsNumericText("8537ED00"));
    EXPECT_FALSE(IsNumericText(""));
}

TEST_F(LinkDriver, TerminatorBeforeFrameStartBetweenFramesDropsTheBatch) {
    drv.read(Start(1, kIdentify));
    ASSERT_EQ(drv.waitState(), 2);
    drv.read(Cat({Bytes{0x01, 0xFD}, Wire(E1Body("8537", "0200", 4))}));
    EXPECT_TRUE(drv.Running());
    EXPECT_TRUE(drv.ansInfo().empty());
    drv.read(Wire(E1Body("8537", "0200", 4)));
    EXPECT_FALSE(drv.Running());
    EXPECT_EQ(Len(drv.ansInfo()), 63);
}

TEST_F(LinkDriver, NowErrorWriteSemanticsAndReset) {
    Start(1, kIdentify);
    drv.nowError(3);
    EXPECT_EQ(drv.lastError(), 3);
    EXPECT_FALSE(drv.Running());
    Start(1, kIdentify);
    drv.nowError(0);
    EXPECT_EQ(drv.lastError(), 3);
    EXPECT_FALSE(drv.Running());
    drv.nowError(2);
    drv.Reset();
    EXPECT_EQ(drv.nowError(), 0);
    EXPECT_EQ(drv.lastError(), 2);
    drv.lastError(0);
    EXPECT_EQ(drv.lastError(), 0);
}

TEST_F(LinkDriver, WriteResultAnswers) {
    auto finish = [&](const Bytes& body) {
        drv.Reset();
        drv.read(Start(4, {0xE5}));
        drv.read(Wire(body));
        return drv.nowError();
    };
    EXPECT_EQ(finish(Body(0xE6, {0x00})), 0);
    EXPECT_EQ(finish(Body(0xE6, {0x01})), 7);
    EXPECT_EQ(finish(Body(0xE6)), 3);  // no result byte to read
}

TEST_F(LinkDriver, SendFEWritesWithoutChangingState) {
    rig.port.written.clear();
    drv.SendFE(3);
    EXPECT_EQ(rig.port.written, (Bytes{0xFE, 0xFE, 0xFE}));
    EXPECT_FALSE(drv.Running());
    drv.workMode(1);
    EXPECT_EQ(drv.Send(kIdentify), 0);  // nothing was left outstanding
}

TEST_F(LinkDriver, LineErrorDropsOnlyThePartialFrame) {
    drv.read(Start(1, kIdentify));
    const Bytes answer = Wire(E1Body("8537", "0200", 4));
    drv.read(Bytes(answer.begin(), answer.begin() + 20));
    rig.port.Fire(CommEvent::Frame);
    EXPECT_EQ(drv.rxBufSize(), 0);
    EXPECT_TRUE(drv.outsideFrame());
    drv.read(Bytes(answer.begin() + 20, answer.end()));
    EXPECT_TRUE(drv.Running());  // the tail alone is no frame
    drv.read(answer);
    EXPECT_FALSE(drv.Running());
}

// A clone write: every frame waits for its echo, the end frame for the result.
class CloneWrite : public ::testing::Test {
  protected:
    test::LinkRig rig{false};
    test::ScriptedPeer peer{rig.port};
    clsCmcVep3Drv& drv = rig.driver;
    clsCmcEeprom image;

    void SetUp() override {
        for (Int32 a = 0; a < image.eeSize(); ++a) {
            image.WriteByte(a, static_cast<std::uint8_t>(a * 13));
        }
        rig.com.comOpen(true);
        drv.myEep(&image);
        drv.sizDataOfPacket(16);
    }
    // A reported error resets the port form and closes the port: each run opens it again.
    void Run(const std::string& list) {
        rig.com.comOpen(true);
        drv.cloneWriteAdrList(list);
        drv.workMode(3);
        ASSERT_EQ(drv.Send({0xE3, 0x85, 0x37, 0x02, 0x00}), 0);
        for (int i = 0; i < 100 && drv.Running(); ++i) {
            rig.Tick();
        }
    }
};

TEST_F(CloneWrite, SendsEveryRangeThenTheEndFrame) {
    Run("0100-0112,0200-020F,");
    EXPECT_FALSE(drv.Running());
    EXPECT_EQ(drv.lastError(), 0);
    ASSERT_EQ(peer.writtenRecords.size(), 3u);
    EXPECT_EQ(peer.writtenRecords[0], test::CloneRecord(0x100, image.ReadBlock(0x100, 16)));
    EXPECT_EQ(peer.writtenRecords[1], test::CloneRecord(0x110, image.ReadBlock(0x110, 3)));
    EXPECT_EQ(peer.writtenRecords[2], test::CloneRecord(0x200, image.ReadBlock(0x200, 16)));
    EXPECT_EQ(peer.heard.back()[0], 0xE5);
    EXPECT_EQ(drv.nextWriteAdr(), -1);
}

TEST_F(CloneWrite, RejectedOrUnsendableWritesAreErrors) {
    peer.writeResult = 1;
    Run("0000-000F,");
    EXPECT_EQ(drv.lastError(), 7);

    peer.writeResult = 0;
    drv.lastError(0);
    Run("7FD0-8010,");  // passes the end of the image
    EXPECT_EQ(drv.lastError(), 8);

    drv.lastError(0);
    Run("0020-0010,");  // ends before it starts
    EXPECT_EQ(drv.lastError(), 8);

    drv.lastError(0);
    peer.echo = false;
    rig.com.comOpen(true);
    drv.cloneWriteAdrList("0000-000F,");
    drv.workMode(3);
    ASSERT_EQ(drv.Send({0xE3, 0x85, 0x37, 0x02, 0x00}), 0);
    rig.clock.Advance(1000);
    rig.Tick();
    EXPECT_EQ(drv.lastError(), 1);
}

}  // namespace
}  // namespace quorvane
