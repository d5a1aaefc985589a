#include "adjust/readout_table.h"

#include <string>

namespace quorvane {

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
