#include "image/crc32.h"

namespace quorvane {

std::uint32_t Crc32(std::span<const std::uint8_t> data) {
    constexpr std::uint32_t kReflectedPolynomial = 0xEDB88320;
    std::uint32_t crc = 0xFFFFFFFF;
    for (const std::uint8_t byte : data) {
        crc ^= byte;
        for (int bit = 0; bit < 8; ++bit) {
            const std::uint32_t lowBitMask = 0u - (crc & 1u);
            crc = (crc >> 1) ^ (kReflectedPolynomial & lowBitMask);
        }
    }
    return ~crc;
}

}  // namespace quorvane
