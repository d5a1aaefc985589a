// The soak over a real pseudo-terminal: one tamskor-sim transceiver with its whole image, and
// the program on its real serial port connecting, reading, adjusting and resetting again and
// again. Prints one line per cycle and a summary; exits non-zero on any failure. Run by
// scripts/soak (a cycle holds a full clone read at 9600 baud, over a minute of real time).
//
//   pty_soak CYCLES
#include <QCoreApplication>
#include <QElapsedTimer>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "eeprom/eeprom_map.h"
#include "sim/sim_image.h"
#include "rig/heap_counter.h"
#include "support/qt_program_rig.h"
#include "support/sim_process.h"
#include "support/temp_dir.h"

namespace {

using namespace quorvane;

constexpr int kSeed = 4;
constexpr Int16 kSqlLine = 8;
constexpr Int16 kBpfT1Line = 11;

long ResidentKb() {
    long pages = 0, resident = 0;
    if (std::FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) {
            resident = 0;
        }
        std::fclose(f);
    }
    return resident * 4;
}

int Fail(const std::string& why, int cycle) {
    std::printf("FAILED in cycle %d: %s\n", cycle, why.c_str());
    return 1;
}

bool AllSent(test::QtProgramRig& rig) {
    const clsConsole& c = rig.program.Console();
    for (Int16 i = 0; i < c.ListCount(); ++i) {
        if (c.flgChanged(i)) {
            return false;
        }
    }
    return rig.program.Operations().stepNo() == 28 && !rig.program.Sequence().OpRunning();
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int cycles = argc > 1 ? std::atoi(argv[1]) : 20;
    if (cycles < 1) {
        std::fprintf(stderr, "usage: pty_soak CYCLES\n");
        return 2;
    }
    test::TempDir dir;
    const std::string link = dir.File("radio");
    const std::string saved = dir.File("image.bin");
    test::QtProgramRig rig;
    rig.device = link;
    frmMain& window = rig.program.MainWindow();

    int status = 0;
    std::vector<std::uint8_t> expected = sim::SimImage::Generate(kSeed).data();
    {
        test::SimProcess radio(
            TAMSKOR_SIM_EXE, {"--link", link, "--seed", std::to_string(kSeed), "--bytes-per-frame",
                              "122", "--save-image", saved});
        if (!radio.Ok()) {
            return Fail("the stand-in did not start", 0);
        }
        std::printf("%5s %9s %9s %11s %9s %8s\n", "cycle", "read s", "cycle s", "heap bytes",
                    "rss kB", "messages");
        std::int64_t firstHeap = 0;
        QElapsedTimer total;
        total.start();
        for (int cycle = 1; cycle <= cycles && status == 0; ++cycle) {
            QElapsedTimer t;
            t.start();
            if (!rig.Connect(150000)) {
                status = Fail("connect did not finish", cycle);
                break;
            }
            const double readSeconds = static_cast<double>(t.elapsed()) / 1000.0;
            if (rig.program.Radio().eepImage().data() != expected) {
                status = Fail("the image read differs from the transceiver's", cycle);
                break;
            }
            rig.form.lboConsole.ListIndex(kSqlLine);
            window.lboConsole_KeyDown(vbKeyRight, 0);
            window.lboConsole_KeyDown(vbKeyRight, 0);
            window.lboConsole_KeyDown(vbKeyLeft, 0);
            rig.form.lboConsole.ListIndex(kBpfT1Line);
            window.lboConsole_KeyDown(vbKeyRight, vbShiftMask);
            if (!rig.PumpUntil([&] { return AllSent(rig); }, 30000)) {
                status = Fail("the adjustments were not all sent", cycle);
                break;
            }
            rig.PumpFor(300);
            expected = rig.program.Radio().eepImage().data();
            window.mnuOptSelCom_Click(2);
            window.mnuOptSelCom_Click(1);
            rig.PumpFor(200);
            if (!rig.InInitialState()) {
                status = Fail("not back in the initial state after the reset", cycle);
                break;
            }
            const std::int64_t heap = test::LiveHeapBytes();
            if (cycle == 1) {
                firstHeap = heap;
            }
            std::printf("%5d %9.1f %9.1f %11lld %9ld %8zu\n", cycle, readSeconds,
                        static_cast<double>(t.elapsed()) / 1000.0, static_cast<long long>(heap),
                        ResidentKb(), rig.form.messageBox.texts.size());
            std::fflush(stdout);
            if (!rig.form.messageBox.texts.empty()) {
                status = Fail("a message was shown: " + rig.form.messageBox.texts.front(), cycle);
            }
        }
        std::printf("%d cycles in %.1f s; heap after the first %lld bytes, now %lld bytes\n",
                    cycles, static_cast<double>(total.elapsed()) / 1000.0,
                    static_cast<long long>(firstHeap),
                    static_cast<long long>(test::LiveHeapBytes()));
        if (test::LiveHeapBytes() - firstHeap > 8192) {
            status = Fail("the heap grew", cycles);
        }
    }
    // The stand-in saved its image on exit: every adjustment arrived.
    const sim::SimImage final = sim::SimImage::Load(saved);
    if (status == 0 && final.data() != expected) {
        status = Fail("the transceiver's final image differs from the program's", cycles);
    }
    std::printf(status == 0 ? "soak passed\n" : "soak FAILED\n");
    return status;
}
