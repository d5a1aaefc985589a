#pragma once

#include <cstdint>
#include <span>

namespace quorvane {

// The CRC-32 of IEEE 802.3 (polynomial 0x04C11DB7 reflected, all-ones start and final
// inversion), the checksum zlib and PNG use: "123456789" gives 0xCBF43926.
std::uint32_t Crc32(std::span<const std::uint8_t> data);

}  // namespace quorvane
