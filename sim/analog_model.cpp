#include "analog_model.h"

#include <algorithm>

#include "e8_items.h"

namespace quorvane::sim {

namespace {

int Bump(int x, int lo, int hi, int peak, int slope) {
    const int distance = x < lo ? lo - x : (x > hi ? x - hi : 0);
    return std::max(0, peak - slope * distance);
}

}  // namespace

std::uint8_t AnalogModel::Sd(int t1, int t2) const {
    const int v = p_.sdBase + Bump(t1, p_.t1PlateauLow, p_.t1PlateauHigh, p_.sdPeak, p_.sdSlope) +
                  Bump(t2, p_.t2PlateauLow, p_.t2PlateauHigh, p_.sdPeak, p_.sdSlope);
    return static_cast<std::uint8_t>(std::clamp(v, 0, 255));
}

std::uint8_t AnalogModel::Lvin(Lva lva, int value) const {
    const int offset = lva == Lva::Rx ? p_.rxLvinOffset : p_.txLvinOffset;
    const int span = lva == Lva::Rx ? p_.rxLvinSpan : p_.txLvinSpan;
    return static_cast<std::uint8_t>(std::clamp(offset + value * span / 255, 0, 255));
}

std::uint8_t AnalogModel::Read(std::uint8_t selector, const SimImage& image, int channel,
                               Lva lastLva) const {
    switch (selector) {
        case wire::sel::kVin:
            return p_.vinRaw;
        case 1:
            return 0;
        case 2:
            return static_cast<std::uint8_t>(Sd(image.Byte(adr::kBpfT1), image.Byte(adr::kBpfT2)) /
                                             2);
        case wire::sel::kTemps:
            return p_.tempRaw;
        case wire::sel::kSd:
            return Sd(image.Byte(adr::kBpfT1), image.Byte(adr::kBpfT2));
        case wire::sel::kLvin:
            return Lvin(lastLva, image.Byte(lastLva == Lva::Rx ? adr::kRxLva : adr::kTxLva));
        case wire::sel::kCtcss:
            return image.Byte(adr::kCtcss);
        case wire::sel::kRef:
            return image.Byte(adr::kRef);
        case wire::sel::kModBal:
            return image.Byte(adr::kBal);
        case wire::sel::kDev:
            if (channel < 1 || image.ChannelNarrow(channel - 1)) {
                return image.Byte(adr::kModN);
            }
            return image.Byte(image.Mid() ? adr::kModWMid : adr::kModW);
        case wire::sel::kSqlLev:
            return image.Byte(adr::kSql);
        case wire::sel::kBpfT1:
            return image.Byte(adr::kBpfT1);
        case wire::sel::kT2Pow:
            return image.Byte(adr::kBpfT2);
        case wire::sel::kTxLva:
            return image.Byte(adr::kTxLva);
        case wire::sel::kRxLva:
            return image.Byte(adr::kRxLva);
        default:
            return 0;
    }
}

}  // namespace quorvane::sim
