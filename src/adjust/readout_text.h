#pragma once

#include <string>

#include "platform/checked.h"

namespace quorvane {

// How a converter reading is shown: the label, the raw value in decimal and hexadecimal, and
// the value it stands for in its display format, right-aligned in a fixed width.
struct ReadoutLineFormat {
    const char* label;    // "VIN  :"
    int multiplier;       // raw x multiplier / 255 is the shown value
    const char* pattern;  // display format, e.g. "##0.#0V"
    std::size_t width;    // the shown value's field width
};

// The line for a raw reading 0..255.
std::string ReadoutLine(const ReadoutLineFormat& format, Int16 raw);

// The temperature line: the thermistor's voltage turned into degrees Celsius, "*Error" for a
// reading at either end of the converter's range (an open or shorted sensor).
std::string TemperatureLine(const char* label, Int16 raw);

// Degrees Celsius for a thermistor reading of 1..254.
double ThermistorCelsius(Int16 raw);

}  // namespace quorvane
