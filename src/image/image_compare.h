#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "platform/byte_string.h"
#include "platform/checked.h"

namespace quorvane {

// One line of the parameter dump that reads differently in two images.
struct DumpLineDifference {
    int line = 0;   // 1..66
    std::string a;  // the line in image A, without its line end
    std::string b;
    std::string name;    // the parameter's name
    std::string before;  // its value in image A, without the blanks that align it
    std::string now;     // in image B

    bool operator==(const DumpLineDifference&) const = default;
};

// The 66-line parameter dump of an image, each line ended by "\r\n", as the window shows it.
std::string ImageParameterDump(const Bytes& image);

// The parameter-dump lines of a and b that differ, in line order. Bytes the dump does not
// show (channel data, for one) never appear here: FirstByteDifferences finds those.
std::vector<DumpLineDifference> CompareParameterDumps(const Bytes& a, const Bytes& b);

// The differences side by side, one line each, under a header naming the two images:
//
//   Line  TITLE A                            | TITLE B
//      9                     SQL Level:    0 |                    SQL Level:  128
//
// Lines end with "\n"; no differences give an empty text.
std::string RenderSideBySide(const std::vector<DumpLineDifference>& differences,
                             std::string_view titleA, std::string_view titleB);

// One address at which two images hold different bytes; -1 stands for a byte beyond the end
// of the shorter image.
struct ByteDifference {
    Int32 address = 0;
    Int16 a = 0;
    Int16 b = 0;

    bool operator==(const ByteDifference&) const = default;
};

// The first limit addresses, ascending, at which a and b differ, for checking a write by
// reading it back. Where one image is shorter, every address past its end is a difference.
std::vector<ByteDifference> FirstByteDifferences(const Bytes& a, const Bytes& b, std::size_t limit);

}  // namespace quorvane
