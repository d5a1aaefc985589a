#pragma once

#include <string>

namespace quorvane {

// The last n characters of s (all of it when shorter): the right-alignment idiom of the line
// texts, "the last n characters of blanks followed by the number".
inline std::string Right(const std::string& s, std::size_t n) {
    return s.size() <= n ? s : s.substr(s.size() - n);
}

// n copies of c.
inline std::string Repeat(char c, std::size_t n) {
    return std::string(n, c);
}

// s right-aligned in width characters: blanks in front, then the last width characters.
inline std::string RightAlign(const std::string& s, std::size_t width) {
    return Right(std::string(width, ' ') + s, width);
}

}  // namespace quorvane
