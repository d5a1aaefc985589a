#include "e8_items.h"

#include <array>

namespace quorvane::sim {

namespace {

namespace e8 = wire::e8;
namespace sel = wire::sel;

constexpr std::array<E8Item, 21> kItems{{
    {e8::kChannel, "channel", -1},
    {e8::kAdjustMode, "adjust mode", -1},
    {e8::kReadout, "readout", -1},
    {e8::kRef, "REF", 135},
    {e8::kRxLva, "RX LVA", 60},
    {e8::kTxLva, "TX LVA", 61},
    {e8::kSql, "SQL", 274},
    {e8::kPowerHi, "Power(Hi)", 130},
    {e8::kPowerL2, "Power(L2)", 129},
    {e8::kPowerL1, "Power(L1)", 128},
    {e8::kModW, "MOD W", 66},
    {e8::kModN, "MOD N", 73},
    {e8::kModWMid, "MOD W (Mid)", 80},
    {e8::kCtcsDtcs, "CTCS/DTCS", 51},
    {e8::kBalW, "BAL W", 67},
    {e8::kBal, "BAL", 74},
    {e8::kBalWMid, "BAL W (Mid)", 81},
    {e8::kBpfT1, "BPF T1", 52},
    {e8::kBpfT2, "BPF T2", 53},
    {e8::kRssiS1, "RSSI S1", 131},
    {e8::kRssiS3, "RSSI S3", 132},
}};

struct ReadoutNaming {
    std::uint8_t selector;
    const char* name;
};

constexpr std::array<ReadoutNaming, 15> kReadouts{{
    {sel::kVin, "VIN"},
    {sel::kTxDetector, "TX detector"},
    {sel::kRssi, "RSSI"},
    {sel::kTemps, "TEMPS"},
    {sel::kSd, "SD"},
    {sel::kLvin, "LVIN"},
    {sel::kCtcss, "CTCSS"},
    {sel::kRef, "REF"},
    {sel::kModBal, "MOD BAL"},
    {sel::kDev, "Dev"},
    {sel::kSqlLev, "SQL Lev"},
    {sel::kBpfT1, "BPF T1"},
    {sel::kT2Pow, "T2/POW"},
    {sel::kTxLva, "TX LVA"},
    {sel::kRxLva, "RX LVA"},
}};

}  // namespace

std::optional<E8Item> FindE8Item(std::uint8_t sub) {
    for (const auto& item : kItems) {
        if (item.sub == sub) {
            return item;
        }
    }
    return std::nullopt;
}

const char* ReadoutName(std::uint8_t selector) {
    for (const auto& readout : kReadouts) {
        if (readout.selector == selector) {
            return readout.name;
        }
    }
    return "?";
}

}  // namespace quorvane::sim
