#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <variant>

#include "platform/checked.h"

namespace quorvane {

// A currency amount: fixed point with four decimals, held as ten-thousandths.
struct Currency {
    std::int64_t tenThousandths = 0;
    friend bool operator==(const Currency&, const Currency&) = default;
};

// A calendar date with a time of day.
struct Date {
    Int16 year = 2000;
    Int16 month = 1;
    Int16 day = 1;
    Int16 hour = 0;
    Int16 minute = 0;
    Int16 second = 0;
    friend bool operator==(const Date&, const Date&) = default;
};

// True for a real date (years 100 to 9999) with a time of day from 00:00:00 to 23:59:59.
bool IsValidDate(const Date& d);

// A value the profile store reads or writes; the alternative held is its run-time type.
// std::monostate stands for every other type, which the store refuses.
using ProfileValue = std::variant<std::monostate, Int16, Int32, std::uint8_t, float, double,
                                  Currency, Date, std::string, bool>;

// The text stored for a value: numbers in decimal without a leading blank, a date as
// "yyyy.mm.dd-hh:mm:ss", a Boolean as "1" or "0", a text as it is. Nothing for
// std::monostate, a number that is not finite or an invalid date, none of which read back.
std::optional<std::string> ProfileText(const ProfileValue& value);

// Converts text into the type value holds and stores it there; false, leaving value as it
// was, when the text is not a number of that type or out of its range. Numbers take an
// optional sign and decimal digits, floating types also a decimal point and an exponent,
// currency a decimal point; anything else, blanks included, is refused. A Boolean is false
// only for exactly "0". A date is taken only from exactly 19 characters; text of any other
// length leaves a date as it was and still succeeds.
bool ParseProfileText(const std::string& text, ProfileValue& value);

}  // namespace quorvane
