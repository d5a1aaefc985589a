#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "protocol/wire.h"

namespace quorvane::sim {

using wire::kImageSize;

// Addresses of the EEPROM map (decimal), as the transceiver keeps them.
namespace adr {
inline constexpr std::int32_t kBaseFreq = 48;  // 16 bits, units of 100 kHz
inline constexpr std::int32_t kCtcss = 51;
inline constexpr std::int32_t kBpfT1 = 52;
inline constexpr std::int32_t kBpfT2 = 53;
inline constexpr std::int32_t kBpfCorrection = 54;
inline constexpr std::int32_t kTempSlants = 56;  // 56..59, signed
inline constexpr std::int32_t kRxLva = 60;
inline constexpr std::int32_t kTxLva = 61;
inline constexpr std::int32_t kToneWCorr = 65;  // signed, Mid flag clear
inline constexpr std::int32_t kModW = 66;       // Mid flag clear
inline constexpr std::int32_t kBalW = 67;       // Mid flag clear
inline constexpr std::int32_t kToneNCorr = 72;  // signed
inline constexpr std::int32_t kModN = 73;
inline constexpr std::int32_t kBal = 74;
inline constexpr std::int32_t kToneWCorrMid = 79;  // signed, Mid flag set
inline constexpr std::int32_t kModWMid = 80;
inline constexpr std::int32_t kBalWMid = 81;
inline constexpr std::int32_t kFreqSlants = 85;  // 85..126, 7 bands x 6 signed bytes
inline constexpr std::int32_t kPowerL1 = 128;
inline constexpr std::int32_t kPowerL2 = 129;
inline constexpr std::int32_t kPowerHi = 130;
inline constexpr std::int32_t kRssiS1 = 131;
inline constexpr std::int32_t kRssiS3 = 132;
inline constexpr std::int32_t kRef = 135;
inline constexpr std::int32_t kLvRxLva = 136;
inline constexpr std::int32_t kLvTxLva = 137;
inline constexpr std::int32_t kSql = 274;
inline constexpr std::int32_t kChannelCount = 314;     // 16 bits
inline constexpr std::int32_t kFreqTableAdr = 316;     // 16 bits
inline constexpr std::int32_t kSettingTableAdr = 318;  // 16 bits
inline constexpr std::int32_t kMidFlag = 381;          // bit 7
}  // namespace adr

// Where the generator puts the channel tables.
inline constexpr std::int32_t kGenFreqTable = 0x0400;     // 14 bytes a channel
inline constexpr std::int32_t kGenSettingTable = 0x0640;  // 20 bytes a channel
inline constexpr int kMaxGenChannels = 40;

struct ImageOptions {
    std::optional<bool> mid;  // the Mid flag; chosen by the seed when not given
    int channels = 0;         // channel records 1..40; 0: 12..16 chosen by the seed
};

// The transceiver's EEPROM: 32736 bytes, multi-byte numbers big-endian.
class SimImage {
  public:
    SimImage();  // all zero

    // A realistic image: every address of the map plausible, twelve or so channels (records
    // 3, 8 and 13 absent, 5 receive-inhibited, 6 transmit-inhibited, the others alternating
    // simplex and duplex, narrow and wide, High, Low2 and Low1), the rest filler. The same seed
    // always gives the same image.
    static SimImage Generate(std::uint32_t seed, const ImageOptions& options = {});

    // A file of exactly kImageSize bytes; std::runtime_error with the reason otherwise.
    static SimImage Load(const std::string& path);
    // Writes the image (to a temporary file renamed into place, so a failure never leaves a
    // half-written image behind); std::runtime_error on failure.
    void Save(const std::string& path) const;

    // Out-of-range reads give 0; out-of-range writes are refused (false).
    std::uint8_t Byte(std::int32_t address) const;
    bool Byte(std::int32_t address, std::uint8_t value);
    std::uint16_t Word(std::int32_t address) const;
    bool Word(std::int32_t address, std::uint16_t value);

    bool Mid() const { return (Byte(adr::kMidFlag) & 0x80) != 0; }
    int ChannelCount() const { return Word(adr::kChannelCount); }
    std::int32_t FreqTable() const { return Word(adr::kFreqTableAdr); }
    std::int32_t SettingTable() const { return Word(adr::kSettingTableAdr); }
    // Narrow mode of channel record index (0-based): bit 7 of setting byte +11.
    bool ChannelNarrow(int index) const;

    const std::vector<std::uint8_t>& data() const { return data_; }
    std::vector<std::uint8_t>& data() { return data_; }

    friend bool operator==(const SimImage&, const SimImage&) = default;

  private:
    std::vector<std::uint8_t> data_;
};

}  // namespace quorvane::sim
