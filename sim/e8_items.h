#pragma once

#include <cstdint>
#include <optional>

#include "protocol/wire.h"

namespace quorvane::sim {

// What an E8 sub-command sets in the transceiver and where it keeps it in its EEPROM.
struct E8Item {
    std::uint8_t sub;
    const char* name;
    std::int32_t address;  // EEPROM address the value is stored at, -1 when none
};

// The sub-commands the transceiver knows (wire::e8); every one but the readout takes one data
// byte and gets no answer.
std::optional<E8Item> FindE8Item(std::uint8_t sub);

// The name of a readout selector (wire::sel: "SD", "BPF T1"), "?" for one the transceiver
// does not know.
const char* ReadoutName(std::uint8_t selector);

}  // namespace quorvane::sim
