#include "e8_items.h"

#include <array>

namespace quorvane::sim {

namespace {

constexpr std::array<E8Item, 21> kItems{{
    {0x00, "channel", -1},     {0x02, "adjust mode", -1}, {0x03, "readout", -1},
    {0x05, "REF", 135},        {0x06, "RX LVA", 60},      {0x07, "TX LVA", 61},
    {0x08, "SQL", 274},        {0x09, "Power(Hi)", 130},  {0x0A, "Power(L2)", 129},
    {0x0B, "Power(L1)", 128},  {0x0C, "MOD W", 66},       {0x0D, "MOD N", 73},
    {0x0E, "MOD W (Mid)", 80}, {0x0F, "CTCS/DTCS", 51},   {0x10, "BAL W", 67},
    {0x11, "BAL", 74},         {0x12, "BAL W (Mid)", 81}, {0x13, "BPF T1", 52},
    {0x14, "BPF T2", 53},      {0x15, "RSSI S1", 131},    {0x16, "RSSI S3", 132},
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
    switch (selector) {
        case kSelVin:
            return "VIN";
        case 1:
            return "TX detector";
        case 2:
            return "RSSI";
        case kSelTemps:
            return "TEMPS";
        case kSelSd:
            return "SD";
        case kSelLvin:
            return "LVIN";
        case kSelCtcss:
            return "CTCSS";
        case kSelRef:
            return "REF";
        case kSelModBal:
            return "MOD BAL";
        case kSelDev:
            return "Dev";
        case kSelSqlLev:
            return "SQL Lev";
        case kSelBpfT1:
            return "BPF T1";
        case kSelT2Pow:
            return "T2/POW";
        case kSelTxLva:
            return "TX LVA";
        case kSelRxLva:
            return "RX LVA";
        default:
            return "?";
    }
}

}  // namespace quorvane::sim
