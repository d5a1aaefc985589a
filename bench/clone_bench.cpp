// quorvane-bench-clone: the CPU share of a whole `quorvane-clone read` against the tamskor-sim
// command on a pseudo-terminal, the stand-in pacing both directions at the line's rate as a
// real cable does. The command's CPU (user and system) comes from the kernel's account of
// the ended child; its share is of the read's real time.
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "bench_rows.h"
#include "proc_stats.h"
#include "support/sim_process.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;
using namespace quorvane::bench;

namespace {

constexpr double kGoalPercent = 5.0;

struct Options {
    std::string sim;
    std::string clone;
    int baud = 9600;
};

bool Parse(int argc, char** argv, Options& o) {
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string name = argv[i];
        if (name == "--sim") {
            o.sim = argv[i + 1];
        } else if (name == "--clone") {
            o.clone = argv[i + 1];
        } else if (name == "--baud") {
            o.baud = std::atoi(argv[i + 1]);
        } else {
            return false;
        }
    }
    return !o.sim.empty() && !o.clone.empty() && argc % 2 == 1;
}

}  // namespace

int main(int argc, char** argv) {
    Options o;
    if (!Parse(argc, argv, o)) {
        Say("usage: quorvane-bench-clone --sim TAMSKOR_SIM --clone QUORVANE_CLONE [--baud N]\n");
        return 2;
    }
    quorvane::test::TempDir dir;
    // The most a clone frame holds, as the demo's stand-in sends: the shortest whole read.
    quorvane::test::SimProcess sim(o.sim, {"--baud", std::to_string(o.baud), "--bytes-per-frame",
                                           "122", "--paced-input", "on"});
    if (!sim.Ok()) {
        Say("bench: cannot start %s\n", o.sim.c_str());
        return 1;
    }
    const std::string out = (dir.path() / "read.qvimg").string();
    std::vector<std::string> args{o.clone, "read", "--device", sim.Device(), "--out", out};
    std::vector<std::string> env{"XDG_DATA_HOME=" + dir.path().string(),
                                 "HOME=" + dir.path().string()};
    std::vector<char*> argp;
    std::vector<char*> envp;
    for (std::string& a : args) {
        argp.push_back(a.data());
    }
    argp.push_back(nullptr);
    for (std::string& e : env) {
        envp.push_back(e.data());
    }
    envp.push_back(nullptr);
    // Standard error is no terminal, so the command draws no progress: its work alone counts.
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    const std::int64_t startUs = MonotonicUs();
    const int spawned =
        posix_spawn(&pid, o.clone.c_str(), &actions, nullptr, argp.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        Say("bench: cannot start %s\n", o.clone.c_str());
        return 1;
    }
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) != pid) {
        Say("bench: lost %s\n", o.clone.c_str());
        return 1;
    }
    const double seconds = static_cast<double>(MonotonicUs() - startUs) / 1e6;
    const double cpu = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                       static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    const bool read = WIFEXITED(status) && WEXITSTATUS(status) == 0 && fs::exists(out);
    Say("clone read: %.2f s of CPU in %.1f s, %s\n", cpu, seconds,
        read ? "image saved" : "the read failed");
    const double percent = seconds > 0 ? cpu / seconds * 100.0 : 100.0;
    Row(Format("CPU of a quorvane-clone read, %d baud", o.baud),
        read ? Format("%.2f %% of one core", percent) : std::string("the read failed"),
        Format("<= %.0f %%", kGoalPercent), read && percent <= kGoalPercent);
    return read ? 0 : 1;
}
