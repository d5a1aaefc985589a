#include "settings/profile_value.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>
#include <string_view>
#include <type_traits>

namespace quorvane {

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

std::size_t CountDigits(std::string_view s, std::size_t from) {
    std::size_t n = 0;
    while (from + n < s.size() && IsDigit(s[from + n])) {
        ++n;
    }
    return n;
}

bool IsSign(char c) {
    return c == '+' || c == '-';
}

// from_chars takes no '+'; a '+' followed by '-' has already been refused by the grammar.
std::string_view WithoutPlus(std::string_view s) {
    return (!s.empty() && s.front() == '+') ? s.substr(1) : s;
}

template <typename T>
std::optional<T> ParseInteger(std::string_view s) {
    const std::size_t start = (!s.empty() && IsSign(s.front())) ? 1 : 0;
    if (CountDigits(s, start) == 0 || start + CountDigits(s, start) != s.size()) {
        return std::nullopt;
    }
    const std::string_view body = WithoutPlus(s);
    std::int64_t v = 0;
    const auto [end, ec] = std::from_chars(body.data(), body.data() + body.size(), v);
    if (ec != std::errc{} || end != body.data() + body.size() ||
        v < std::numeric_limits<T>::min() || v > std::numeric_limits<T>::max()) {
        return std::nullopt;
    }
    return static_cast<T>(v);
}

// [sign] digits [. digits] | [sign] . digits, then optionally e|E [sign] digits.
bool IsFloatText(std::string_view s) {
    std::size_t i = (!s.empty() && IsSign(s.front())) ? 1 : 0;
    const std::size_t whole = CountDigits(s, i);
    i += whole;
    std::size_t fraction = 0;
    if (i < s.size() && s[i] == '.') {
        fraction = CountDigits(s, ++i);
        i += fraction;
    }
    if (whole + fraction == 0) {
        return false;
    }
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        ++i;
        if (i < s.size() && IsSign(s[i])) {
            ++i;
        }
        const std::size_t exponent = CountDigits(s, i);
        if (exponent == 0) {
            return false;
        }
        i += exponent;
    }
    return i == s.size();
}

template <typename T>
std::optional<T> ParseFloat(std::string_view s) {
    if (!IsFloatText(s)) {
        return std::nullopt;
    }
    const std::string_view body = WithoutPlus(s);
    T v{};
    const auto [end, ec] = std::from_chars(body.data(), body.data() + body.size(), v);
    // Too large or too small for the type (result_out_of_range) is refused alike.
    if (ec != std::errc{} || end != body.data() + body.size() || !std::isfinite(v)) {
        return std::nullopt;
    }
    return v;
}

// [sign] digits [. digits] | [sign] . digits; digits past the fourth decimal round half to
// even, as the currency conversion of the number formats does.
std::optional<Currency> ParseCurrency(std::string_view s) {
    std::size_t i = (!s.empty() && IsSign(s.front())) ? 1 : 0;
    const bool negative = i == 1 && s.front() == '-';
    const std::size_t wholeAt = i;
    const std::size_t whole = CountDigits(s, i);
    i += whole;
    std::size_t fractionAt = i;
    std::size_t fraction = 0;
    if (i < s.size() && s[i] == '.') {
        fractionAt = ++i;
        fraction = CountDigits(s, i);
        i += fraction;
    }
    if (whole + fraction == 0 || i != s.size()) {
        return std::nullopt;
    }
    // The magnitude may reach 2^63 for the most negative amount.
    const std::uint64_t limit =
        static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()) + (negative ? 1 : 0);
    std::uint64_t mag = 0;
    auto push = [&](int digit) {
        if (mag > (limit - static_cast<std::uint64_t>(digit)) / 10) {
            return false;
        }
        mag = mag * 10 + static_cast<std::uint64_t>(digit);
        return true;
    };
    for (std::size_t k = 0; k < whole; ++k) {
        if (!push(s[wholeAt + k] - '0')) {
            return std::nullopt;
        }
    }
    for (std::size_t k = 0; k < 4; ++k) {
        if (!push(k < fraction ? s[fractionAt + k] - '0' : 0)) {
            return std::nullopt;
        }
    }
    if (fraction > 4) {
        const int first = s[fractionAt + 4] - '0';
        bool restNonZero = false;
        for (std::size_t k = 5; k < fraction; ++k) {
            restNonZero = restNonZero || s[fractionAt + k] != '0';
        }
        const bool up = first > 5 || (first == 5 && (restNonZero || (mag % 2) == 1));
        if (up) {
            if (mag == limit) {
                return std::nullopt;
            }
            ++mag;
        }
    }
    if (negative) {
        return Currency{static_cast<std::int64_t>(0 - mag)};
    }
    return Currency{static_cast<std::int64_t>(mag)};
}

