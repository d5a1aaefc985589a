#include <gtest/gtest.h>

#include <random>
#include <set>

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
using test::Wire;

const Bytes kIdentify{0xE0, 0x85, 0x37, 0x00, 0x00};

void ExpectDefinedState(const clsCmcVep3Drv& drv) {
    EXPECT_LE(drv.rxBufSize(), clsCmcVep3Drv::kRxBufMax);
    EXPECT_GE(drv.waitState(), 0);
    EXPECT_LE(drv.waitState(), 2);
    EXPECT_EQ(drv.Running(), drv.waitState() != 0);
    EXPECT_EQ(drv.txBuf().empty(), drv.waitState() == 0);
    const Int16 e = drv.nowError();
    EXPECT_TRUE(e == 0 || e == 1 || e == 2 || e == 3 || e == 4 || e == 5 || e == 7 || e == 8 ||
                e == 9)
        << e;
    EXPECT_GE(drv.EndAddress(), 16);
    EXPECT_LE(drv.EndAddress(), clsCmcVep3Drv::kMaxEndAddress);
    EXPECT_GE(drv.frameCounter(), 0);
    EXPECT_LT(drv.frameCounter(), 256);
}

// Bytes with a bias towards the ones that steer the receiver.
class Noise {
  public:
    explicit Noise(unsigned seed) : rng_(seed) {}
    int Pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }
    std::uint8_t Byte() {
        static const std::uint8_t kSteering[] = {0xFE, 0xFD, 0xEF, 0xEE, 0xE1, 0xE4,
                                                 0xE5, 0xE6, 0xE8, '0',  '7',  'F'};
        if (Pick(3) == 0) {
            return kSteering[Pick(sizeof kSteering)];
        }
        return static_cast<std::uint8_t>(Pick(256));
    }
    Bytes Batch(int maxLength) {
        Bytes b(static_cast<std::size_t>(Pick(maxLength + 1)));
        for (auto& x : b) {
            x = Byte();
        }
        return b;
    }
    // A frame that is nearly right: a valid one with a few bytes changed, cut or extended.
    Bytes Mangled() {
        Bytes body;
        switch (Pick(4)) {
            case 0:
                body = E1Body("8537", "0200", static_cast<std::uint8_t>(Pick(256)),
                              Pick(2) ? "7FDF" : "FFFF", 8 + Pick(80));
                break;
            case 1:
                body = E4Body(Pick(0x9000), Bytes(static_cast<std::size_t>(Pick(20)), 0x41));
                break;
            case 2:
                body = E5Body(Pick(300));
                break;
            default:
                body = Body(static_cast<std::uint8_t>(0xE0 + Pick(10)), Batch(12));
                break;
        }
        for (int i = Pick(3); i > 0 && !body.empty(); --i) {
            body[static_cast<std::size_t>(Pick(static_cast<int>(body.size())))] = Byte();
        }
        if (Pick(4) == 0 && !body.empty()) {
            body.resize(static_cast<std::size_t>(Pick(static_cast<int>(body.size()))));
        }
        return Wire(body);
    }

  private:
    std::mt19937 rng_;
};

TEST(LinkDriverBadInput, RandomBatchesInEveryStateKeepTheDriverDefined) {
    test::LinkRig rig(false);
    clsCmcVep3Drv& drv = rig.driver;
    clsCmcEeprom image;
    drv.myEep(&image);
    Noise noise(20261206);
    std::set<Int16> statesSeen, errorsSeen;
    for (int i = 0; i < 20000; ++i) {
        switch (noise.Pick(10)) {
            case 0: {
                // A new exchange of any kind; its echo comes back or not.
                if (!rig.com.comOpen()) {
                    rig.com.comOpen(true);
                }
                drv.workMode(static_cast<Int16>(noise.Pick(7)));
                drv.waitAnswer(noise.Pick(2) == 0);
                drv.retryCount(static_cast<Int16>(noise.Pick(3)));
                drv.cloneWriteAdrList(noise.Pick(2) ? "0000-003F," : "7FF0-FFFF,");
                drv.sizDataOfPacket(static_cast<Int16>(noise.Pick(40) - 5));
                Bytes payload = noise.Batch(12);
                payload.insert(payload.begin(), static_cast<std::uint8_t>(0xE0 + noise.Pick(9)));
                rig.port.written.clear();
                drv.Send(payload);
                if (noise.Pick(3) != 0) {
                    drv.read(rig.port.written);
                }
                break;
            }
            case 1:
            case 2:
            case 3:
                drv.read(noise.Batch(noise.Pick(4) == 0 ? 2000 : 40));
                break;
            case 4:
            case 5:
                drv.read(noise.Mangled());
                break;
            case 6:
            case 7:
                rig.clock.Advance(noise.Pick(700));
                drv.task();
                break;
            case 8:
                drv.ClearRxBuffer();
                break;
            default:
                if (noise.Pick(5) == 0) {
                    drv.Reset();
                }
                break;
        }
        ExpectDefinedState(drv);
        statesSeen.insert(drv.waitState());
        errorsSeen.insert(drv.nowError());
        if (HasFailure()) {
            FAIL() << "after step " << i;
        }
    }
    // The loop reached every state and the common failures.
    EXPECT_EQ(statesSeen, (std::set<Int16>{0, 1, 2}));
    for (Int16 e : {1, 2, 3}) {
        EXPECT_TRUE(errorsSeen.count(e)) << e;
    }
}

