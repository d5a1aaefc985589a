#include "image/image_compare.h"

#include <algorithm>
#include <string_view>

#include "eeprom/ind_eep_rig_tamsk.h"
#include "platform/text.h"
#include "protocol/eeprom.h"

namespace quorvane {

namespace {

clsCmcEeprom EepromOf(const Bytes& image) {
    clsCmcEeprom eeprom;
    eeprom.eeSize(Len(image));
    eeprom.WriteBlock(0, image);
    return eeprom;
}

std::vector<ParameterLine> DumpOf(const Bytes& image) {
    return clsIndEep_RigTamsk(EepromOf(image)).ParameterDump();
}

}  // namespace

std::string ImageParameterDump(const Bytes& image) {
    return clsIndEep_RigTamsk(EepromOf(image)).ParameterDumpText();
}

std::vector<DumpLineDifference> CompareParameterDumps(const Bytes& a, const Bytes& b) {
    const std::vector<ParameterLine> linesA = DumpOf(a);
    const std::vector<ParameterLine> linesB = DumpOf(b);
    std::vector<DumpLineDifference> differences;
    for (std::size_t i = 0; i < std::min(linesA.size(), linesB.size()); ++i) {
        if (linesA[i] != linesB[i]) {
            differences.push_back({static_cast<int>(i + 1), ParameterLineText(linesA[i]),
                                   ParameterLineText(linesB[i]), linesA[i].name,
                                   Trimmed(linesA[i].field), Trimmed(linesB[i].field)});
        }
    }
    return differences;
}

std::string RenderSideBySide(const std::vector<DumpLineDifference>& differences,
                             std::string_view titleA, std::string_view titleB) {
    if (differences.empty()) {
        return {};
    }
    std::size_t width = titleA.size();
    for (const DumpLineDifference& d : differences) {
        width = std::max(width, d.a.size());
    }
    std::string out =
        "Line  " + LeftAlign(std::string(titleA), width) + " | " + std::string(titleB) + "\n";
    for (const DumpLineDifference& d : differences) {
        out += RightAlign(std::to_string(d.line), 4) + "  " + LeftAlign(d.a, width) + " | " + d.b +
               "\n";
    }
    return out;
}

std::vector<ByteDifference> FirstByteDifferences(const Bytes& a, const Bytes& b,
                                                 std::size_t limit) {
    std::vector<ByteDifference> differences;
    const std::size_t size = std::max(a.size(), b.size());
    for (std::size_t i = 0; i < size && differences.size() < limit; ++i) {
        const Int16 byteA = i < a.size() ? Int16{a[i]} : Int16{-1};
        const Int16 byteB = i < b.size() ? Int16{b[i]} : Int16{-1};
        if (byteA != byteB) {
            differences.push_back({static_cast<Int32>(i), byteA, byteB});
        }
    }
    return differences;
}

}  // namespace quorvane
