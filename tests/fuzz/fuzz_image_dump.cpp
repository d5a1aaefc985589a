// The parameter dump and the side-by-side comparison of two images read from files, in
// memory: image A is one repeated byte with bytes of the input written over it (mostly where
// the parameters are), image B is A with more bytes changed, and the two titles are printable
// names of any length. Whatever the images hold, the dump has its 66 lines, an image compared
// with itself shows nothing, and the comparison shows the dump's own lines, in order, in
// columns that line up.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_input.h"
#include "image/image_compare.h"
#include "image/image_file.h"

namespace quorvane::fuzz {
namespace {

constexpr std::size_t kImage = EepromImageFile::kImageSize;
constexpr std::size_t kDumpLines = 66;
constexpr std::size_t kParameterArea = 512;  // every address the dump reads lies below

void Change(FuzzInput& in, Bytes& image) {
    for (int n = in.Byte() % 32; n > 0; --n) {
        const std::uint16_t address = in.Word();
        image[(address & 0x8000) != 0 ? address % kImage : address % kParameterArea] = in.Byte();
    }
}

std::string Title(FuzzInput& in) {
    std::string title;
    for (const std::uint8_t b : in.Take(in.Byte() % 48)) {
        title += static_cast<char>(' ' + b % 95);
    }
    return title;
}

// The lines of text, each ended by end, as views into it.
std::vector<std::string_view> Lines(std::string_view text, std::string_view end) {
    std::vector<std::string_view> lines;
    for (std::size_t begin = 0; begin < text.size();) {
        const std::size_t at = text.find(end, begin);
        QUORVANE_FUZZ_CHECK(at != std::string_view::npos);  // the last line has its end too
        lines.push_back(text.substr(begin, at - begin));
        begin = at + end.size();
    }
    return lines;
}

}  // namespace
}  // namespace quorvane::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quorvane;
    fuzz::FuzzInput in(data, size);
    Bytes a(fuzz::kImage, in.Byte());
    fuzz::Change(in, a);
    Bytes b = a;
    fuzz::Change(in, b);
    const std::string titleA = fuzz::Title(in);
    const std::string titleB = fuzz::Title(in);

    const std::string textA = ImageParameterDump(a);
    const std::string textB = ImageParameterDump(b);
    const std::vector<std::string_view> dumpA = fuzz::Lines(textA, "\r\n");
    const std::vector<std::string_view> dumpB = fuzz::Lines(textB, "\r\n");
    QUORVANE_FUZZ_CHECK(dumpA.size() == fuzz::kDumpLines && dumpB.size() == fuzz::kDumpLines);
    for (const std::string_view line : dumpA) {
        QUORVANE_FUZZ_CHECK(line.find_first_of("\r\n|") == std::string_view::npos);
    }

    // Where B is A, or differs only where the dump does not look, no line may differ.
    const std::vector<DumpLineDifference> differences = CompareParameterDumps(a, b);
    std::size_t changed = 0;
    for (std::size_t i = 0; i < fuzz::kDumpLines; ++i) {
        if (dumpA[i] == dumpB[i]) {
            continue;
        }
        QUORVANE_FUZZ_CHECK(changed < differences.size());
        const DumpLineDifference& d = differences[changed];
        QUORVANE_FUZZ_CHECK(d.line == static_cast<int>(i + 1) && d.a == dumpA[i] &&
                            d.b == dumpB[i]);
        ++changed;
    }
    QUORVANE_FUZZ_CHECK(changed == differences.size());

    const std::string text = RenderSideBySide(differences, titleA, titleB);
    if (differences.empty()) {
        QUORVANE_FUZZ_CHECK(text.empty());
        return 0;
    }
    const std::vector<std::string_view> rows = fuzz::Lines(text, "\n");
    QUORVANE_FUZZ_CHECK(rows.size() == differences.size() + 1);
    // Row 0 names the images; every row holds A's side, blanks, the bar, and B's side, with
    // the bar in one column on every row.
    std::size_t bar = std::string::npos;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const std::string_view row = rows[i];
        const std::string& sideA = i == 0 ? titleA : differences[i - 1].a;
        const std::string tail = " | " + (i == 0 ? titleB : differences[i - 1].b);
        char number[16];
        std::snprintf(number, sizeof number, "%4d  ", i == 0 ? 0 : differences[i - 1].line);
        const std::string head = i == 0 ? "Line  " : number;
        QUORVANE_FUZZ_CHECK(row.size() >= head.size() + sideA.size() + tail.size());
        const std::size_t at = row.size() - tail.size();
        QUORVANE_FUZZ_CHECK(row.compare(at, tail.size(), tail) == 0 && (i == 0 || at == bar));
        bar = at;
        QUORVANE_FUZZ_CHECK(row.compare(0, head.size() + sideA.size(), head + sideA) == 0);
        const std::size_t padFrom = head.size() + sideA.size();
        QUORVANE_FUZZ_CHECK(row.find_first_not_of(' ', padFrom) >= at);
    }
    return 0;
}
