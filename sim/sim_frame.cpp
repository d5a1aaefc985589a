#include "sim_frame.h"

#include <cstdio>
#include <cstring>

#include "e8_items.h"
#include "protocol/common.h"

namespace quorvane::sim {

namespace {

std::string Hex2Of(std::uint8_t b) {
    return BytesToHex(Bytes{b});
}

std::string Hex4At(const Bytes& c, std::size_t i) {
    return BytesToHex(Bytes{c[i], c[i + 1]});
}

bool SignatureAt(const Bytes& c, std::size_t i) {
    const std::size_t n = std::strlen(kSignature);
    if (c.size() < i + n) {
        return false;
    }
    return std::memcmp(c.data() + i, kSignature, n) == 0;
}

std::string DescribeIdentity(const Bytes& c) {
    if (c.size() < 8) {
        return "E1 identity, short (" + std::to_string(c.size()) + " bytes)";
    }
    std::string s = "E1 identity model " + Hex4At(c, 3) + " sub " + Hex4At(c, 5) + " length " +
                    std::to_string(c[7]);
    if (c.size() >= 43) {
        s += " revision " + Hex2Of(c[42]);
    }
    if (c.size() >= 63) {
        s += " end " + BytesToText(Bytes(c.begin() + 59, c.begin() + 63));
    }
    return s;
}

std::string DescribeE8Request(const Bytes& c) {
    if (c.size() < 8) {
        return "E8 adjust, no sub-command";
    }
    std::string s = "E8 sub " + Hex2Of(c[7]);
    std::optional<std::uint8_t> value;
    if (c.size() >= 10) {
        value = FromAsciiHex(c[8], c[9]);
    }
    if (!value) {
        return s + " without a readable value";
    }
    char buf[64];
    if (c[7] == kSubReadout) {
        std::snprintf(buf, sizeof buf, " readout selector %u (%s)", *value, ReadoutName(*value));
    } else if (c[7] == kSubChannel) {
        std::snprintf(buf, sizeof buf, " channel %u", *value);
    } else if (auto item = FindE8Item(c[7])) {
        std::snprintf(buf, sizeof buf, " value 0x%02X (%s)", *value, item->name);
    } else {
        std::snprintf(buf, sizeof buf, " value 0x%02X (unknown sub-command)", *value);
    }
    return s + buf;
}

std::string DescribeE8Answer(const Bytes& c) {
    if (c.size() < 8) {
        return "E8 answer, short";
    }
    std::string s =
        "E8 answer model " + Hex4At(c, 3) + " sub " + Hex4At(c, 5) + " to " + Hex2Of(c[7]);
    if (c.size() >= 10) {
        if (auto v = FromAsciiHex(c[8], c[9])) {
            char buf[32];
            std::snprintf(buf, sizeof buf, " value 0x%02X", *v);
            s += buf;
        }
    }
    return s;
}

}  // namespace

std::optional<Bytes> FrameParser::Push(std::uint8_t byte) {
    if (byte == kPreamble) {
        if (inFrame_) {
            dropped_ += content_.size();
        }
        content_.clear();
        inFrame_ = true;
        return std::nullopt;
    }
    if (!inFrame_) {
        ++dropped_;
        return std::nullopt;
    }
    if (byte == kEndOfFrame) {
        inFrame_ = false;
        Bytes done;
        done.swap(content_);
        return done;
    }
    content_.push_back(byte);
    if (content_.size() > kMaxContent) {
        dropped_ += content_.size();
        content_.clear();
        inFrame_ = false;
    }
    return std::nullopt;
}

Bytes BuildFrame(std::uint8_t to, std::uint8_t from, const Bytes& payload) {
    Bytes f{kPreamble, kPreamble, to, from};
    f.insert(f.end(), payload.begin(), payload.end());
    f.push_back(kEndOfFrame);
    return f;
}

std::uint8_t RecordChecksum(const Bytes& recordWithoutChecksum) {
    unsigned sum = 0;
    for (auto b : recordWithoutChecksum) {
        sum += b;
    }
    return static_cast<std::uint8_t>((256 - sum % 256) % 256);
}

Bytes BuildCloneRecord(std::uint16_t address, const Bytes& data) {
    Bytes r{static_cast<std::uint8_t>(address >> 8), static_cast<std::uint8_t>(address & 0xFF),
            static_cast<std::uint8_t>(data.size())};
    r.insert(r.end(), data.begin(), data.end());
    r.push_back(RecordChecksum(r));
    return r;
}

Bytes AsciiHex(const Bytes& bytes) {
    return AsBytes(BytesToHex(bytes));
}

std::optional<std::uint8_t> FromAsciiHex(std::uint8_t high, std::uint8_t low) {
    const int h = HexDigitValue(static_cast<char>(high));
    const int l = HexDigitValue(static_cast<char>(low));
    if (h < 0 || l < 0) {
        return std::nullopt;
    }
    return static_cast<std::uint8_t>(h * 16 + l);
}

std::optional<CloneRecord> ParseCloneRecordText(const Bytes& text, std::string* why) {
    auto fail = [why](const char* reason) -> std::optional<CloneRecord> {
        if (why != nullptr) {
            *why = reason;
        }
        return std::nullopt;
    };
    if (text.size() % 2 != 0) {
        return fail("odd number of characters");
    }
    if (text.size() < 8) {
        return fail("too short for address, count and checksum");
    }
    Bytes record;
    for (std::size_t i = 0; i < text.size(); i += 2) {
        auto b = FromAsciiHex(text[i], text[i + 1]);
        if (!b) {
            return fail("not hexadecimal text");
        }
        record.push_back(*b);
    }
    const std::size_t n = record[2];
    if (record.size() != n + 4) {
        return fail("count differs from the data length");
    }
    unsigned sum = 0;
    for (auto b : record) {
        sum += b;
    }
    if (sum % 256 != 0) {
        return fail("checksum wrong");
    }
    CloneRecord out;
    out.address = static_cast<std::uint16_t>(record[0] << 8 | record[1]);
    out.data.assign(record.begin() + 3, record.end() - 1);
    return out;
}

std::string DescribeFrame(const Bytes& c) {
    if (c.size() < 3) {
        return "short frame (" + std::to_string(c.size()) + " bytes)";
    }
    const bool toTransceiver = c[0] == kTransceiverAdr && c[1] == kProgramAdr;
    const bool toProgram = c[0] == kProgramAdr && c[1] == kTransceiverAdr;
    if (!toTransceiver && !toProgram) {
        return "foreign addresses " + Hex2Of(c[0]) + " " + Hex2Of(c[1]);
    }
    switch (c[2]) {
        case kCmdIdentify:
            return c.size() >= 5 ? "E0 identify model " + Hex4At(c, 3) : "E0 identify, short";
        case kCmdIdentity:
            return DescribeIdentity(c);
        case kCmdCloneRead:
        case kCmdCloneWrite: {
            std::string s = c[2] == kCmdCloneRead ? "E2 clone read" : "E3 clone write";
            return c.size() >= 7 ? s + " model " + Hex4At(c, 3) + " sub " + Hex4At(c, 5) : s;
        }
        case kCmdCloneData: {
            std::string why;
            auto rec = ParseCloneRecordText(Bytes(c.begin() + 3, c.end()), &why);
            if (!rec) {
                return "E4 record, bad: " + why;
            }
            char buf[64];
            std::snprintf(buf, sizeof buf, "E4 record address %04X bytes %zu checksum ok",
                          rec->address, rec->data.size());
            return buf;
        }
        case kCmdCloneEnd: {
            std::string s = toProgram ? "E5 end of clone read" : "E5 end of clone write";
            s += SignatureAt(c, 3) ? ", signature ok" : ", signature wrong";
            if (toProgram && c.size() >= 14) {
                s += ", count " + BytesToText(Bytes(c.begin() + 12, c.begin() + 14));
            }
            return s;
        }
        case kCmdCloneResult:
            return c.size() >= 4 ? "E6 clone write result " + Hex2Of(c[3]) : "E6 result, short";
        case kCmdAdjust:
            return toTransceiver ? DescribeE8Request(c) : DescribeE8Answer(c);
        default:
            return "command " + Hex2Of(c[2]) + " with " + std::to_string(c.size() - 3) +
                   " field bytes";
    }
}

}  // namespace quorvane::sim
