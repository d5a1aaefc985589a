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

// The list's first line, its title: "[A/D]", "[D/A]".
const char* ReadoutTitle(ReadoutList list);
// How many readout lines follow the title.
Int16 ReadoutCount(ReadoutList list);
// A readout line before its first reading.
inline constexpr const char* kReadoutNotRead = "----";

// The row shown on `line` (0-based) of `list`; an IndexOutOfRange for a line it does not have.
const ReadoutRow& ReadoutAt(ReadoutList list, Int16 line);

// The text of a row's line for a raw reading 0..255.
std::string ReadoutText(const ReadoutRow& row, Int16 raw);

}  // namespace quorvane
