#include "sim_faults.h"

#include <charconv>

namespace quorvane::sim {

const FaultInfo& InfoOf(Fault fault) {
    for (const auto& info : kFaults) {
        if (info.fault == fault) {
            return info;
        }
    }
    return kFaults.front();
}

void FaultSet::Add(Fault fault, int k) {
    mask_ |= Bit(fault);
    k_[static_cast<std::size_t>(fault)] = k;
}

std::optional<std::string> FaultSet::Parse(const std::string& text) {
    const auto colon = text.find(':');
    const std::string name = text.substr(0, colon);
    for (const auto& info : kFaults) {
        if (name != info.name) {
            continue;
        }
        int k = info.defaultK;
        if (colon != std::string::npos) {
            if (!info.takesK) {
                return "fault " + name + " takes no number";
            }
            const std::string number = text.substr(colon + 1);
            auto [end, ec] = std::from_chars(number.data(), number.data() + number.size(), k);
            if (ec != std::errc{} || end != number.data() + number.size() || k < 1) {
                return "fault " + name + " needs a positive number after ':', not '" + number + "'";
            }
        }
        Add(info.fault, k);
        return std::nullopt;
    }
    return "unknown fault '" + name + "'";
}

}  // namespace quorvane::sim
