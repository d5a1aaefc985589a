#include <gtest/gtest.h>

#include <sstream>

#include "protocol/common.h"
#include "sim/e8_items.h"
#include "sim/tamskor_sim.h"
#include "support/sim_wire.h"

namespace quorvane::sim {
namespace {

const std::string kIdentify = "FEFEEEEFE085370000FD";
const std::string kCloneRead = "FEFEEEEFE285370200FD";

// The stand-in driven directly, its clock moved from event to event.
class Bench {
  public:
    explicit Bench(TamskorConfig config = {}, SimImage image = SimImage::Generate(1))
        : sim(std::move(config), std::move(image)) {}

    // Sends a frame at the current time and returns everything the stand-in sends until it is
    // silent.
    Bytes Send(const std::string& wireHex) {
        sim.Receive(HexToBytes(wireHex), now);
        return test::Drain(sim, now);
    }
    // The frames of an answer after the echo of what was sent.
    std::vector<Bytes> Answers(const std::string& wireHex) {
        const Bytes sent = HexToBytes(wireHex);
        const Bytes out = Send(wireHex);
        EXPECT_GE(out.size(), sent.size());
        EXPECT_TRUE(std::equal(sent.begin(), sent.end(), out.begin())) << "no echo first";
        return test::FramesIn(
            Bytes(out.begin() + static_cast<std::ptrdiff_t>(sent.size()), out.end()));
    }