TEST(LinkDriverBadInput, RandomBytesThroughWholeTicks) {
    test::LinkRig rig;
    test::ScriptedPeer peer(rig.port);
    Noise noise(7);
    peer.answerOverride = [&](const Bytes&) {
        return noise.Pick(2) ? noise.Mangled() : noise.Batch(300);
    };
    for (int i = 0; i < 3000; ++i) {
        if (!rig.sequence.OpRunning() && noise.Pick(4) == 0) {
            switch (noise.Pick(3)) {
                case 0:
                    rig.sequence.easyCloneRead();
                    break;
                case 1:
                    rig.sequence.easySendE8ReqAnswer("033030");
                    break;
                default:
                    rig.sequence.easySendE8NoAnswer("023031");
                    break;
            }
        }
        rig.port.Queue(noise.Batch(noise.Pick(8) == 0 ? 1000 : 30));
        rig.clock.Advance(noise.Pick(120));
        rig.Tick();
        ExpectDefinedState(rig.driver);
        if (HasFailure()) {
            FAIL() << "after tick " << i;
        }
    }
    EXPECT_TRUE(rig.window.tickErrors.empty());
}

class LinkDriverHostile : public ::testing::Test {
  protected:
    test::LinkRig rig{false};
    clsCmcVep3Drv& drv = rig.driver;

    void SetUp() override {
        rig.com.comOpen(true);
        drv.workMode(1);
        ASSERT_EQ(drv.Send(kIdentify), 0);
        drv.read(test::Sent(kIdentify));
        ASSERT_EQ(drv.waitState(), 2);
    }
};

TEST_F(LinkDriverHostile, FrameLongerThan256BytesKeepsItsTailAndFails) {
    Bytes body = E1Body("8537", "0200", 4, "7FDF", 63);
    body.insert(body.begin() + 10, 400, 0x30);
    drv.read(Wire(body));
    EXPECT_LE(drv.rxBufSize(), 256);
    EXPECT_TRUE(drv.Running());  // the tail alone is not from the transceiver: ignored
    rig.clock.Advance(1200);
    drv.task();
    EXPECT_EQ(drv.nowError(), 2);
}

TEST_F(LinkDriverHostile, AStreamThatNeverEndsAFrame) {
    drv.read({0xFE});
    for (int i = 0; i < 1000; ++i) {
        drv.read(Bytes(997, 0x30));
        ASSERT_LE(drv.rxBufSize(), 256);
    }
    rig.clock.Advance(1200);
    drv.task();
    EXPECT_EQ(drv.nowError(), 2);
}

TEST_F(LinkDriverHostile, ManyFrameStartsInOneHugeBatch) {
    drv.read(Bytes(32760, 0xFE));
    EXPECT_EQ(drv.rxBufSize(), 0);
    EXPECT_FALSE(drv.outsideFrame());
    drv.read(Bytes(32760, 0xFD));  // one empty frame, then terminators outside any frame
    EXPECT_TRUE(drv.Running());
    drv.read(Wire(E1Body("8537", "0200", 4)));
    EXPECT_FALSE(drv.Running());
    EXPECT_EQ(drv.nowError(), 0);
}

TEST(LinkDriverBadInputEcho, APeerEchoingGarbageEndsWithNoEcho) {
    test::LinkRig rig(false);
    rig.com.comOpen(true);
    rig.port.onOutput = [&](const Bytes& b) {
        Bytes garbled = b;
        garbled[4] ^= 0x01;
        rig.port.Queue(garbled);
        rig.port.Queue(Wire(E1Body("8537", "0200", 4)));
    };
    rig.driver.workMode(1);
    ASSERT_EQ(rig.driver.Send(kIdentify), 0);
    rig.Tick();
    EXPECT_EQ(rig.driver.waitState(), 1);
    EXPECT_LE(rig.driver.rxBufSize(), 256);
    rig.clock.Advance(1000);
    rig.Tick();
    ASSERT_EQ(rig.window.reports.size(), 1u);
    EXPECT_EQ(rig.window.reports[0].lastError, 1);
    EXPECT_FALSE(rig.com.comOpen());
}

}  // namespace
}  // namespace quorvane
