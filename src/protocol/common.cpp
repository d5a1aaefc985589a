#include "protocol/common.h"

#include <cstdint>

namespace quorvane {

namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

// "&h" text of at most two characters, read up to the first non-hexadecimal character.
std::uint8_t ReadHexPair(char first, char second) {
    int value = 0;
    for (char c : {first, second}) {
        int d = HexDigitValue(c);
        if (d < 0) {
            break;
        }
        value = value * 16 + d;
    }
    return static_cast<std::uint8_t>(value);
}

}  // namespace

Bytes HexToBytes(const std::string& text) {
    Bytes out;
    out.reserve(text.size() / 2);
    std::size_t i = 0;
    while (text.size() - i >= 2) {
        if (text[i] == ' ') {
            ++i;
            continue;
        }
        out.push_back(ReadHexPair(text[i], text[i + 1]));
        i += 2;
    }
    return out;
}

std::string BytesToHex(const Bytes& bytes) {
    std::string out;
    out.reserve(bytes.size() * 2);
    for (std::uint8_t b : bytes) {
        out.push_back(kHexDigits[b >> 4]);
        out.push_back(kHexDigits[b & 0x0F]);
    }
    return out;
}

Int16 AsciiHexToInt(const Bytes& bytes) {
    std::uint64_t value = 0;
    std::size_t digits = 0;
    for (std::uint8_t b : bytes) {
        int d = HexDigitValue(static_cast<char>(b));
        if (d < 0) {
            break;
        }
        // More than 8 digits do not fit the 32-bit reading at all.
        if (++digits > 8) {
            raiseOverflow("AsciiHexToInt");
        }
        value = value * 16 + static_cast<std::uint64_t>(d);
    }
    if (digits <= 4) {
        return static_cast<Int16>(static_cast<std::uint16_t>(value));
    }
    auto wide = static_cast<Int32>(static_cast<std::uint32_t>(value));
    return To16(wide, "AsciiHexToInt");
}

Bytes TextToBytes(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

std::string Hex16(Int16 n) {
    auto u = static_cast<std::uint16_t>(n);
    std::string out;
    do {
        out.insert(out.begin(), kHexDigits[u & 0x0F]);
        u = static_cast<std::uint16_t>(u >> 4);
    } while (u != 0);
    return out;
}

std::string Hex32(Int32 n) {
    auto u = static_cast<std::uint32_t>(n);
    std::string out;
    do {
        out.insert(out.begin(), kHexDigits[u & 0x0F]);
        u >>= 4;
    } while (u != 0);
    return out;
}

std::string Hex2(Int16 n) {
    std::string s = "0" + Hex16(n);
    return s.substr(s.size() - 2);
}

std::string Hex4(Int32 n) {
    std::string s = "000" + Hex32(n);
    return s.substr(s.size() - 4);
}

std::string Hex2AsAsciiHex(Int16 n) {
    std::string s = "00" + Hex16(n);
    return BytesToHex(TextToBytes(s.substr(s.size() - 2)));
}

std::string ExpandNewlines(const std::string& text) {
    std::string out = text;
    for (std::size_t i = 0; i + 1 < out.size(); ++i) {
        if (out[i] == '\\' && out[i + 1] == 'n') {
            out[i] = '\r';
            out[i + 1] = '\n';
        }
    }
    return out;
}

}  // namespace quorvane