    TamskorSim sim;
    SimTime now = FromMs(1000);
};

TamskorConfig WithFault(const std::string& fault) {
    TamskorConfig c;
    EXPECT_FALSE(c.faults.Parse(fault));
    return c;
}

std::string E8(std::uint8_t sub, std::uint8_t value) {
    return "FEFEEEEFE885370200" + BytesToHex(Bytes{sub}) + BytesToHex(AsciiHex(Bytes{value})) +
           "FD";
}

// The clone-read answer: the data frames' records and the end frame.
struct CloneRead {
    std::vector<Bytes> frames;
    SimImage image;
    int dataFrames = 0;
    bool allGood = true;
    Bytes end;
};

CloneRead Collect(const std::vector<Bytes>& frames) {
    CloneRead r;
    r.frames = frames;
    for (const auto& f : frames) {
        if (f.size() >= 3 && f[2] == kCmdCloneData) {
            ++r.dataFrames;
            auto rec = ParseCloneRecordText(Bytes(f.begin() + 3, f.end()));
            if (!rec) {
                r.allGood = false;
                continue;
            }
            std::copy(rec->data.begin(), rec->data.end(), r.image.data().begin() + rec->address);
        } else if (f.size() >= 3 && f[2] == kCmdCloneEnd) {
            r.end = f;
        }
    }
    return r;
}

TEST(SimTamskor, IdentifyAnswerLayout) {
    Bench b;
    const SimTime sentAt = b.now;
    b.sim.Receive(HexToBytes(kIdentify), sentAt);
    // The echo is due at once; the answer only after the turnaround and its wire time.
    EXPECT_EQ(b.sim.TakeDue(sentAt), HexToBytes(kIdentify));
    EXPECT_EQ(b.sim.NextEvent(), sentAt + FromMs(5) + WireTime(1, 9600));
    const Bytes answer = test::Drain(b.sim, b.now);
    EXPECT_EQ(answer.size(), 66u);
    EXPECT_EQ(b.now, sentAt + FromMs(5) + WireTime(66, 9600));

    const auto frames = test::FramesIn(answer);
    ASSERT_EQ(frames.size(), 1u);
    const Bytes& e1 = frames[0];  // position p of the program's counting is e1[p - 1]
    ASSERT_EQ(e1.size(), 63u);
    EXPECT_EQ(Bytes(e1.begin(), e1.begin() + 7), HexToBytes("EFEEE185370200"));
    EXPECT_EQ(e1[7], 63 - 7);
    const std::string ids = BytesToHex(Bytes(e1.begin() + 3, e1.begin() + 7));
    EXPECT_EQ(ids.find_first_not_of("0123456789"), std::string::npos) << ids;
    EXPECT_EQ(e1[42], 0x04);
    EXPECT_EQ(BytesToText(Bytes(e1.begin() + 59, e1.end())), "7FDF");
    EXPECT_EQ(BytesToText(Bytes(e1.begin() + 8, e1.begin() + 15)), "TAMSKOR");
    EXPECT_EQ(BytesToText(Bytes(e1.begin() + 24, e1.begin() + 32)), "00012345");
    for (auto byte : e1) {
        EXPECT_NE(byte, kPreamble);
        EXPECT_NE(byte, kEndOfFrame);
    }

    TamskorConfig c;
    c.sub = 0x0105;
    c.revision = 0x07;
    Bench other(c);
    const auto f = other.Answers(kIdentify);
    ASSERT_EQ(f.size(), 1u);
    EXPECT_EQ(f[0][5], 0x01);
    EXPECT_EQ(f[0][6], 0x05);
    EXPECT_EQ(f[0][42], 0x07);
}

TEST(SimTamskor, CloneReadSendsTheWholeImageAndCountsTheFrames) {
    Bench b;
    const auto read = Collect(b.Answers(kCloneRead));
    EXPECT_EQ(read.dataFrames, 1023);
    EXPECT_TRUE(read.allGood);
    EXPECT_EQ(read.image, b.sim.Image());
    ASSERT_EQ(read.frames.back(), read.end);
    Bytes end = HexToBytes("EFEEE5");
    const Bytes tail = AsBytes("Mirvak CoFF");
    end.insert(end.end(), tail.begin(), tail.end());
    EXPECT_EQ(read.end, end);
    // Every data frame is EF EE E4 and 11 + 2n bytes; the receiver's 256-byte limit holds.
    EXPECT_EQ(read.frames[0].size(), 11u + 64u);
    EXPECT_EQ(BytesToText(Bytes(read.frames[1].begin() + 3, read.frames[1].begin() + 9)), "002020");

    TamskorConfig c;
    c.bytesPerFrame = 100;
    Bench odd(c);
    const auto r100 = Collect(odd.Answers(kCloneRead));
    EXPECT_EQ(r100.dataFrames, 328);
    EXPECT_TRUE(r100.allGood);
    EXPECT_EQ(r100.image, odd.sim.Image());
    EXPECT_EQ(BytesToText(Bytes(r100.end.end() - 2, r100.end.end())), "48");  // 328 mod 256
    const Bytes& last = r100.frames[r100.frames.size() - 2];
    EXPECT_EQ(last.size(), 11u + 2u * 36u);

    c.bytesPerFrame = 123;
    EXPECT_THROW(TamskorSim(c, SimImage()), std::invalid_argument);
    c.bytesPerFrame = 122;
    EXPECT_NO_THROW(TamskorSim(c, SimImage()));
}

TEST(SimTamskor, AShortCloneAreaIsToldAndSentWhole) {
    TamskorConfig c;
    c.cloneEnd = 0x017F;
    c.bytesPerFrame = 122;
    Bench b(c);
    const Bytes e1 = b.Answers(kIdentify)[0];
    EXPECT_EQ(BytesToText(Bytes(e1.begin() + 59, e1.end())), "017F");
    const auto read = Collect(b.Answers(kCloneRead));
    EXPECT_EQ(read.dataFrames, 4);  // 122 + 122 + 122 + 18 bytes
    EXPECT_TRUE(read.allGood);
    EXPECT_TRUE(std::equal(read.image.data().begin(), read.image.data().begin() + 0x180,
                           b.sim.Image().data().begin()));
    EXPECT_TRUE(std::all_of(read.image.data().begin() + 0x180, read.image.data().end(),
                            [](std::uint8_t v) { return v == 0; }));
    EXPECT_EQ(BytesToText(Bytes(read.end.end() - 2, read.end.end())), "04");

    c.cloneEnd = 0x7FE0;
    EXPECT_THROW(TamskorSim(c, SimImage()), std::invalid_argument);
    c.cloneEnd = -1;
    EXPECT_THROW(TamskorSim(c, SimImage()), std::invalid_argument);
}

TEST(SimTamskor, CloneReadFramesFollowBackToBackAtTheLineRate) {
    TamskorConfig c;
    c.baud = 38400;
    Bench b(c);
    const SimTime start = b.now;
    b.Send(kCloneRead);
    const SimTime wire = WireTime(1023 * 78 + 17, 38400);
    EXPECT_NEAR(static_cast<double>(b.now - start), static_cast<double>(FromMs(5) + wire), 1024);

    c.frameGap = FromMs(2);
    Bench gap(c);
    const SimTime s2 = gap.now;
    gap.Send(kCloneRead);
    EXPECT_NEAR(static_cast<double>(gap.now - s2),
                static_cast<double>(FromMs(5) + wire + 1023 * FromMs(2)), 2048);
}

TEST(SimTamskor, AdjustCommandsSetTheirItemsAndTheImageWithoutAnswer) {
    Bench b;
    for (int sub = 0x05; sub <= 0x16; ++sub) {
        const auto item = FindE8Item(static_cast<std::uint8_t>(sub));
        ASSERT_TRUE(item);
        const auto value = static_cast<std::uint8_t>(0x80 + sub);
        const std::string frame = E8(static_cast<std::uint8_t>(sub), value);
        EXPECT_EQ(b.Send(frame), HexToBytes(frame)) << "echo only, sub " << sub;
        EXPECT_EQ(b.sim.Image().Byte(item->address), value) << item->name;
    }
    b.Send(E8(kSubChannel, 12));
    EXPECT_EQ(b.sim.SelectedChannel(), 12);
    b.Send(E8(kSubAdjustMode, 1));
    EXPECT_EQ(b.sim.AdjustMode(), 1);
    EXPECT_EQ(b.sim.AnswerFrames(), 0);
    EXPECT_EQ(b.sim.IgnoredFrames(), 0);

    // The D/A readouts answer what was set; a later clone read carries it.
    b.Send(E8(0x08, 0x42));
    const auto f = b.Answers(E8(kSubReadout, kSelSqlLev));
    ASSERT_EQ(f.size(), 1u);
    EXPECT_EQ(f[0], HexToBytes("EFEEE8853702000334 32"));
    const auto read = Collect(b.Answers(kCloneRead));
    EXPECT_EQ(read.image.Byte(274), 0x42);

    // Unknown sub-commands and the worked two-byte command change nothing and get no answer.
    const SimImage before = b.sim.Image();
    EXPECT_EQ(b.Send("FEFEEEEFE8853702003146FD"), HexToBytes("FEFEEEEFE8853702003146FD"));
    EXPECT_EQ(b.Send(E8(0x01, 5)), HexToBytes(E8(0x01, 5)));
    EXPECT_EQ(b.Send("FEFEEEEFE8853702000847 30FD"), HexToBytes("FEFEEEEFE8853702000847 30FD"));
    EXPECT_EQ(b.sim.Image(), before);
    EXPECT_EQ(b.sim.IgnoredFrames(), 3);
}

TEST(SimTamskor, ReadoutAnswerIsSevenBytesFromPositionFour) {
    Bench b;
    b.Send(E8(0x13, 90));  // BPF T1 on its plateau
    b.Send(E8(0x14, 60));  // BPF T2 on its plateau
    const auto f = b.Answers(E8(kSubReadout, kSelSd));
    ASSERT_EQ(f.size(), 1u);
    ASSERT_EQ(f[0].size(), 10u);
    EXPECT_EQ(Bytes(f[0].begin() + 3, f[0].end()), HexToBytes("853702000344 43"));  // 220 = DC
    EXPECT_EQ(b.sim.Readout(kSelSd), 220);

    // LVIN follows the LVA set last.
    b.Send(E8(kSubRxLva, 255));
    b.Send(E8(kSubTxLva, 0));
    EXPECT_EQ(b.sim.Readout(kSelLvin), 30);
    b.Send(E8(kSubRxLva, 255));
    EXPECT_EQ(b.sim.Readout(kSelLvin), 200);
}

TEST(SimTamskor, CloneWriteIsCheckedAndStoredWhole) {
    Bench b;
    const std::string e3 = "FEFEEEEFE385370200FD";
    const std::string e4 = "FEFEEEEFE4303132303032343134323541FD";  // 0120: 41 42
    const std::string e5 = "FEFEEEEFE54D697276616B20436FFD";
    EXPECT_EQ(b.Send(e3), HexToBytes(e3));
    EXPECT_EQ(b.Send(e4), HexToBytes(e4));
    EXPECT_NE(b.sim.Image().Byte(0x120), 0x41);  // held back until the end frame
    const auto result = b.Answers(e5);
    ASSERT_EQ(result.size(), 1u);
    EXPECT_EQ(result[0], HexToBytes("EFEEE600"));
    EXPECT_EQ(b.sim.Image().Byte(0x120), 0x41);
    EXPECT_EQ(b.sim.Image().Byte(0x121), 0x42);

    // One bad record refuses the whole write.
    const SimImage before = b.sim.Image();
    b.Send(e3);
    b.Send("FEFEEEEFE430313030303146464646FD");      // 0100: FF, checksum right
    b.Send("FEFEEEEFE4303132303032343134323542FD");  // checksum off by one
    EXPECT_EQ(b.Answers(e5)[0], HexToBytes("EFEEE601"));
    EXPECT_EQ(b.sim.Image(), before);
    // A record past the end of the image, or a wrong signature, too.
    b.Send(e3);
    b.Send("FEFEEEEFE4374644463032414141413443FD");  // 7FDF: AA AA
    EXPECT_EQ(b.Answers(e5)[0], HexToBytes("EFEEE601"));
    b.Send(e3);
    EXPECT_EQ(b.Answers("FEFEEEEFE54D697276616B20436EFD")[0], HexToBytes("EFEEE601"));
    EXPECT_EQ(b.sim.Image(), before);
    // Clone data outside a clone write is ignored.
    b.Send(e4);
    EXPECT_TRUE(b.Answers(e5).empty());
    EXPECT_EQ(b.sim.Image(), before);
}

TEST(SimTamskor, FramesForSomeoneElseAreEchoedAndIgnored) {
    Bench b;
    for (const std::string& f :
         {std::string("FEFEEFEEE085370000FD"),  // the transceiver's order
          std::string("FEFEEEEFE085380000FD"),  // another model
          std::string("FEFEEEEFE285370300FD"),  // another sub identifier
          std::string("FEFEEEEFE2FD"), std::string("FEFEEEFD"), std::string("FEFEEEEFE9FD")}) {
        EXPECT_EQ(b.Send(f), HexToBytes(f)) << f;
    }
    EXPECT_EQ(b.sim.IgnoredFrames(), 6);
    EXPECT_EQ(b.sim.AnswerFrames(), 0);
    // Noise on the line is echoed too, and a frame after it is still understood.
    const auto f = b.Answers("0055AAFD" + kIdentify);
    EXPECT_EQ(f.size(), 1u);
}

TEST(SimTamskor, ANewRequestEndsACloneReadInProgress) {
    Bench b;
    b.sim.Receive(HexToBytes(kCloneRead), b.now);
    b.now += FromMs(500);  // about six data frames sent by now
    b.sim.TakeDue(b.now);
    const auto frames = b.Answers(kIdentify);
    // The frame on the line finishes (after the echo, which cut into it), then the identity.
    ASSERT_FALSE(frames.empty());
    EXPECT_EQ(frames.back()[2], kCmdIdentity);
    EXPECT_LE(frames.size(), 3u);
}

TEST(SimTamskor, RandomLineNoiseNeverBreaksIt) {
    // Noise rich in frame bytes, with real requests mixed in; everything is echoed and the
    // requests among the noise are still answered.
    Bench b;
    std::uint32_t x = 12345;
    auto next = [&x] {
        x = x * 1103515245u + 12345u;
        return static_cast<std::uint8_t>(x >> 16);
    };
    std::size_t sent = 0;
    Bytes out;
    for (int round = 0; round < 400; ++round) {
        Bytes noise;
        for (int i = 0; i < 300; ++i) {
            const std::uint8_t r = next();
            noise.push_back(r < 40 ? kPreamble : r < 60 ? kEndOfFrame : r < 80 ? 0xEE : r);
        }
        if (round % 40 == 0) {
            const Bytes id = HexToBytes("FD" + kIdentify);
            noise.insert(noise.end(), id.begin(), id.end());
        }
        b.sim.Receive(noise, b.now);
        sent += noise.size();
        b.now += FromMs(400);
        const Bytes due = b.sim.TakeDue(b.now);
        out.insert(out.end(), due.begin(), due.end());
    }
    const Bytes rest = test::Drain(b.sim, b.now);
    out.insert(out.end(), rest.begin(), rest.end());
    EXPECT_GE(out.size(), sent);
    EXPECT_GE(b.sim.AnswerFrames(), 10);
    EXPECT_EQ(b.sim.Image().data().size(), 32736u);
}

TEST(SimTamskor, TimeNeverGoesBackwards) {
    Bench b;
    b.sim.TakeDue(FromMs(5000));
    b.sim.Receive(HexToBytes(kIdentify), FromMs(10));  // taken as 5000 ms
    EXPECT_EQ(b.sim.TakeDue(FromMs(5000)), HexToBytes(kIdentify));
}

TEST(SimTamskor, ConfigurationThatCannotBeServedIsRefused) {
    TamskorConfig c;
    c.sub = 0x02FE;
    EXPECT_THROW(TamskorSim(c, SimImage()), std::invalid_argument);
    c = {};
    c.revision = 0xFD;
    EXPECT_THROW(TamskorSim(c, SimImage()), std::invalid_argument);
    c = {};
    c.serial = "12345";
    EXPECT_THROW(TamskorSim(c, SimImage()), std::invalid_argument);
    c = {};
    c.baud = 0;
    EXPECT_THROW(TamskorSim(c, SimImage()), std::invalid_argument);
}

TEST(SimTamskor, TraceRecordsFramesWithTheirMeaning) {
    std::ostringstream out;
    WireTrace trace(out);
    Bench b;
    b.sim.SetTrace(&trace);
    b.Send(kIdentify);
    b.Send(E8(0x08, 0x80));
    b.Send("FEFEEEEFE085380000FD");
    const std::string text = out.str();
    EXPECT_NE(text.find("PC>TR  FE FE EE EF E0 85 37 00 00 FD  | E0 identify model 8537"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("TR>PC  FE FE EF EE E1 85 37 02 00 38"), std::string::npos);
    EXPECT_NE(text.find("| E1 identity model 8537 sub 0200 length 56 revision 04 end 7FDF"),
              std::string::npos);
    EXPECT_NE(text.find("| E8 sub 08 value 0x80 (SQL)"), std::string::npos);
    EXPECT_NE(text.find("ignored: identify for another model"), std::string::npos);
    EXPECT_NE(text.find("      1000.000 ms  PC>TR"), std::string::npos);
    EXPECT_NE(text.find("      1005.000 ms  TR>PC"), std::string::npos);
}

// ---- faults ----

TEST(SimTamskorFaults, NoEchoAndNoAnswer) {
    Bench quiet(WithFault("no-echo"));
    const auto frames = test::FramesIn(quiet.Send(kIdentify));
    ASSERT_EQ(frames.size(), 1u);  // the answer alone
    EXPECT_EQ(frames[0][2], kCmdIdentity);

    Bench mute(WithFault("no-answer"));
    EXPECT_EQ(mute.Send(kIdentify), HexToBytes(kIdentify));
    EXPECT_EQ(mute.Send(kCloneRead), HexToBytes(kCloneRead));
    EXPECT_EQ(mute.Send(E8(kSubReadout, 4)), HexToBytes(E8(kSubReadout, 4)));
    mute.Send(E8(0x08, 0x33));  // settings still take effect
    EXPECT_EQ(mute.sim.Image().Byte(274), 0x33);
}

TEST(SimTamskorFaults, IdentityFaults) {
    auto e1 = [](const std::string& fault) {
        Bench b(WithFault(fault));
        auto f = b.Answers(kIdentify);
        EXPECT_EQ(f.size(), 1u);
        return f.empty() ? Bytes{} : f[0];
    };
    EXPECT_EQ(e1("wrong-model")[3], 0x85);
    EXPECT_EQ(e1("wrong-model")[4], 0x38);
    const Bytes refused = e1("refused-sub");
    EXPECT_EQ(refused[5], 0x03);
    EXPECT_EQ(refused[6], 0x00);
    EXPECT_EQ(e1("unfit-revision")[42], 0x03);

    // The refused sub identifier is the transceiver's own: a read for 0200 is not its read.
    Bench b(WithFault("refused-sub"));
    EXPECT_EQ(b.Send(kCloneRead), HexToBytes(kCloneRead));
    EXPECT_FALSE(Collect(b.Answers("FEFEEEEFE285370300FD")).end.empty());
}

TEST(SimTamskorFaults, CloneReadFaults) {
    Bench bad(WithFault("bad-checksum:3"));
    const auto frames = bad.Answers(kCloneRead);
    EXPECT_TRUE(ParseCloneRecordText(Bytes(frames[1].begin() + 3, frames[1].end())));
    std::string why;
    EXPECT_FALSE(ParseCloneRecordText(Bytes(frames[2].begin() + 3, frames[2].end()), &why));
    EXPECT_EQ(why, "checksum wrong");
    EXPECT_TRUE(ParseCloneRecordText(Bytes(frames[3].begin() + 3, frames[3].end())));

    Bench count(WithFault("wrong-count"));
    const auto read = Collect(count.Answers(kCloneRead));
    EXPECT_EQ(read.dataFrames, 1023);
    EXPECT_EQ(BytesToText(Bytes(read.end.end() - 2, read.end.end())), "00");  // 1024 mod 256

    Bench hang(WithFault("hang-up:5"));
    const auto partial = Collect(hang.Answers(kCloneRead));
    EXPECT_EQ(partial.dataFrames, 5);
    EXPECT_TRUE(partial.end.empty());
    EXPECT_TRUE(hang.sim.HungUp(hang.now));
    EXPECT_TRUE(hang.Send(kIdentify).empty());  // not even an echo
}

TEST(SimTamskorFaults, DataFrameBeyondTheImage) {
    Bench b(WithFault("beyond-image:2"));
    const auto frames = b.Answers(kCloneRead);
    const auto first = ParseCloneRecordText(Bytes(frames[0].begin() + 3, frames[0].end()));
    const auto second = ParseCloneRecordText(Bytes(frames[1].begin() + 3, frames[1].end()));
    const auto third = ParseCloneRecordText(Bytes(frames[2].begin() + 3, frames[2].end()));
    ASSERT_TRUE(first && second && third);  // well-formed, checksum right
    EXPECT_EQ(first->address, 0x0000);
    EXPECT_EQ(second->address, kImageSize);
    EXPECT_EQ(second->data,
              Bytes(b.sim.Image().data().begin() + 32, b.sim.Image().data().begin() + 64));
    EXPECT_EQ(third->address, 0x0040);
    EXPECT_EQ(std::count_if(frames.begin(), frames.end(),
                            [](const Bytes& f) { return f[2] == kCmdCloneData; }),
              1023);
    EXPECT_EQ(BytesToText(Bytes(frames.back().end() - 2, frames.back().end())), "FF");
}

TEST(SimTamskorFaults, ForeignReadoutAnswers) {
    Bench b(WithFault("foreign-readout"));
    const auto f = b.Answers(E8(kSubReadout, kSelVin));
    ASSERT_EQ(f.size(), 1u);
    EXPECT_EQ(Bytes(f[0].begin() + 3, f[0].begin() + 8), HexToBytes("8537010003"));
    EXPECT_EQ(b.Answers(kIdentify)[0][5], 0x02);  // the identity stays its own
}

TEST(SimTamskorFaults, GarbageBetweenFrames) {
    Bench b(WithFault("garbage"));
    const Bytes out = b.Send(kIdentify);
    const Bytes echo = HexToBytes(kIdentify);
    ASSERT_GT(out.size(), echo.size() + 5);
    EXPECT_EQ(Bytes(out.begin() + 10, out.begin() + 15), HexToBytes("0055AA137F"));
    EXPECT_EQ(test::FramesIn(out).size(), 2u);  // echo and answer, both intact
    const auto read = Collect(b.Answers(kCloneRead));
    EXPECT_TRUE(read.allGood);
    EXPECT_EQ(read.image, b.sim.Image());
}

TEST(SimTamskorFaults, LateAnswersComeAfterTheProgramsWait) {
    Bench b(WithFault("late-answer"));
    const SimTime sent = b.now;
    b.sim.Receive(HexToBytes(kIdentify), sent);
    EXPECT_EQ(b.sim.TakeDue(sent + FromMs(1200)), HexToBytes(kIdentify));
    EXPECT_GT(*b.sim.NextEvent(), sent + FromMs(1500));
    EXPECT_EQ(test::FramesIn(test::Drain(b.sim, b.now)).size(), 1u);
}

TEST(SimTamskorFaults, DroppedBytes) {
    Bench b(WithFault("dropped-bytes:2"));
    EXPECT_EQ(b.Answers(kIdentify)[0].size(), 63u);  // answer 1 whole
    EXPECT_EQ(b.Answers(kIdentify)[0].size(), 62u);  // answer 2 short by a byte
    EXPECT_EQ(b.Answers(kIdentify)[0].size(), 63u);
    EXPECT_EQ(b.Answers(kIdentify)[0].size(), 62u);
}

TEST(SimTamskorFaults, NamesAndNumbers) {
    FaultSet set;
    for (const auto& info : kFaults) {
        EXPECT_FALSE(set.Parse(info.name)) << info.name;
        EXPECT_TRUE(set.Has(info.fault));
        EXPECT_EQ(set.K(info.fault), info.defaultK);
    }
    EXPECT_FALSE(set.Parse("bad-checksum:17"));
    EXPECT_EQ(set.K(Fault::BadChecksum), 17);
    EXPECT_EQ(set.Parse("no-echo:3"), "fault no-echo takes no number");
    EXPECT_TRUE(set.Parse("hang-up:0"));
    EXPECT_TRUE(set.Parse("hang-up:x"));
    EXPECT_TRUE(set.Parse("hang-up:"));
    EXPECT_EQ(set.Parse("bogus"), "unknown fault 'bogus'");
}

}  // namespace
}  // namespace quorvane::sim
