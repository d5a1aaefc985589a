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

// s left-aligned in at least width characters: blanks after it; a longer s is kept whole.
inline std::string LeftAlign(std::string s, std::size_t width) {
    if (s.size() < width) {
        s.resize(width, ' ');
    }
    return s;
}

// s without the blanks at its start and end; titles are right-aligned with leading blanks.
inline std::string Trimmed(const std::string& s) {
    const std::size_t begin = s.find_first_not_of(' ');
    if (begin == std::string::npos) {
        return {};
    }
    return s.substr(begin, s.find_last_not_of(' ') - begin + 1);
}

}  // namespace quorvane
