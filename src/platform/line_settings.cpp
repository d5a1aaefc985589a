#include "platform/line_settings.h"

#include <cctype>
#include <vector>

namespace quorvane {

namespace {

std::vector<std::string> SplitFields(const std::string& text) {
    std::vector<std::string> fields(1);
    for (char c : text) {
        if (c == ',') {
            fields.emplace_back();
        } else {
            fields.back().push_back(c);
        }
    }
    return fields;
}

bool AllDigits(const std::string& s) {
    if (s.empty()) {
        return false;
    }
    for (char c : s) {
        if (!std::isdigit(static_cast<unsigned char>(c))) {
            return false;
        }
    }
    return true;
}

}  // namespace

std::optional<LineSettings> ParseLineSettings(const std::string& text) {
    const auto fields = SplitFields(text);
    if (fields.size() != 4) {
        return std::nullopt;
    }
    LineSettings out;

    // Nine digits keep the value inside 32 bits; no serial device runs near that.
    if (!AllDigits(fields[0]) || fields[0].size() > 9) {
        return std::nullopt;
    }
    out.baud = static_cast<std::int32_t>(std::stol(fields[0]));
    if (out.baud <= 0) {
        return std::nullopt;
    }

    if (fields[1].size() != 1) {
        return std::nullopt;
    }
    const char parity = static_cast<char>(std::toupper(static_cast<unsigned char>(fields[1][0])));
    if (parity != 'N' && parity != 'E' && parity != 'O' && parity != 'M' && parity != 'S') {
        return std::nullopt;
    }
    out.parity = parity;

    if (fields[2].size() != 1 || fields[2][0] < '5' || fields[2][0] > '8') {
        return std::nullopt;
    }
    out.dataBits = static_cast<std::int16_t>(fields[2][0] - '0');

    if (fields[3] == "1") {
        out.stopBits = LineSettings::StopBits::One;
    } else if (fields[3] == "1.5") {
        out.stopBits = LineSettings::StopBits::OnePointFive;
    } else if (fields[3] == "2") {
        out.stopBits = LineSettings::StopBits::Two;
    } else {
        return std::nullopt;
    }
    return out;
}

}  // namespace quorvane
