#pragma once

#include <cstdint>
#include <optional>

namespace quorvane::sim {

// What an E8 sub-command sets in the transceiver and where it keeps it in its EEPROM.
struct E8Item {
    std::uint8_t sub;
    const char* name;
    std::int32_t address;  // EEPROM address the value is stored at, -1 when none
};

inline constexpr std::uint8_t kSubChannel = 0x00;
inline constexpr std::uint8_t kSubAdjustMode = 0x02;
inline constexpr std::uint8_t kSubReadout = 0x03;
inline constexpr std::uint8_t kSubRxLva = 0x06;
inline constexpr std::uint8_t kSubTxLva = 0x07;

// The sub-commands the transceiver knows; every one but the readout takes one data byte and
// gets no answer.
std::optional<E8Item> FindE8Item(std::uint8_t sub);

// Readout selectors: A/D converters 0..5, D/A values 11..19.
inline constexpr std::uint8_t kSelVin = 0;
inline constexpr std::uint8_t kSelTemps = 3;
inline constexpr std::uint8_t kSelSd = 4;
inline constexpr std::uint8_t kSelLvin = 5;
inline constexpr std::uint8_t kSelCtcss = 11;
inline constexpr std::uint8_t kSelRef = 12;
inline constexpr std::uint8_t kSelModBal = 13;
inline constexpr std::uint8_t kSelDev = 14;
inline constexpr std::uint8_t kSelSqlLev = 15;
inline constexpr std::uint8_t kSelBpfT1 = 16;
inline constexpr std::uint8_t kSelT2Pow = 17;
inline constexpr std::uint8_t kSelTxLva = 18;
inline constexpr std::uint8_t kSelRxLva = 19;

// The name of a readout selector ("SD", "BPF T1"), "?" for one the transceiver does not know.
const char* ReadoutName(std::uint8_t selector);

}  // namespace quorvane::sim
