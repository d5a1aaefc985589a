#pragma once

#include <cstdarg>
#include <cstdio>
#include <string>

#include "proc_stats.h"

namespace quorvane::bench {

// One line of the table scripts/bench prints, on standard output:
//   ROW <tab> measure <tab> result <tab> goal <tab> yes|no <tab> load
// The load is the machine's 1-minute load average when the measure was taken.
inline void Row(const std::string& measure, const std::string& result, const std::string& goal,
                bool met) {
    std::printf("ROW\t%s\t%s\t%s\t%s\t%.2f\n", measure.c_str(), result.c_str(), goal.c_str(),
                met ? "yes" : "no", LoadAverage());
    std::fflush(stdout);
}

// printf into a std::string.
inline std::string Format(const char* format, ...) {
    char buf[512];
    std::va_list args;
    va_start(args, format);
    std::vsnprintf(buf, sizeof buf, format, args);
    va_end(args);
    return buf;
}

// A remark for the reader, on standard error so it never mixes with the rows.
inline void Say(const char* format, ...) {
    std::va_list args;
    va_start(args, format);
    std::vfprintf(stderr, format, args);
    va_end(args);
    std::fflush(stderr);
}

}  // namespace quorvane::bench
