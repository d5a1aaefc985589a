// quorvane-bench-image: a clone write of the whole image at 9600 baud with the stand-in
// in-process on the hand-set clock, against the time its bytes take on the line; the
// automatic backup after a read, on the real file system; and the saving of a long session's
// service record with its page and charts.
#include <algorithm>
#include <chrono>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include <QGuiApplication>

#include "bench_rows.h"
#include "image/image_file.h"
#include "qt/curve_chart.h"
#include "rig/program_rig.h"
#include "support/temp_dir.h"

using namespace quorvane;
using namespace quorvane::bench;

namespace {

// Bytes of the frames in trace lines ("PC>TR  FE FE ... FD  | meaning"), both directions; the
// echo overlaps the sending and is not counted.
std::size_t FrameBytes(const std::string& wire) {
    std::size_t bytes = 0;
    std::istringstream in(wire);
    for (std::string line; std::getline(in, line);) {
        const auto bar = line.find(" | ");
        if (line.size() < 7 || (line.rfind("PC>TR", 0) != 0 && line.rfind("TR>PC", 0) != 0) ||
            bar == std::string::npos) {
            continue;
        }
        std::istringstream hex(line.substr(7, bar - 7));
        for (std::string token; hex >> token;) {
            ++bytes;
        }
    }
    return bytes;
}

bool CloneWrite(const std::filesystem::path& folder) {
    test::ProgramRig rig;
    if (!rig.Connect() || !rig.Settle()) {
        Say("bench: no settled connection\n");
        return false;
    }
    const std::filesystem::path file = folder / "write.qvimg";
    Bytes image = sim::SimImage::Generate(2).data();
    if (!SaveImageFile(file, image, {{0x8537, 0x0200, 0x04, 0x7FE0}, {}})) {
        return false;
    }
    const std::size_t before = FrameBytes(rig.Wire());
    const std::int32_t start = rig.sim.clock.TickCount();
    rig.program.Images().StartWrite(file.string());
    // The line is pumped every millisecond, so the arrival of each echo runs its tick when it
    // comes, as on the desktop; the 50 ms timer goes on beside it.
    for (int t = 1; rig.program.Sequence().OpRunning(); ++t) {
        rig.sim.Advance(1);
        if (t % 50 == 0) {
            rig.program.Tick();
        }
        if (t > 600000) {
            Say("bench: the clone write did not end\n");
            return false;
        }
    }
    const double ms = rig.sim.clock.TickCount() - start;
    const double wireMs = static_cast<double>(FrameBytes(rig.Wire()) - before) * 10.0 / 9.6;
    Row("clone write, 32736 bytes at 9600 baud: time / wire time",
        Format("%.3f (%.1f s / %.1f s)", ms / wireMs, ms / 1000, wireMs / 1000), "<= 1.02",
        ms / wireMs <= 1.02);
    return true;
}

bool Backup(const std::filesystem::path& folder) {
    test::ProgramRig rig({}, sim::SimImage::Generate(1), (folder / "data").string());
    if (!rig.Connect()) {
        return false;
    }
    std::vector<double> ms;
    for (int i = 0; i < 21; ++i) {
        const auto t0 = std::chrono::steady_clock::now();
        rig.program.Images().CloneReadDone();
        ms.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0)
                .count());
    }
    std::sort(ms.begin(), ms.end());
    Row("automatic backup after a read (median of 21)", Format("%.2f ms", ms[10]), "< 50 ms",
        ms[10] < 50.0);
    return rig.form.messageBox.texts.empty();
}

// A long bench session (ten BPF T1 sweeps, some 2,600 sends in the journal): saving its
// service record, text, table and the page with a chart of each sweep, which the exit does as
// well, must not hold the window up.
bool Record(const std::filesystem::path& folder) {
    const QtCurveChart charts;
    test::ProgramRig rig({}, sim::SimImage::Generate(1), (folder / "records").string(), nullptr,
                         &charts);
    if (!rig.Connect() || !rig.Settle()) {
        return false;
    }
    constexpr Int16 kBpfT1 = 11;
    for (int sweep = 1; sweep <= 10; ++sweep) {
        rig.program.Console().EnterPushed(kBpfT1);
        if (!rig.RunUntil([&] { return rig.form.beeper.beeps == sweep; }, 600000) ||
            !rig.Settle()) {
            Say("bench: sweep %d did not end\n", sweep);
            return false;
        }
    }
    const std::size_t entries = rig.program.Records().Session()->Journal().size();
    std::vector<double> ms;
    for (int i = 0; i < 11; ++i) {
        const auto t0 = std::chrono::steady_clock::now();
        const RecordStatus saved =
            rig.program.Records().Save((folder / ("r" + std::to_string(i) + ".txt")).string());
        ms.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0)
                .count());
        if (!saved) {
            Say("bench: %s\n", saved.text().c_str());
            return false;
        }
    }
    std::sort(ms.begin(), ms.end());
    Row(Format("service record of %zu journal lines (ten BPF sweeps), text, table and page "
               "with ten charts saved (median of 11)",
               entries),
        Format("%.2f ms", ms[5]), "< 100 ms", ms[5] < 100.0);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    // The charts are drawn as the program draws them, with its fonts; no display is needed.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    const QGuiApplication app(argc, argv);
    test::TempDir dir;
    return CloneWrite(dir.path()) && Backup(dir.path()) && Record(dir.path()) ? 0 : 1;
}
