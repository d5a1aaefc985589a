#pragma once

#include <cstdint>

#include "sim_image.h"

namespace quorvane::sim {

// The constants of the transceiver's converters. Defaults are what tests predict against.
struct AnalogParams {
    // SD = clamp(sdBase + Bump(T1, t1 plateau) + Bump(T2, t2 plateau), 0, 255), where
    // Bump(x, lo..hi) = max(0, sdPeak - sdSlope * distance of x from lo..hi): flat at its top
    // over the plateau, falling on both sides.
    int sdBase = 20;
    int sdPeak = 100;
    int sdSlope = 2;
    int t1PlateauLow = 86;
    int t1PlateauHigh = 94;
    int t2PlateauLow = 56;
    int t2PlateauHigh = 64;
    // LVIN = offset + floor(v * span / 255), v the LVA value last set.
    int rxLvinOffset = 20;
    int rxLvinSpan = 180;
    int txLvinOffset = 30;
    int txLvinSpan = 170;
    std::uint8_t vinRaw = 189;   // 189 * 10 / 255 = 7.41 V
    std::uint8_t tempRaw = 174;  // 3.41 V on the thermistor divider: 25.2 degrees C
};

enum class Lva : std::uint8_t { Rx, Tx };

// What the converters read, computed from the current settings in the EEPROM image.
//
//  selector  reading
//   0 VIN     vinRaw
//   1         0 (transmit detector: the stand-in never transmits)
//   2         SD / 2 (RSSI)
//   3 TEMPS   tempRaw
//   4 SD      Sd(byte 52, byte 53)
//   5 LVIN    Lvin(last LVA set, byte 60 or 61); RX LVA until a TX LVA value is set
//  11 CTCSS   byte 51        12 REF     byte 135      13 MOD BAL byte 74
//  14 Dev     byte 73 on a narrow channel, else the MOD W level (80 with the Mid flag, else 66)
//  15 SQL Lev byte 274       16 BPF T1  byte 52       17 T2/POW  byte 53
//  18 TX LVA  byte 61        19 RX LVA  byte 60
//  others     0
class AnalogModel {
  public:
    explicit AnalogModel(const AnalogParams& params = {}) : p_(params) {}

    const AnalogParams& Params() const { return p_; }

    // channel: the selected channel, 1-based.
    std::uint8_t Read(std::uint8_t selector, const SimImage& image, int channel, Lva lastLva) const;

    std::uint8_t Sd(int t1, int t2) const;
    std::uint8_t Lvin(Lva lva, int value) const;

  private:
    AnalogParams p_;
};

}  // namespace quorvane::sim
