#include "adjust/readout_table.h"

#include <string>

namespace quorvane {

namespace {

constexpr ReadoutList kAd = ReadoutList::Analog;
constexpr ReadoutList kDa = ReadoutList::Output;
constexpr ReadoutShape kScaled = ReadoutShape::Scaled;
namespace sel = wire::sel;

constexpr ReadoutRow kReadouts[] = {
    {kAd, sel::kVin, kScaled, {"VIN  :", 10, "##0.#0V", 7}},
    {kAd, sel::kTemps, ReadoutShape::Temperature, {"TEMPS:", 5, "###.#0'C", 8}},
    {kAd, sel::kLvin, kScaled, {"LVIN :", 5, "##0.#0V", 7}},
    {kAd, sel::kSd, kScaled, {"SD   :", 5, "##0.#0V", 7}},
    {kAd, sel::kVin, ReadoutShape::Blank, {"", 0, "", 0}},
    {kDa, sel::kBpfT1, kScaled, {"BPF T1 :", 5, "##0.#0V", 7}},
    {kDa, sel::kT2Pow, kScaled, {"T2/POW :", 5, "##0.#0V", 7}},
    {kDa, sel::kTxLva, kScaled, {"TX LVA :", 5, "##0.#0V", 7}},
    {kDa, sel::kRxLva, kScaled, {"RX LVA :", 5, "##0.#0V", 7}},
    {kDa, sel::kRef, kScaled, {"REF    :", 5, "##0.#0V", 7}},
    {kDa, sel::kModBal, kScaled, {"MOD BAL:", 1, "0.00%", 7}},
    {kDa, sel::kDev, kScaled, {"Dev    :", 5, "##0.#0V", 7}},
    {kDa, sel::kCtcss, kScaled, {"CTCSS  :", 5, "##0.#0V", 7}},
    {kDa, sel::kSqlLev, kScaled, {"SQL Lev:", 1, "0.00%", 7}},
};

}  // namespace

const char* ReadoutTitle(ReadoutList list) {
    return list == kAd ? "[A/D]" : "[D/A]";
}

Int16 ReadoutCount(ReadoutList list) {
    Int16 n = 0;
    for (const ReadoutRow& row : kReadouts) {
        n = static_cast<Int16>(n + (row.list == list ? 1 : 0));
    }
    return n;
}

const ReadoutRow& ReadoutAt(ReadoutList list, Int16 line) {
    Int16 n = 0;
    for (const ReadoutRow& row : kReadouts) {
        if (row.list == list && n++ == line) {
            return row;
        }
    }
    raiseIndexOutOfRange("readout line " + std::to_string(line));
}

std::string ReadoutText(const ReadoutRow& row, Int16 raw) {
    switch (row.shape) {
        case ReadoutShape::Temperature:
            return TemperatureLine(row.format.label, raw);
        case ReadoutShape::Blank:
            return "";
        default:
            return ReadoutLine(row.format, raw);
    }
}

}  // namespace quorvane
