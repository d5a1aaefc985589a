#pragma once

#include <cstdint>

#include "adjust/readout_text.h"
#include "platform/checked.h"
#include "protocol/wire.h"

namespace quorvane {

// The two readout lists of the window: the A/D converters and the D/A outputs.
enum class ReadoutList : std::uint8_t { Analog, Output };

// How a readout's line is written.
enum class ReadoutShape : std::uint8_t {
    Scaled,       // raw x scale / 255 in the row's pattern
    Temperature,  // the thermistor formula
    Blank,        // the line is emptied
};

// One readout: the list it belongs to, the selector asked for, and how its line looks. A row's
// line in its list is its position among the rows of that list.
struct ReadoutRow {
    ReadoutList list;
    std::uint8_t selector;
    ReadoutShape shape;
    ReadoutLineFormat format;  // label, scale, pattern, width
};

inline constexpr ReadoutRow kReadouts[] = {
    {ReadoutList::Analog, wire::sel::kVin, ReadoutShape::Scaled, {"VIN  :", 10, "##0.#0V", 7}},
    {ReadoutList::Analog,
     wire::sel::kTemps,
     ReadoutShape::Temperature,
     {"TEMPS:", 5, "###.#0'C", 8}},
    {ReadoutList::Analog, wire::sel::kLvin, ReadoutShape::Scaled, {"LVIN :", 5, "##0.#0V", 7}},
    {ReadoutList::Analog, wire::sel::kSd, ReadoutShape::Scaled, {"SD   :", 5, "##0.#0V", 7}},
    {ReadoutList::Analog, wire::sel::kVin, ReadoutShape::Blank, {"", 0, "", 0}},
    {ReadoutList::Output, wire::sel::kBpfT1, ReadoutShape::Scaled, {"BPF T1 :", 5, "##0.#0V", 7}},
    {ReadoutList::Output, wire::sel::kT2Pow, ReadoutShape::Scaled, {"T2/POW :", 5, "##0.#0V", 7}},
    {ReadoutList::Output, wire::sel::kTxLva, ReadoutShape::Scaled, {"TX LVA :", 5, "##0.#0V", 7}},
    {ReadoutList::Output, wire::sel::kRxLva, ReadoutShape::Scaled, {"RX LVA :", 5, "##0.#0V", 7}},
    {ReadoutList::Output, wire::sel::kRef, ReadoutShape::Scaled, {"REF    :", 5, "##0.#0V", 7}},
    {ReadoutList::Output, wire::sel::kModBal, ReadoutShape::Scaled, {"MOD BAL:", 1, "0.00%", 7}},
    {ReadoutList::Output, wire::sel::kDev, ReadoutShape::Scaled, {"Dev    :", 5, "##0.#0V", 7}},
    {ReadoutList::Output, wire::sel::kCtcss, ReadoutShape::Scaled, {"CTCSS  :", 5, "##0.#0V", 7}},
    {ReadoutList::Output, wire::sel::kSqlLev, ReadoutShape::Scaled, {"SQL Lev:", 1, "0.00%", 7}},
};

// The row shown on `line` (0-based) of `list`; an IndexOutOfRange for a line it does not have.
const ReadoutRow& ReadoutAt(ReadoutList list, Int16 line);

// The text of a row's line for a raw reading 0..255.
std::string ReadoutText(const ReadoutRow& row, Int16 raw);

}  // namespace quorvane
