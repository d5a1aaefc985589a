#pragma once

#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

namespace quorvane::bench {

// Microseconds of std::chrono::steady_clock, which is CLOCK_MONOTONIC on Linux: the clock
// the stand-in stamps its trace with under --trace-clock monotonic.
inline std::int64_t MonotonicUs() {
    return std::chrono::duration_cast<std::chrono::microseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// CPU time used so far by the process, all threads, user and system (utime + stime of
// /proc/<pid>/stat), in seconds.
inline double CpuSeconds(const std::string& pid = "self") {
    std::ifstream in("/proc/" + pid + "/stat");
    std::string all((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    // The command name may hold spaces; the fields start after its closing parenthesis.
    const auto close = all.rfind(')');
    if (close == std::string::npos) {
        return 0.0;
    }
    std::istringstream fields(all.substr(close + 2));
    std::string field;
    long long utime = 0;
    long long stime = 0;
    // Field 3 (state) is the first after the name; utime and stime are fields 14 and 15.
    for (int n = 3; n <= 15 && fields >> field; ++n) {
        if (n == 14) {
            utime = std::stoll(field);
        } else if (n == 15) {
            stime = std::stoll(field);
        }
    }
    return static_cast<double>(utime + stime) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

// A "Name:   123 kB" field of /proc/<pid>/status, in kB; -1 when absent.
inline long StatusKb(const char* name, const std::string& pid = "self") {
    std::ifstream in("/proc/" + pid + "/status");
    std::string line;
    const std::size_t n = std::strlen(name);
    while (std::getline(in, line)) {
        if (line.compare(0, n, name) == 0 && line.size() > n && line[n] == ':') {
            return std::stol(line.substr(n + 1));
        }
    }
    return -1;
}

// Peak resident set size so far (VmHWM), in MB.
inline double PeakRssMb(const std::string& pid = "self") {
    return static_cast<double>(StatusKb("VmHWM", pid)) / 1024.0;
}

// The 1-minute load average of the machine.
inline double LoadAverage() {
    double load = 0.0;
    if (std::FILE* f = std::fopen("/proc/loadavg", "r")) {
        if (std::fscanf(f, "%lf", &load) != 1) {
            load = 0.0;
        }
        std::fclose(f);
    }
    return load;
}

}  // namespace quorvane::bench
