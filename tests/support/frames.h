#pragma once

#include <string>

#include "platform/byte_string.h"
#include "protocol/common.h"

namespace quorvane::test {

// Frames as the transceiver sends them, for tests. "Body" is the frame as the driver stores
// it: from the first address byte (EF) up to the byte before the terminator.

inline Bytes Wire(const Bytes& body) {
    Bytes out{0xFE, 0xFE};
    out.insert(out.end(), body.begin(), body.end());
    out.push_back(0xFD);
    return out;
}

// The frame the program writes for a payload.
inline Bytes Sent(const Bytes& payload) {
    Bytes out{0xFE, 0xFE, 0xEE, 0xEF};
    out.insert(out.end(), payload.begin(), payload.end());
    out.push_back(0xFD);
    return out;
}

inline Bytes Body(std::uint8_t command, const Bytes& fields = {}) {
    Bytes out{0xEF, 0xEE, command};
    out.insert(out.end(), fields.begin(), fields.end());
    return out;
}

// An identification answer of the given length (at least 8), with model and sub identifier as
// 4 hexadecimal digits each, the revision byte at position 43 (when the frame reaches it) and
// the end address text at 60-63 (as far as the frame reaches).
inline Bytes E1Body(const std::string& model, const std::string& sub, std::uint8_t revision,
                    const std::string& endAddress = "7FDF", Int32 length = 63) {
    Bytes b = Body(0xE1, HexToBytes(model + sub));
    b.push_back(static_cast<std::uint8_t>(length - 7));
    while (Len(b) < length) {
        b.push_back(0x30);
    }
    b.resize(static_cast<std::size_t>(length));
    if (length >= 43) {
        b[42] = revision;
    }
    for (std::size_t i = 0; i < endAddress.size() && 59 + i < b.size(); ++i) {
        b[59 + i] = static_cast<std::uint8_t>(endAddress[i]);
    }
    return b;
}

// A clone record as sent in E4 frames: address, count, data, checksum.
inline Bytes CloneRecord(Int32 adr, const Bytes& data) {
    Bytes record{static_cast<std::uint8_t>(adr >> 8), static_cast<std::uint8_t>(adr & 0xFF),
                 static_cast<std::uint8_t>(data.size())};
    record.insert(record.end(), data.begin(), data.end());
    unsigned sum = 0;
    for (auto b : record) {
        sum += b;
    }
    record.push_back(static_cast<std::uint8_t>((256 - sum % 256) % 256));
    return record;
}

inline Bytes E4Body(Int32 adr, const Bytes& data) {
    return Body(0xE4, TextToBytes(BytesToHex(CloneRecord(adr, data))));
}

inline Bytes E5Body(int count) {
    std::string text = "Mirvak Co" + Hex2(static_cast<Int16>(count % 256));
    return Body(0xE5, TextToBytes(text));
}

}  // namespace quorvane::test
