#include "image/crc32.h"

#include <array>

namespace quorvane {

namespace {

// Slicing by eight (Intel's method, as zlib uses it): table k gives the checksum of a byte
// followed by k zero bytes, so eight bytes take eight independent lookups instead of a chain
// of eight; a 32 KB image is checked several times faster than a byte at a time.
using Tables = std::array<std::array<std::uint32_t, 256>, 8>;

constexpr Tables kTables = [] {
    constexpr std::uint32_t kReflectedPolynomial = 0xEDB88320;
    Tables t{};
    for (std::uint32_t n = 0; n < 256; ++n) {
        std::uint32_t c = n;
        for (int bit = 0; bit < 8; ++bit) {
            c = (c & 1u) != 0 ? (c >> 1) ^ kReflectedPolynomial : c >> 1;
        }
        t[0][n] = c;
    }
    for (std::uint32_t n = 0; n < 256; ++n) {
        for (std::size_t k = 1; k < t.size(); ++k) {
            t[k][n] = t[0][t[k - 1][n] & 0xFFu] ^ (t[k - 1][n] >> 8);
        }
    }
    return t;
}();

std::uint32_t Word(const std::uint8_t* p) {
    return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 |
           std::uint32_t{p[3]} << 24;
}

}  // namespace

std::uint32_t Crc32(std::span<const std::uint8_t> data) {
    std::uint32_t crc = 0xFFFFFFFF;
    const std::uint8_t* p = data.data();
    std::size_t n = data.size();
    for (; n >= 8; n -= 8, p += 8) {
        const std::uint32_t low = Word(p) ^ crc;
        const std::uint32_t high = Word(p + 4);
        crc = kTables[7][low & 0xFFu] ^ kTables[6][(low >> 8) & 0xFFu] ^
              kTables[5][(low >> 16) & 0xFFu] ^ kTables[4][low >> 24] ^ kTables[3][high & 0xFFu] ^
              kTables[2][(high >> 8) & 0xFFu] ^ kTables[1][(high >> 16) & 0xFFu] ^
              kTables[0][high >> 24];
    }
    for (; n > 0; --n, ++p) {
        crc = kTables[0][(crc ^ *p) & 0xFFu] ^ (crc >> 8);
    }
    return ~crc;
}

}  // namespace quorvane
