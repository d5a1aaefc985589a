#pragma once

#include <string>

namespace quorvane {

// The program's numeric display formats, written once: a pattern of integer placeholders
// ('0' a digit always shown, '#' a digit shown only when significant), an optional '.', decimal
// placeholders, then literal suffix characters; a '%' in the suffix shows the value times 100.
// Examples: "##0.#0V" gives 4.50V for 4.5; "0.00%" gives 50.00% for 0.5; "###0.#####0" gives
// 156.025000. Rounding is half away from zero on the value's 15 significant decimal digits, so
// a value like 2.505 shows as 2.51, not as its binary neighbour.
std::string FormatNumber(double value, const std::string& pattern);

// The decimal text of a 16/32-bit integer as the standard number-to-text conversion gives it:
// a leading blank for values of zero or more, "-" otherwise (" 5", "-12").
std::string StrNumber(long long value);

}  // namespace quorvane
