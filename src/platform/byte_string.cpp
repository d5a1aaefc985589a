#include "platform/byte_string.h"

#include <algorithm>

namespace quorvane {

void RaiseBytePosition(const Bytes& b, Int32 pos) {
    raiseIndexOutOfRange("byte position " + std::to_string(pos) + " of " +
                         std::to_string(b.size()));
}

Bytes MidB(const Bytes& b, Int32 pos, Int32 count) {
    if (count <= 0) {
        return {};
    }
    if (pos < 1 || std::int64_t{pos} + count - 1 > Len(b)) {
        raiseIndexOutOfRange("bytes " + std::to_string(pos) + ".." +
                             std::to_string(std::int64_t{pos} + count - 1) + " of " +
                             std::to_string(b.size()));
    }
    auto first = b.begin() + (pos - 1);
    return Bytes(first, first + count);
}

Bytes MidB(const Bytes& b, Int32 pos) {
    if (pos < 1 || pos > Len(b) + 1) {
        raiseIndexOutOfRange("bytes from " + std::to_string(pos) + " of " +
                             std::to_string(b.size()));
    }
    return Bytes(b.begin() + (pos - 1), b.end());
}

Bytes RightB(const Bytes& b, std::size_t n) {
    if (n >= b.size()) {
        return b;
    }
    return Bytes(b.end() - static_cast<std::ptrdiff_t>(n), b.end());
}

Int32 InStrB(const Bytes& hay, const Bytes& needle) {
    if (needle.empty() || needle.size() > hay.size()) {
        return 0;
    }
    auto it = std::search(hay.begin(), hay.end(), needle.begin(), needle.end());
    return it == hay.end() ? 0 : static_cast<Int32>(it - hay.begin()) + 1;
}

Int32 InStrB(const Bytes& hay, std::uint8_t value) {
    auto it = std::find(hay.begin(), hay.end(), value);
    return it == hay.end() ? 0 : static_cast<Int32>(it - hay.begin()) + 1;
}

std::string BytesToText(const Bytes& b) {
    return std::string(b.begin(), b.end());
}

Bytes AsBytes(const std::string& s) {
    return Bytes(s.begin(), s.end());
}

}  // namespace quorvane
