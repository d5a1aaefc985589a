#pragma once

#include <algorithm>
#include <array>
#include <cstddef>

namespace quorvane {

// The program's title: the caption of its window and of its message boxes, and the section
// its settings file starts with.
inline constexpr char kProgramTitle[] = "Quorvane ADJ Rev.2.0";

// String literals joined at compile time, so a text that names the program holds its title
// by reference rather than by a second copy.
template <std::size_t... N>
constexpr auto JoinLiterals(const char (&... parts)[N]) {
    std::array<char, (N + ...) - sizeof...(N) + 1> joined{};
    std::size_t at = 0;
    ((std::copy_n(parts, N - 1, joined.begin() + at), at += N - 1), ...);
    return joined;
}

}  // namespace quorvane
