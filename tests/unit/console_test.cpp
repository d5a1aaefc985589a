#include <gtest/gtest.h>

#include "console/console.h"
#include "rig/fake_controls.h"

namespace quorvane {
namespace {

class RecordingEvents final : public IConsoleEvents {
  public:
    std::string ConsEv_Disp(clsConsole& c, Int16 index, Int16 evNo, Int16 val) override {
        ++disps;
        return c.Title(index) + "|ev" + std::to_string(evNo) + "=" + std::to_string(val);
    }
    void ConsEv_SendE8(clsConsole&, Int16 index, Int16 evNo, Int16 val) override {
        sends.push_back({index, evNo, val});
    }
    void ConsEv_Enter(clsConsole&, Int16 index, Int16 evNo, Int16 val) override {
        enters.push_back({index, evNo, val});
    }
    void WaitE8Required(Int32 ms) override { waits.push_back(ms); }

    struct Call {
        Int16 index, evNo, val;
    };
    int disps = 0;
    std::vector<Call> sends, enters;
    std::vector<Int32> waits;
};

class RecordingSender final : public IE8Sender {
  public:
    Int16 easySendE8NoAnswer(const std::string& spE8) override {
        texts.push_back(spE8);
        return 0;
    }
    std::vector<std::string> texts;
};

class ConsoleTest : public ::testing::Test {
  protected:
    ConsoleTest() {
        console.myListBox = &list;
        console.myEventClass = &events;
        console.myVep3Seq = &sender;
        console.myEeprom = &image;
    }
    Int16 Add(const std::string& title) {
        console.AddItem();
        const auto i = static_cast<Int16>(console.ListCount() - 1);
        console.Title(i, title);
        return i;
    }
    test::FakeListBox list;
    RecordingEvents events;
    RecordingSender sender;
    clsCmcEeprom image;
    clsConsole console;
};

TEST_F(ConsoleTest, NewItemHasTheDefaultsAndItsLine) {
    console.AddItem();
    ASSERT_EQ(console.ListCount(), 1);
    EXPECT_EQ(console.Title(0), "");
    EXPECT_EQ(console.Value(0), 0);
    EXPECT_EQ(console.Min(0), 0);
    EXPECT_EQ(console.Max(0), 255);
    EXPECT_EQ(console.WaitAfterE8(0), 200);
    EXPECT_EQ(console.EeAdr(0), -1);
    EXPECT_EQ(console.E8Command(0), -1);
    EXPECT_EQ(console.Event_Disp(0), -1);
    EXPECT_EQ(console.Event_Changed(0), -1);
    EXPECT_EQ(console.Event_SendE8(0), -1);
    EXPECT_EQ(console.Event_Enter(0), -1);
    EXPECT_FALSE(console.flgChanged(0));
    EXPECT_FALSE(console.flgEnterOn(0));
    EXPECT_FALSE(console.BarExist(0));
    EXPECT_FALSE(console.LoopVal(0));
    ASSERT_EQ(list.lines.size(), 1u);
    EXPECT_EQ(list.lines[0], ":   0");

    console.Clear();
    EXPECT_EQ(console.ListCount(), 0);
    EXPECT_TRUE(list.lines.empty());
}

TEST_F(ConsoleTest, LimitsClampAndRedraw) {
    const Int16 i = Add("     TEST");
    console.Max(i, 5);
    console.Value(i, 5);
    console.Min(i, 10);  // raises Max, clamps the value
    EXPECT_EQ(console.Max(i), 10);
    EXPECT_EQ(console.Value(i), 10);
    EXPECT_EQ(list.lines[0], "     TEST:  10");
    console.Max(i, 3);  // lowers Min
    EXPECT_EQ(console.Min(i), 3);
    EXPECT_EQ(console.Value(i), 3);

    const Int16 j = Add("J");
    console.flgChanged(j, false);
    console.Value(j, 300);
    EXPECT_EQ(console.Value(j), 255);
    EXPECT_TRUE(console.flgChanged(j));
    EXPECT_EQ(list.lines[1], "J: 255");
    console.Value(j, -12);
    EXPECT_EQ(console.Value(j), 0);
    console.Min(j, -20);
    console.Value(j, -12);
    EXPECT_EQ(list.lines[1], "J: -12");
}

TEST_F(ConsoleTest, UpDownStopsOrWrapsOnlyFromTheLimit) {
    const Int16 i = Add("X");
    console.Min(i, 10);
    console.Max(i, 20);
    console.Value(i, 20);
    console.flgChanged(i, false);
    console.UpDown(i, 1);
    EXPECT_EQ(console.Value(i), 20);
    EXPECT_TRUE(console.flgChanged(i));  // sent again even when unchanged
    console.Value(i, 18);
    console.UpDown(i, 5);
    EXPECT_EQ(console.Value(i), 20);

    console.LoopVal(i, true);
    console.Value(i, 18);
    console.UpDown(i, 5);
    EXPECT_EQ(console.Value(i), 20);
    console.UpDown(i, 5);
    EXPECT_EQ(console.Value(i), 10);
    console.Value(i, 12);
    console.UpDown(i, -5);
    EXPECT_EQ(console.Value(i), 10);
    console.UpDown(i, -1);
    EXPECT_EQ(console.Value(i), 20);

    // 16-bit overflow of value + step is an error and changes nothing.
    console.LoopVal(i, false);
    console.Max(i, 32767);
    console.Value(i, 32767);
    EXPECT_THROW(console.UpDown(i, 5), RuntimeError);
    EXPECT_EQ(console.Value(i), 32767);
}

TEST_F(ConsoleTest, BarStringRoundsHalfToEven) {
    const Int16 i = Add("B");
    console.BarExist(i, true);
    auto barCount = [&] {
        const std::string bar = console.BarString(i);
        EXPECT_EQ(bar.size(), 23u);  // " [", twenty cells, "]"
        return static_cast<int>(std::count(bar.begin(), bar.end(), '#'));
    };
    console.Value(i, 128);
    EXPECT_EQ(barCount(), 10);  // 10.04
    console.Max(i, 200);
    console.Value(i, 50);
    EXPECT_EQ(barCount(), 5);
    console.Max(i, 80);
    console.Value(i, 10);
    EXPECT_EQ(barCount(), 2);  // 2.5
    console.Value(i, 30);
    EXPECT_EQ(barCount(), 8);  // 7.5
    console.Value(i, 80);
    EXPECT_EQ(console.BarString(i), " [####################]");
    console.Value(i, 0);
    EXPECT_EQ(console.BarString(i), " [--------------------]");
    EXPECT_EQ(list.lines[0], "B:   0 [--------------------]");
    // No range: an empty bar, not a division by zero.
    console.Max(i, 0);
    EXPECT_EQ(console.BarString(i), " [--------------------]");
    // (Value - Min) x 20 beyond 16 bits is an overflow.
    console.BarExist(i, false);
    console.Max(i, 30000);
    console.Value(i, 2000);
    EXPECT_THROW(console.BarString(i), RuntimeError);
}

TEST_F(ConsoleTest, EepromSignedAndUnsigned) {
    const Int16 i = Add("S");
    console.EeAdr(i, 100);
    console.Min(i, -128);
    image.WriteByte(100, 0xF0);
    console.EeDataSigned(i, true);
    console.ReadFromEe(i);
    EXPECT_EQ(console.Value(i), -16);
    console.WriteToEe(i);
    EXPECT_EQ(image.ReadByte(100), 0xF0);
    console.EeDataSigned(i, false);
    console.Max(i, 200);
    console.ReadFromEe(i);
    EXPECT_EQ(console.Value(i), 200);  // 240 clamped

    const Int16 k = Add("none");
    console.Value(k, 7);
    console.ReadFromEe(k);  // no address: nothing happens
    EXPECT_EQ(console.Value(k), 7);
}

TEST_F(ConsoleTest, GenericAndEventSends) {
    const Int16 i = Add("P");
    console.E8Command(i, 5);
    console.EeAdr(i, 130);
    console.WaitAfterE8(i, 500);
    console.Value(i, 200);
    console.SendE8(i);
    ASSERT_EQ(sender.texts.size(), 1u);
    EXPECT_EQ(sender.texts[0], "054338");
    ASSERT_EQ(events.waits.size(), 1u);
    EXPECT_EQ(events.waits[0], 500);
    EXPECT_EQ(image.ReadByte(130), 200);
    console.Value(i, 10);
    console.SendE8(i);
    EXPECT_EQ(sender.texts[1], "053041");

    const Int16 n = Add("N");  // no command, no event: nothing sent, value stored
    console.EeAdr(n, 140);
    console.Value(n, 9);
    console.SendE8(n);
    EXPECT_EQ(sender.texts.size(), 2u);
    EXPECT_EQ(image.ReadByte(140), 9);

    const Int16 e = Add("E");
    console.Event_SendE8(e, 0);
    console.E8Command(e, 0);
    console.Value(e, 3);
    console.SendE8(e);
    ASSERT_EQ(events.sends.size(), 1u);
    EXPECT_EQ(events.sends[0].index, e);
    EXPECT_EQ(events.sends[0].val, 3);
    EXPECT_EQ(sender.texts.size(), 2u);
    EXPECT_EQ(events.waits.size(), 2u);  // the handler sets its own wait
}

TEST_F(ConsoleTest, EventLinesAndEnterRequests) {
    const Int16 a = Add("A");
    const Int16 b = Add("B");
    console.Event_Disp(a, 4);
    EXPECT_EQ(list.lines[0], "A|ev4=0");
    console.Event_Enter(b, 7);
    console.EnterPushed(a);
    console.EnterPushed(b);
    EXPECT_FALSE(console.flgEnterOn(a));
    EXPECT_TRUE(console.flgEnterOn(b));
    console.EnterExec(b);
    ASSERT_EQ(events.enters.size(), 1u);
    EXPECT_EQ(events.enters[0].evNo, 7);
    EXPECT_TRUE(console.flgEnterOn(b));  // the caller clears it
    console.EnterExec(a);                // no Enter event: nothing
    EXPECT_EQ(events.enters.size(), 1u);
}

TEST_F(ConsoleTest, BadIndexIsARangeErrorAndChangesNothing) {
    Add("A");
    EXPECT_THROW(console.Value(1, 3), RuntimeError);
    EXPECT_THROW(console.Value(-1), RuntimeError);
    EXPECT_THROW(console.UpDown(5, 1), RuntimeError);
    EXPECT_THROW(console.flgEnterOn(2, true), RuntimeError);
    EXPECT_THROW(console.Disp(1), RuntimeError);
    EXPECT_EQ(console.ListCount(), 1);
    EXPECT_EQ(list.lines.size(), 1u);
}

}  // namespace
}  // namespace quorvane
