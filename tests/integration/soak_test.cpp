// Two hundred working sessions of the whole program with one transceiver: connect, read, adjust,
// reset. None may fail, and the program's heap must not grow from one to the next.
#include <gtest/gtest.h>

#include <cstdint>
#include <iostream>

#include "eeprom/eeprom_map.h"
#include "support/bench_rig.h"
#include "support/heap_counter.h"

namespace quorvane {
namespace {

constexpr int kCycles = 200;
// Room for allocations whose size depends on the moment (a receive batch, a queue block).
constexpr std::int64_t kHeapSlackBytes = 8192;

TEST(Soak, ConnectReadAdjustResetCycles) {
    sim::TamskorConfig config;
    config.bytesPerFrame = 64;
    test::BenchRig rig(config);
    frmMain& window = rig.program.MainWindow();
    constexpr Int16 kSqlLine = 8;

    std::int64_t heapAfterFirst = 0;
    std::int64_t heapMax = 0;
    for (int cycle = 1; cycle <= kCycles; ++cycle) {
        SCOPED_TRACE(cycle);
        ASSERT_TRUE(rig.Connect());
        ASSERT_EQ(rig.program.Radio().eepImage().data(), rig.Transceiver().Image().data());

        // Adjust: SQL up two and down one, a filter level up five; everything sent.
        rig.form.lboConsole.ListIndex(kSqlLine);
        window.lboConsole_KeyDown(vbKeyRight, 0);
        window.lboConsole_KeyDown(vbKeyRight, 0);
        window.lboConsole_KeyDown(vbKeyLeft, 0);
        rig.form.lboConsole.ListIndex(11);
        window.lboConsole_KeyDown(vbKeyRight, vbShiftMask);
        ASSERT_TRUE(rig.RunUntil(
            [&] {
                const clsConsole& c = rig.program.Console();
                for (Int16 i = 0; i < c.ListCount(); ++i) {
                    if (c.flgChanged(i)) {
                        return false;
                    }
                }
                return rig.program.Operations().stepNo() == 28 &&
                       !rig.program.Sequence().OpRunning();
            },
            30000));
        rig.RunFor(1000);
        EXPECT_EQ(rig.Transceiver().Image().Byte(eepmap::kSqlLevel),
                  rig.program.Console().Value(kSqlLine));

        // Reset: another port and back, as the menu does it.
        window.mnuOptSelCom_Click(2);
        window.mnuOptSelCom_Click(1);
        rig.RunFor(500);
        ASSERT_TRUE(rig.InInitialState());
        ASSERT_TRUE(rig.form.messageBox.texts.empty());

        const std::int64_t live = test::LiveHeapBytes();
        if (cycle == 1) {
            heapAfterFirst = live;
        }
        heapMax = std::max(heapMax, live);
    }
    const std::int64_t heapEnd = test::LiveHeapBytes();
    std::cout << "soak: " << kCycles << " cycles, heap after the first " << heapAfterFirst
              << " bytes, after the last " << heapEnd << " bytes, highest " << heapMax
              << " bytes\n";
    EXPECT_LE(heapEnd - heapAfterFirst, kHeapSlackBytes);
    EXPECT_LE(heapMax - heapAfterFirst, kHeapSlackBytes);
}

}  // namespace
}  // namespace quorvane
