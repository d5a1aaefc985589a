// quorvane-bench-core: the headless core (every behaviour, no window toolkit) with the stand-in
// transceiver in the same process over the loopback serial control and a hand-set clock. Runs
// a whole session (Connect and the clone read, fifty key steps, a reload, the parameter dump,
// a filter sweep, shutdown) and reports the process's peak memory; then a hundred cycles of
// connect, adjust and reset, and how much the heap grew over them.
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "bench_rows.h"
#include "proc_stats.h"
#include "record/service_session.h"
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

// The heap the service record's journal holds: a copy of it with the same buffer size, measured
// as it is built. Texts are copied at their length, so a text that kept spare room when it was
// built counts a little less than it holds.
struct JournalHeap {
    std::int64_t bytes = 0;
    std::int64_t entries = 0;
};

JournalHeap JournalOf(test::ProgramRig& rig) {
    const ServiceSession* session = rig.program.Records().Session();
    if (session == nullptr) {
        return {};
    }
    const std::vector<JournalEntry>& journal = session->Journal();
    const std::int64_t before = test::LiveHeapBytes();
    std::vector<JournalEntry> copy;
    copy.reserve(journal.capacity());
    copy.assign(journal.begin(), journal.end());
    return {test::LiveHeapBytes() - before, static_cast<std::int64_t>(journal.size())};
}

// How the heap grew from the end of the first cycle to the end of the last, and what of it
// the journal of the one continuing session holds.
struct Growth {
    bool ok = false;
    std::int64_t heap = 0;
    JournalHeap journal;  // the journal's growth
};

// Connect, adjust and reset, cycle after cycle, on one transceiver: each Connect finds it
// holding what the session left in it, so the one session goes on and its journal grows.
Growth HeapGrowth(int cycles) {
    sim::TamskorConfig config;
    config.bytesPerFrame = 64;
    test::ProgramRig rig(config);
    rig.sim.transceiver.SetTrace(nullptr);
    frmMain& main = rig.program.MainWindow();
    std::int64_t first = 0;
    JournalHeap journalFirst;
    for (int cycle = 1; cycle <= cycles; ++cycle) {
        if (!rig.Connect() || !rig.Settle()) {
            return {};
        }
        rig.form.lboConsole.listIndex = LineOf(rig, "       SQL");
        main.lboConsole_KeyDown(cycle % 2 == 0 ? vbKeyRight : vbKeyLeft, 0);
        // Another port and back resets everything, as the menu does it.
        main.mnuOptSelCom_Click(2);
        main.mnuOptSelCom_Click(1);
        rig.RunFor(500);
        if (!rig.InInitialState() || !rig.form.messageBox.texts.empty()) {
            return {};
        }
        if (cycle == 1) {
            journalFirst = JournalOf(rig);
            first = test::LiveHeapBytes();
        }
    }
    const std::int64_t last = test::LiveHeapBytes();
    const JournalHeap journalLast = JournalOf(rig);
    return {true,
            last - first,
            {journalLast.bytes - journalFirst.bytes, journalLast.entries - journalFirst.entries}};
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
    const Growth growth = HeapGrowth(kCycles);
    if (!growth.ok || growth.journal.entries <= 0) {
        Say("core soak: a connect, adjust and reset cycle failed\n");
        return 1;
    }
    // Everything but the journal stays as it was; room for allocations whose size depends on
    // the moment (a receive batch, a queue block).
    const std::int64_t other = growth.heap - growth.journal.bytes;
    Say("core soak: the heap grew %lld bytes, the journal %lld of them in %lld entries of %zu "
        "bytes each and their texts\n",
        static_cast<long long>(growth.heap), static_cast<long long>(growth.journal.bytes),
        static_cast<long long>(growth.journal.entries), sizeof(JournalEntry));
    Row(Format("Heap growth but the service record's journal, %d in-process connect, adjust and "
               "reset cycles",
               kCycles),
        Format("%lld bytes", static_cast<long long>(other)), "<= 8 KB", other <= 8192);
    // The journal of a continuing session keeps every send: what one costs, the spare room of
    // its growing buffer included. At 512 bytes a day of 10,000 sends holds 5 MB.
    const double perEntry =
        static_cast<double>(growth.journal.bytes) / static_cast<double>(growth.journal.entries);
    Row(Format("Service record journal, heap per entry (%lld entries over %d cycles)",
               static_cast<long long>(growth.journal.entries), kCycles),
        Format("%.0f bytes", perEntry), "<= 512 bytes", perEntry <= 512.0);
    return 0;
}
