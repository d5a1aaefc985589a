// quorvane-bench-startup: process start to window shown, offscreen, for quorvane-bench-adj,
// the program's own start-up with a probe that writes the moment its window is first exposed
// to the file named on its command line. This launcher notes the moment just before it
// starts the process, on the same monotonic clock, and ends the process afterwards.
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "bench_rows.h"
#include "proc_stats.h"

namespace fs = std::filesystem;
using namespace quorvane::bench;

namespace {

struct Run {
    double ms = -1;
    double peakMb = -1;
};

// Starts the program in a fresh home and runtime directory (so it meets no other instance
// and no settings), waits for its window, then ends it.
Run StartOnce(const std::string& program, const fs::path& dir) {
    fs::remove_all(dir);
    fs::create_directories(dir / "home");
    fs::create_directories(dir / "run");
    fs::permissions(dir / "run", fs::perms::owner_all, fs::perm_options::replace);
    const std::string shown = (dir / "shown").string();
    std::vector<std::string> env{"QT_QPA_PLATFORM=offscreen", "HOME=" + (dir / "home").string(),
                                 "XDG_RUNTIME_DIR=" + (dir / "run").string(),
                                 "XDG_CONFIG_HOME=" + (dir / "home").string()};
    if (const char* path = std::getenv("PATH")) {
        env.push_back(std::string("PATH=") + path);
    }
    std::vector<char*> envp;
    for (auto& e : env) {
        envp.push_back(e.data());
    }
    envp.push_back(nullptr);
    std::string arg0 = program;
    std::string arg1 = shown;
    char* argv[] = {arg0.data(), arg1.data(), nullptr};

    Run run;
    pid_t pid = -1;
    const std::int64_t startUs = MonotonicUs();
    if (posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv, envp.data()) != 0) {
        Say("bench: cannot start %s\n", program.c_str());
        return run;
    }
    long long shownUs = -1;
    for (int i = 0; i < 2000 && shownUs < 0; ++i) {  // at most 20 s
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        std::ifstream in(shown);
        long long v = -1;
        if (in >> v) {
            shownUs = v;
        }
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == pid) {
            Say("bench: the program ended before showing its window\n");
            return run;
        }
    }
    if (shownUs >= 0) {
        run.ms = static_cast<double>(shownUs - startUs) / 1000.0;
        run.peakMb = PeakRssMb(std::to_string(pid));
    }
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
    return run;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fputs("Usage: quorvane-bench-startup PROBED-PROGRAM [RUNS]\n", stderr);
        return 2;
    }
    const std::string program = argv[1];
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
    const fs::path dir =
        fs::temp_directory_path() / ("quorvane-bench-startup-" + std::to_string(getpid()));
    // A first start fills the system's caches (libraries, fonts); it is shown, not counted.
    const Run cold = StartOnce(program, dir);
    std::vector<double> times;
    double peak = 0;
    for (int i = 0; i < runs; ++i) {
        const Run r = StartOnce(program, dir);
        if (r.ms < 0) {
            fs::remove_all(dir);
            return 1;
        }
        times.push_back(r.ms);
        peak = std::max(peak, r.peakMb);
    }
    fs::remove_all(dir);
    std::sort(times.begin(), times.end());
    const double median = times[times.size() / 2];
    const double worst = times.back();
    Say("start-up: cold %.0f ms; warm", cold.ms);
    for (double t : times) {
        Say(" %.0f", t);
    }
    Say(" ms\n");
    Row(Format("Start-up to window shown (%d starts)", runs),
        Format("median %.0f ms, max %.0f ms (cold start %.0f ms)", median, worst, cold.ms),
        "<= 300 ms", median <= 300.0 && worst <= 300.0);
    Row("Peak memory, quorvane-adj with its window shown", Format("%.1f MB", peak), "<= 60 MB",
        peak > 0 && peak <= 60.0);
    return 0;
}
