#include "adjust/readout_text.h"

#include <cmath>

#include "platform/number_format.h"
#include "platform/text.h"
#include "protocol/common.h"

namespace quorvane {

namespace {

// Label, decimal right-aligned in 3, ":", two hexadecimal digits, "h:".
std::string RawPart(const char* label, Int16 raw) {
    return std::string(label) + Right("   " + StrNumber(raw), 3) + ":" + Hex2(raw) + "h:";
}

}  // namespace

std::string ReadoutLine(const ReadoutLineFormat& format, Int16 raw) {
    const double shown =
        static_cast<double>(Mul16(raw, static_cast<Int16>(format.multiplier))) / 255.0;
    return RawPart(format.label, raw) +
           Right("   " + FormatNumber(shown, format.pattern), format.width);
}

double ThermistorCelsius(Int16 raw) {
    const double v = static_cast<double>(raw) * 5.0 / 255.0;
    // A resistance ratio of 1 at 25 degrees; B constant 4000 K.
    const double r = (500000.0 - v * 100000.0) / v / 47000.0;
    return 1.0 / (std::log(r) / 4000.0 + 1.0 / 298.15) - 273.15;
}

std::string TemperatureLine(const char* label, Int16 raw) {
    if (raw <= 0 || raw >= 255) {
        return RawPart(label, raw) + "*Error";
    }
    return RawPart(label, raw) + Right("   " + FormatNumber(ThermistorCelsius(raw), "###.#0'C"), 8);
}

}  // namespace quorvane