std::optional<Int16> DateField(std::string_view s, std::size_t at, std::size_t width) {
    if (CountDigits(s.substr(at, width), 0) != width) {
        return std::nullopt;
    }
    Int16 v = 0;
    for (std::size_t k = 0; k < width; ++k) {
        v = static_cast<Int16>(v * 10 + (s[at + k] - '0'));
    }
    return v;
}

// Characters 1-4, 6-7, 9-10, 12-13, 15-16 and 18-19; the separators are not looked at.
std::optional<Date> ParseDate(std::string_view s) {
    const auto y = DateField(s, 0, 4);
    const auto mo = DateField(s, 5, 2);
    const auto d = DateField(s, 8, 2);
    const auto h = DateField(s, 11, 2);
    const auto mi = DateField(s, 14, 2);
    const auto se = DateField(s, 17, 2);
    if (!y || !mo || !d || !h || !mi || !se) {
        return std::nullopt;
    }
    const Date date{*y, *mo, *d, *h, *mi, *se};
    if (!IsValidDate(date)) {
        return std::nullopt;
    }
    return date;
}

template <typename T>
std::optional<std::string> FloatText(T v) {
    if (!std::isfinite(v)) {
        return std::nullopt;
    }
    char buf[64];
    const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, v);
    if (ec != std::errc{}) {
        return std::nullopt;
    }
    return std::string(buf, end);
}

std::string CurrencyText(Currency c) {
    const bool negative = c.tenThousandths < 0;
    const std::uint64_t mag = negative ? 0 - static_cast<std::uint64_t>(c.tenThousandths)
                                       : static_cast<std::uint64_t>(c.tenThousandths);
    std::string text = (negative ? "-" : "") + std::to_string(mag / 10000);
    std::uint64_t fraction = mag % 10000;
    if (fraction != 0) {
        std::string digits = std::to_string(fraction + 10000).substr(1);
        digits.erase(digits.find_last_not_of('0') + 1);
        text += "." + digits;
    }
    return text;
}

std::string DateText(const Date& d) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%04d.%02d.%02d-%02d:%02d:%02d", d.year, d.month, d.day, d.hour,
                  d.minute, d.second);
    return buf;
}

}  // namespace

bool IsValidDate(const Date& d) {
    static constexpr Int16 kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (d.year < 100 || d.year > 9999 || d.month < 1 || d.month > 12 || d.day < 1) {
        return false;
    }
    const bool leap = (d.year % 4 == 0 && d.year % 100 != 0) || d.year % 400 == 0;
    const Int16 days = (d.month == 2 && leap) ? 29 : kDays[d.month - 1];
    return d.day <= days && d.hour >= 0 && d.hour <= 23 && d.minute >= 0 && d.minute <= 59 &&
           d.second >= 0 && d.second <= 59;
}

std::optional<std::string> ProfileText(const ProfileValue& value) {
    return std::visit(
        [](const auto& v) -> std::optional<std::string> {
            using T = std::decay_t<decltype(v)>;
            if constexpr (std::is_same_v<T, std::monostate>) {
                return std::nullopt;
            } else if constexpr (std::is_same_v<T, bool>) {
                return std::string(v ? "1" : "0");
            } else if constexpr (std::is_same_v<T, std::string>) {
                return v;
            } else if constexpr (std::is_same_v<T, Currency>) {
                return CurrencyText(v);
            } else if constexpr (std::is_same_v<T, Date>) {
                if (!IsValidDate(v)) {
                    return std::nullopt;
                }
                return DateText(v);
            } else if constexpr (std::is_floating_point_v<T>) {
                return FloatText(v);
            } else {
                return std::to_string(v);
            }
        },
        value);
}

bool ParseProfileText(const std::string& text, ProfileValue& value) {
    return std::visit(
        [&text](auto& v) -> bool {
            using T = std::decay_t<decltype(v)>;
            if constexpr (std::is_same_v<T, std::monostate>) {
                return false;
            } else if constexpr (std::is_same_v<T, bool>) {
                v = text != "0";
                return true;
            } else if constexpr (std::is_same_v<T, std::string>) {
                v = text;
                return true;
            } else if constexpr (std::is_same_v<T, Date>) {
                if (text.size() != 19) {
                    return true;
                }
                const std::optional<Date> d = ParseDate(text);
                if (d) {
                    v = *d;
                }
                return d.has_value();
            } else {
                std::optional<T> parsed;
                if constexpr (std::is_same_v<T, Currency>) {
                    parsed = ParseCurrency(text);
                } else if constexpr (std::is_floating_point_v<T>) {
                    parsed = ParseFloat<T>(text);
                } else {
                    parsed = ParseInteger<T>(text);
                }
                if (parsed) {
                    v = *parsed;
                }
                return parsed.has_value();
            }
        },
        value);
}

}  // namespace quorvane
