// quorvane-bench-core: the headless core (every behaviour, no window toolkit) with the stand-in
// transceiver in the same process over the loopback serial control and a hand-set clock. Runs
// a whole session (Connect and the clone read, fifty key steps, a reload, the parameter dump,
// a filter sweep, shutdown) and reports the process's peak memory; then a hundred cycles of
// connect, adjust and reset, and how much the heap grew over them.
#include <chrono>
#include <cstdio>
#include <string>

#include "bench_rows.h"
#include "proc_stats.h"
#include "rig/heap_counter.h"
#include "rig/program_rig.h"

using namespace quorvane;
using namespace quorvane::bench;

namespace {

Int16 LineOf(test::ProgramRig& rig, const std::string& title) {
    const auto& lines = rig.form.lboConsole.lines;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].rfind(title, 0) == 0) {
            return static_cast<Int16>(i);
        }
    }
    return -1;
}

bool Session(test::ProgramRig& rig) {
    frmMain& main = rig.program.MainWindow();
    auto settle = [&rig](std::int32_t ms) { return rig.Settle(ms); };
    if (!rig.Connect() || !settle(30000)) {
        Say("bench: Connect did not reach a settled adjusting cycle\n");
        return false;
    }
    const Int16 sql = LineOf(rig, "       SQL");
    const Int16 bpf = rig.program.Operations().idxBpfT1();
    if (sql < 0) {
        return false;
    }
    rig.form.lboConsole.listIndex = sql;
    for (int k = 0; k < 50; ++k) {
        main.lboConsole_KeyDown(k < 25 ? vbKeyRight : vbKeyLeft, 0);
        rig.RunFor(300);
    }
    main.Form_KeyDown(vbKeyF5, 0);
    main.cmd00_Click(2);
    rig.RunFor(1000);
    main.cmd00_Click(2);
    if (!settle(30000)) {
        return false;
    }
    rig.form.lboConsole.listIndex = bpf;
    main.lboConsole_KeyDown(vbKeyReturn, 0);
    rig.RunFor(200);
    if (!settle(600000)) {
        Say("bench: the filter sweep did not end\n");
        return false;
    }
    main.Form_QueryUnload();
    return rig.form.messageBox.texts.empty();
}

// Connect, adjust and reset, cycle after cycle: the heap after the last cycle less the heap
// after the first, or -1 when a cycle failed.
std::int64_t HeapGrowth(int cycles) {
    sim::TamskorConfig config;
    config.bytesPerFrame = 64;
    test::ProgramRig rig(config);
    rig.sim.transceiver.SetTrace(nullptr);
    frmMain& main = rig.program.MainWindow();
    std::int64_t first = 0;
    for (int cycle = 1; cycle <= cycles; ++cycle) {
        if (!rig.Connect() || !rig.Settle()) {
            return -1;
        }
        rig.form.lboConsole.listIndex = LineOf(rig, "       SQL");
        main.lboConsole_KeyDown(cycle % 2 == 0 ? vbKeyRight : vbKeyLeft, 0);
        // Another port and back resets everything, as the menu does it.
        main.mnuOptSelCom_Click(2);
        main.mnuOptSelCom_Click(1);
        rig.RunFor(500);
        if (!rig.InInitialState() || !rig.form.messageBox.texts.empty()) {
            return -1;
        }
        if (cycle == 1) {
            first = test::LiveHeapBytes();
        }
    }
    return test::LiveHeapBytes() - first;
}

}  // namespace

int main() {
    const auto start = std::chrono::steady_clock::now();
    bool ok = false;
    {
        test::ProgramRig rig;
        rig.sim.transceiver.SetTrace(nullptr);  // the trace is the tests' record, not the core's
        ok = Session(rig);
    }
    const double mb = PeakRssMb();
    const auto wall = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - start);
    Say("core session: %s in %lld ms of wall time, peak %.2f MB\n", ok ? "done" : "FAILED",
        static_cast<long long>(wall.count()), mb);
    if (!ok) {
        return 1;
    }
    Row("Peak memory, headless core and in-process stand-in, whole session", Format("%.1f MB", mb),
        "<= 8 MB", mb <= 8.0);
    constexpr int kCycles = 100;
    const std::int64_t growth = HeapGrowth(kCycles);
    if (growth < 0) {
        Say("core soak: a connect, adjust and reset cycle failed\n");
        return 1;
    }
    // Room for allocations whose size depends on the moment (a receive batch, a queue block).
    Row(Format("Heap growth, %d in-process connect, adjust and reset cycles", kCycles),
        Format("%lld bytes", static_cast<long long>(growth)), "<= 8 KB", growth <= 8192);
    return 0;
}
