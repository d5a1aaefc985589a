// The hexadecimal helpers on arbitrary text and bytes, each against an independent reading.
#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>

#include "fuzz_input.h"
#include "platform/runtime_error.h"
#include "protocol/common.h"
#include "protocol/link_driver.h"

namespace quorvane::fuzz {
namespace {

void CheckAsciiHexToInt(const Bytes& bytes) {
    std::uint64_t value = 0;
    std::size_t digits = 0;
    for (std::uint8_t b : bytes) {
        const int d = HexDigitValue(static_cast<char>(b));
        if (d < 0) {
            break;
        }
        ++digits;
        value = (value * 16 + static_cast<unsigned>(d)) & 0xFFFFFFFFFFull;
    }
    bool overflow = digits > 8;
    Int32 expected = 0;
    if (!overflow && digits <= 4) {
        expected = static_cast<Int16>(static_cast<std::uint16_t>(value));
    } else if (!overflow) {
        const auto wide = static_cast<Int32>(static_cast<std::uint32_t>(value));
        overflow =
            wide < std::numeric_limits<Int16>::min() || wide > std::numeric_limits<Int16>::max();
        expected = wide;
    }
    try {
        const Int16 got = AsciiHexToInt(bytes);
        QUORVANE_FUZZ_CHECK(!overflow);
        QUORVANE_FUZZ_CHECK(got == expected);
    } catch (const RuntimeError& e) {
        // Overflow is the one failure the reading may report.
        QUORVANE_FUZZ_CHECK(overflow);
        QUORVANE_FUZZ_CHECK(e.kind() == ErrorKind::Overflow);
    }
}

void CheckHexToBytes(const std::string& text) {
    const Bytes bytes = HexToBytes(text);
    QUORVANE_FUZZ_CHECK(bytes.size() <= text.size() / 2);
    // Text made of the helper's own output reads back exactly.
    const std::string hex = BytesToHex(bytes);
    QUORVANE_FUZZ_CHECK(hex.size() == 2 * bytes.size());
    QUORVANE_FUZZ_CHECK(HexToBytes(hex) == bytes);
    QUORVANE_FUZZ_CHECK(TextToBytes(BytesToText(bytes)) == bytes);
}

void CheckNumbers(Int16 n, Int32 wide) {
    QUORVANE_FUZZ_CHECK(Hex2(n).size() == 2);
    const std::string ascii = Hex2AsAsciiHex(n);
    QUORVANE_FUZZ_CHECK(ascii.size() == 4);
    // The ASCII-hex form never carries a frame byte.
    for (std::uint8_t b : HexToBytes(ascii)) {
        QUORVANE_FUZZ_CHECK(b != 0xFE && b != 0xFD);
    }
    QUORVANE_FUZZ_CHECK(HexToBytes(Hex2(n)).at(0) == static_cast<std::uint8_t>(n & 0xFF));
    const std::string h16 = Hex16(n);
    QUORVANE_FUZZ_CHECK(!h16.empty() && h16.size() <= 4);
    QUORVANE_FUZZ_CHECK(AsciiHexToInt(TextToBytes(h16)) == n);
    const std::string h32 = Hex32(wide);
    QUORVANE_FUZZ_CHECK(!h32.empty() && h32.size() <= 8);
    QUORVANE_FUZZ_CHECK(std::stoul(h32, nullptr, 16) == static_cast<std::uint32_t>(wide));
}

}  // namespace
}  // namespace quorvane::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quorvane;
    const Bytes bytes(data, data + size);
    const std::string text = BytesToText(bytes);

    fuzz::CheckAsciiHexToInt(bytes);
    fuzz::CheckHexToBytes(text);

    const std::string expanded = ExpandNewlines(text);
    QUORVANE_FUZZ_CHECK(expanded.size() == text.size());
    QUORVANE_FUZZ_CHECK(expanded.find("\\n") == std::string::npos);

    if (IsNumericText(text)) {
        // Digits with at most one exponent letter, never at either end.
        QUORVANE_FUZZ_CHECK(text.find_first_not_of("0123456789ED") == std::string::npos);
        const std::size_t letter = text.find_first_of("ED");
        QUORVANE_FUZZ_CHECK(letter == std::string::npos ||
                            (letter > 0 && letter + 1 < text.size() &&
                             text.find_first_of("ED", letter + 1) == std::string::npos));
    }

    fuzz::FuzzInput in(data, size);
    const auto n = static_cast<Int16>(in.Word());
    const auto wide = static_cast<Int32>(static_cast<std::uint32_t>(in.Word()) << 16 | in.Word());
    fuzz::CheckNumbers(n, wide);
    return 0;
}
