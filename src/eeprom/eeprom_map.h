#pragma once

#include <cstdint>

namespace quorvane::eepmap {

// Where the transceiver keeps its adjustment levels and memory channels in the EEPROM image.
// Multi-byte numbers are big-endian.
inline constexpr std::int32_t kBaseFreq = 48;  // 2 bytes, units of 100 kHz
inline constexpr std::int32_t kCtcsDtcsLevel = 51;
inline constexpr std::int32_t kBpfT1Level = 52;
inline constexpr std::int32_t kBpfT2Level = 53;
inline constexpr std::int32_t kBpfCorrection = 54;
inline constexpr std::int32_t kSqlSlantTemp = 56;   // signed
inline constexpr std::int32_t kToneSlantTemp = 57;  // signed
inline constexpr std::int32_t kModSlantTemp = 58;   // signed
inline constexpr std::int32_t kBalSlantTemp = 59;   // signed
inline constexpr std::int32_t kRxLvaLevel = 60;
inline constexpr std::int32_t kTxLvaLevel = 61;
inline constexpr std::int32_t kToneWCorrection = 65;  // signed, Mid flag clear
inline constexpr std::int32_t kModWLevel = 66;        // Mid flag clear
inline constexpr std::int32_t kBalWLevel = 67;        // Mid flag clear
inline constexpr std::int32_t kToneNCorrection = 72;  // signed
inline constexpr std::int32_t kModNLevel = 73;
inline constexpr std::int32_t kBalNLevel = 74;
inline constexpr std::int32_t kToneWCorrectionMid = 79;  // signed, Mid flag set
inline constexpr std::int32_t kModWLevelMid = 80;        // Mid flag set; follows MOD N always
inline constexpr std::int32_t kBalWLevelMid = 81;        // Mid flag set
inline constexpr std::int32_t kFreqSlantTable = 85;      // 7 bands x 6 signed bytes
inline constexpr std::int32_t kFreqSlantBands = 7;
inline constexpr std::int32_t kFreqSlantRecord = 6;
// Offsets inside a frequency-slant band record.
inline constexpr std::int32_t kSlantRxLva = 0;
inline constexpr std::int32_t kSlantTxLva = 1;
inline constexpr std::int32_t kSlantTone = 2;
inline constexpr std::int32_t kSlantMod = 3;
inline constexpr std::int32_t kSlantBal = 4;
inline constexpr std::int32_t kSlantPow = 5;
inline constexpr std::int32_t kPowL1Level = 128;
inline constexpr std::int32_t kPowL2Level = 129;
inline constexpr std::int32_t kPowHiLevel = 130;
inline constexpr std::int32_t kRssiS1Level = 131;
inline constexpr std::int32_t kRssiS3Level = 132;
inline constexpr std::int32_t kRefLevel = 135;
inline constexpr std::int32_t kLvRxLva = 136;
inline constexpr std::int32_t kLvTxLva = 137;
inline constexpr std::int32_t kSqlLevel = 274;
inline constexpr std::int32_t kChannelCount = 314;       // 2 bytes; at most 40 are used
inline constexpr std::int32_t kChFreqTableAdr = 316;     // 2 bytes: image address
inline constexpr std::int32_t kChSettingTableAdr = 318;  // 2 bytes: image address
inline constexpr std::int32_t kMidFlag = 381;            // bit 7
inline constexpr std::int16_t kMidFlagBit = 7;

inline constexpr std::int32_t kChFreqRecord = 14;  // receive Hz (4), transmit Hz (4), 6 more
inline constexpr std::int32_t kChTxOffset = 4;
inline constexpr std::int32_t kChSettingRecord = 20;
inline constexpr std::int32_t kChPowerOffset = 8;  // bits 1..0
inline constexpr std::int32_t kChModeOffset = 11;  // bit 7: narrow
inline constexpr std::int16_t kMaxChannels = 40;

}  // namespace quorvane::eepmap
