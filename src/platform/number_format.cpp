#include "platform/number_format.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace quorvane {

namespace {

struct Pattern {
    int minIntDigits = 0;  // '0' placeholders before the point
    int minDecimals = 0;   // decimal places up to the last '0'
    int maxDecimals = 0;   // all decimal placeholders
    std::string suffix;
    bool percent = false;
};

Pattern Parse(const std::string& pattern) {
    Pattern p;
    std::size_t i = 0;
    for (; i < pattern.size() && (pattern[i] == '#' || pattern[i] == '0'); ++i) {
        if (pattern[i] == '0') {
            ++p.minIntDigits;
        }
    }
    if (i < pattern.size() && pattern[i] == '.') {
        ++i;
        int pos = 0;
        for (; i < pattern.size() && (pattern[i] == '#' || pattern[i] == '0'); ++i) {
            ++pos;
            if (pattern[i] == '0') {
                p.minDecimals = pos;
            }
        }
        p.maxDecimals = pos;
    }
    p.suffix = pattern.substr(i);
    p.percent = p.suffix.find('%') != std::string::npos;
    return p;
}

// |value| rounded half away from zero to `decimals` places, as decimal digit text with the
// point removed (e.g. 2.505 at 2 places -> "251").
std::string RoundedDigits(double magnitude, int decimals) {
    // 15 significant digits is the precision the display conversion trusts.
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.14e", magnitude);
    // buf: d.dddddddddddddde[+-]XX
    std::string mantissa;
    mantissa.push_back(buf[0]);
    mantissa.append(buf + 2, buf + 16);
    const int exponent = std::atoi(buf + 17);
    // Digits of the value = mantissa scaled by 10^(exponent - 14).
    // Keep digits down to 10^-decimals.
    const int keep = exponent + 1 + decimals;  // digits kept from the mantissa's start
    if (keep < 0) {
        return "0";
    }
    std::string digits;
    bool roundUp = false;
    if (keep >= static_cast<int>(mantissa.size())) {
        digits = mantissa + std::string(static_cast<std::size_t>(keep) - mantissa.size(), '0');
    } else {
        digits = mantissa.substr(0, static_cast<std::size_t>(keep));
        roundUp = mantissa[static_cast<std::size_t>(keep)] >= '5';
    }
    if (digits.empty()) {
        digits = "0";
    }
    if (roundUp) {
        int k = static_cast<int>(digits.size()) - 1;
        while (k >= 0 && digits[static_cast<std::size_t>(k)] == '9') {
            digits[static_cast<std::size_t>(k)] = '0';
            --k;
        }
        if (k < 0) {
            digits.insert(digits.begin(), '1');
        } else {
            ++digits[static_cast<std::size_t>(k)];
        }
    }
    return digits;
}

}  // namespace

std::string FormatNumber(double value, const std::string& pattern) {
    const Pattern p = Parse(pattern);
    if (p.percent) {
        value *= 100.0;
    }
    if (!std::isfinite(value)) {
        return std::string(std::isnan(value) ? "NaN" : (value < 0 ? "-Inf" : "Inf")) + p.suffix;
    }
    const bool negative = value < 0;
    std::string digits = RoundedDigits(std::fabs(value), p.maxDecimals);
    // Split into integer and decimal parts.
    while (static_cast<int>(digits.size()) < p.maxDecimals + 1) {
        digits.insert(digits.begin(), '0');
    }
    std::string intPart = digits.substr(0, digits.size() - static_cast<std::size_t>(p.maxDecimals));
    std::string decPart = digits.substr(intPart.size());
    // Optional trailing decimals ('#' after the last '0') drop their zeros.
    while (static_cast<int>(decPart.size()) > p.minDecimals && !decPart.empty() &&
           decPart.back() == '0') {
        decPart.pop_back();
    }
    // Leading zeros of the integer part down to the required digits ("###" may show none).
    std::size_t firstSignificant = intPart.find_first_not_of('0');
    if (firstSignificant == std::string::npos) {
        firstSignificant = intPart.size();
    }
    std::size_t keepFrom =
        std::min(firstSignificant,
                 intPart.size() - std::min<std::size_t>(intPart.size(),
                                                        static_cast<std::size_t>(p.minIntDigits)));
    intPart = intPart.substr(keepFrom);
    const bool allZero = intPart.find_first_not_of('0') == std::string::npos &&
                         decPart.find_first_not_of('0') == std::string::npos;
    std::string out;
    // A value that rounds to zero shows no sign.
    if (negative && !allZero) {
        out.push_back('-');
    }
    out += intPart;
    if (p.maxDecimals > 0 && (!decPart.empty() || p.minDecimals > 0)) {
        out.push_back('.');
        out += decPart;
    }
    return out + p.suffix;
}

std::string StrNumber(long long value) {
    return (value >= 0 ? " " : "") + std::to_string(value);
}

}  // namespace quorvane
