#pragma once

#include <chrono>
#include <cstdio>
#include <string>

namespace quorvane {

// A time's calendar fields in UTC, for file names and file trailers.
struct UtcTime {
    int year = 0;
    unsigned month = 0;
    unsigned day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

inline UtcTime SplitUtc(std::chrono::sys_seconds t) {
    const std::chrono::sys_days day = std::chrono::floor<std::chrono::days>(t);
    const std::chrono::year_month_day ymd{day};
    const std::chrono::hh_mm_ss hms{t - day};
    return {int{ymd.year()},
            unsigned{ymd.month()},
            unsigned{ymd.day()},
            static_cast<int>(hms.hours().count()),
            static_cast<int>(hms.minutes().count()),
            static_cast<int>(hms.seconds().count())};
}

// "2026-12-07 05:15:02 UTC"
inline std::string UtcText(std::chrono::sys_seconds t) {
    const UtcTime u = SplitUtc(t);
    char text[40];
    std::snprintf(text, sizeof text, "%04d-%02u-%02u %02d:%02d:%02d UTC", u.year, u.month, u.day,
                  u.hour, u.minute, u.second);
    return text;
}

// "05:15:02"
inline std::string UtcClockText(std::chrono::sys_seconds t) {
    const UtcTime u = SplitUtc(t);
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", u.hour, u.minute, u.second);
    return text;
}

}  // namespace quorvane
