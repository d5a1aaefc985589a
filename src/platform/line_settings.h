#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace quorvane {

// The serial control's line-settings text, "baud,parity,data,stop", for example "9600,N,8,1".
struct LineSettings {
    enum class StopBits { One, OnePointFive, Two };

    std::int32_t baud = 9600;
    char parity = 'N';  // N, E, O, M or S
    std::int16_t dataBits = 8;
    StopBits stopBits = StopBits::One;
};

// Parses the text; nothing when it is malformed (a missing or extra field, a baud rate that is
// not a positive decimal number, an unknown parity, data bits outside 5..8, stop bits other
// than 1, 1.5 or 2).
std::optional<LineSettings> ParseLineSettings(const std::string& text);

}  // namespace quorvane
