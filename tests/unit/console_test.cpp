#include <gtest/gtest.h>

#include <algorithm>

#include "console/console.h"
#include "rig/fake_controls.h"

namespace quorvane {
namespace {

// Item lines and Enter events as the owner would see them; sending is the whole program's.
class RecordingEvents final : public IConsoleEvents {
  public:
    std::string ConsEv_Disp(clsConsole& c, Int16 index, Int16 evNo, Int16 val) override {
        return c.Title(index) + "|ev" + std::to_string(evNo) + "=" + std::to_string(val);
    }
    void ConsEv_SendE8(clsConsole&, Int16, Int16, Int16) override {}
    void ConsEv_Enter(clsConsole&, Int16 index, Int16 evNo, Int16) override {
        enters.push_back(std::to_string(index) + " ev" + std::to_string(evNo));
    }
    void WaitE8Required(Int32) override {}
    std::vector<std::string> enters;
};

class ConsoleTest : public ::testing::Test {
  protected:
    ConsoleTest() {
        console.myListBox = &list;
        console.myEventClass = &events;
        console.myEeprom = &image;
    }
    Int16 Add(const std::string& title) {
        console.AddItem();
        const auto i = static_cast<Int16>(console.ListCount() - 1);
        console.Title(i, title);
        return i;
    }
    int Cells(Int16 i) {
        const std::string bar = console.BarString(i);
        EXPECT_EQ(bar.size(), 23u);  // " [", twenty cells, "]"
        return static_cast<int>(std::count(bar.begin(), bar.end(), '#'));
    }
    test::FakeListBox list;
    RecordingEvents events;
    clsCmcEeprom image;
    clsConsole console;
};

TEST_F(ConsoleTest, LimitsPushEachOtherAndUpDownWrapsOnlyFromTheLimit) {
    const Int16 i = Add("     TEST");
    console.Max(i, 5);
    console.Value(i, 5);
    console.Min(i, 10);  // raises Max, clamps the value
    EXPECT_EQ(console.Max(i), 10);
    EXPECT_EQ(list.lines[0], "     TEST:  10");
    console.Max(i, 3);  // lowers Min
    EXPECT_EQ(console.Min(i), 3);
    EXPECT_EQ(console.Value(i), 3);

    console.Max(i, 20);
    console.LoopVal(i, true);
    console.Value(i, 18);
    std::vector<Int16> seen;
    for (Int16 step : {5, 1, -1, -5}) {
        console.flgChanged(i, false);
        console.UpDown(i, step);
        EXPECT_TRUE(console.flgChanged(i));
        seen.push_back(console.Value(i));
    }
    EXPECT_EQ(seen, (std::vector<Int16>{20, 3, 20, 15}));

    console.LoopVal(i, false);
    console.Max(i, 32767);
    console.Value(i, 32767);
    EXPECT_THROW(console.UpDown(i, 5), RuntimeError);
    EXPECT_EQ(console.Value(i), 32767);
}

TEST_F(ConsoleTest, BarRoundsHalvesToEven) {
    const Int16 i = Add("B");
    console.BarExist(i, true);
    console.Max(i, 80);
    for (auto [value, cells] : {std::pair{10, 2}, {30, 8}, {11, 3}, {80, 20}}) {
        console.Value(i, static_cast<Int16>(value));
        EXPECT_EQ(Cells(i), cells) << value;  // 2.5, 7.5, 2.75, 20
    }
    console.Value(i, 0);
    EXPECT_EQ(list.lines[0], "B:   0 [--------------------]");
    console.Min(i, 40);
    console.Value(i, 60);
    EXPECT_EQ(Cells(i), 10);
    console.Max(i, 40);  // no range: an empty bar, not a division by zero
    EXPECT_EQ(console.BarString(i), " [--------------------]");
    console.BarExist(i, false);
    console.Min(i, 0);
    console.Max(i, 30000);
    console.Value(i, 2000);  // (Value - Min) x 20 beyond 16 bits
    EXPECT_THROW(console.BarString(i), RuntimeError);
}

TEST_F(ConsoleTest, EepromBytesSignedOrUnsigned) {
    const Int16 i = Add("S");
    console.EeAdr(i, 100);
    console.Min(i, -128);
    image.WriteByte(100, 0xF0);
    console.EeDataSigned(i, true);
    console.ReadFromEe(i);
    EXPECT_EQ(console.Value(i), -16);
    image.WriteByte(100, 0);
    console.WriteToEe(i);
    EXPECT_EQ(image.ReadByte(100), 0xF0);
    console.EeDataSigned(i, false);
    console.Max(i, 200);
    console.ReadFromEe(i);
    EXPECT_EQ(console.Value(i), 200);  // 240, clamped
}

TEST_F(ConsoleTest, EventLinesAndOneEnterRequestAtATime) {
    const Int16 a = Add("A");
    const Int16 b = Add("B");
    console.Event_Disp(a, 4);
    console.Value(a, 9);
    EXPECT_EQ(list.lines[0], "A|ev4=9");
    console.Event_Enter(b, 7);
    console.EnterPushed(a);
    console.EnterPushed(b);
    EXPECT_FALSE(console.flgEnterOn(a));
    EXPECT_TRUE(console.flgEnterOn(b));
    console.EnterExec(b);
    console.EnterExec(a);  // no Enter event: nothing
    EXPECT_EQ(events.enters, (std::vector<std::string>{"1 ev7"}));
    EXPECT_TRUE(console.flgEnterOn(b));  // the caller clears it
}

TEST_F(ConsoleTest, BadIndexIsARangeErrorAndChangesNothing) {
    Add("A");
    EXPECT_THROW(console.Value(1, 3), RuntimeError);
    EXPECT_THROW(console.Value(-1), RuntimeError);
    EXPECT_THROW(console.flgEnterOn(2, true), RuntimeError);
    EXPECT_THROW(console.Disp(1), RuntimeError);
    EXPECT_EQ(console.ListCount(), 1);
    EXPECT_EQ(list.lines.size(), 1u);
}

}  // namespace
}  // namespace quorvane
