#pragma once

#include <chrono>

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

}  // namespace quorvane
