#pragma once

#include <string>

#include "platform/byte_string.h"
#include "platform/checked.h"

namespace quorvane {

// The hexadecimal-text and byte-string conversions shared by the protocol, the console and
// the error report. They hold no state.

// Hexadecimal text to bytes, two characters a byte. A blank is skipped only where a pair
// would start; a pair is read up to its first non-hexadecimal character ("1G" is 1, "ZZ" is
// 0); a lone character at the end is ignored.
Bytes HexToBytes(const std::string& text);

// Two upper-case hexadecimal digits per byte, no separators.
std::string BytesToHex(const Bytes& bytes);

// The bytes read as ASCII hexadecimal digits, as "&h" text: up to 4 digits are a signed 16-bit
// value ("FFFF" is -1), 5 to 8 digits a 32-bit value that must fit 16 bits (else Overflow).
// Reading stops at the first non-hexadecimal character; no digits give 0.
Int16 AsciiHexToInt(const Bytes& bytes);

// One byte per character (the character's single-byte code).
Bytes TextToBytes(const std::string& text);

// The last two upper-case hexadecimal digits of n (negative n as its 16-bit pattern).
std::string Hex2(Int16 n);

// The last four upper-case hexadecimal digits of n ("0200", "7FD0"; negative n as its 32-bit
// pattern).
std::string Hex4(Int32 n);

// The low byte of n as two hexadecimal characters, each written as the two hexadecimal digits
// of its ASCII code: 0x1F gives "3146". Keeps 0xFE and 0xFD out of E8 frames.
std::string Hex2AsAsciiHex(Int16 n);

// Every backslash followed by "n" becomes CR LF, in place; the length never changes.
std::string ExpandNewlines(const std::string& text);

// The upper-case hexadecimal form of n without leading zeros (negative n as its 16-bit
// pattern, as the 16-bit hexadecimal conversion gives it).
std::string Hex16(Int16 n);

// The upper-case hexadecimal form of a 32-bit n without leading zeros (negative n as its
// 32-bit pattern).
std::string Hex32(Int32 n);

// Value of a hexadecimal digit, or -1 when c is not one. Inline: clone data arrive as two
// of these per byte.
inline int HexDigitValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    return -1;
}

// The byte two ASCII hexadecimal characters stand for ('3','F' is 0x3F), or -1 when either
// is not a hexadecimal digit: how answers and clone data carry their bytes.
inline int HexPairValue(char high, char low) {
    const int h = HexDigitValue(high);
    const int l = HexDigitValue(low);
    return h < 0 || l < 0 ? -1 : h * 16 + l;
}

}  // namespace quorvane
