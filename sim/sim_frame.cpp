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
    const std::size_t n = wire::kCloneSignature.size();
    return c.size() >= i + n &&
           BytesToText(Bytes(c.begin() + static_cast<std::ptrdiff_t>(i),
                             c.begin() + static_cast<std::ptrdiff_t>(i + n))) ==
               wire::kCloneSignature;
}

// The byte of the two ASCII hexadecimal characters at i, or -1.
int PairAt(const Bytes& c, std::size_t i) {
    return HexPairValue(static_cast<char>(c[i]), static_cast<char>(c[i + 1]));
}

void PutId(Bytes& b, std::uint16_t id) {
    b.push_back(static_cast<std::uint8_t>(id >> 8));
    b.push_back(static_cast<std::uint8_t>(id & 0xFF));
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
    const int value = c.size() >= 10 ? PairAt(c, 8) : -1;
    if (value < 0) {
        return s + " without a readable value";
    }
    const auto v = static_cast<unsigned>(value);
    char buf[64];
    if (c[7] == wire::e8::kReadout) {
        std::snprintf(buf, sizeof buf, " readout selector %u (%s)", v,
                      ReadoutName(static_cast<std::uint8_t>(value)));
    } else if (c[7] == wire::e8::kChannel) {
        std::snprintf(buf, sizeof buf, " channel %u", v);
    } else if (auto item = FindE8Item(c[7])) {
        std::snprintf(buf, sizeof buf, " value 0x%02X (%s)", v, item->name);
    } else {
        std::snprintf(buf, sizeof buf, " value 0x%02X (unknown sub-command)", v);
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
        if (const int v = PairAt(c, 8); v >= 0) {
            char buf[32];
            std::snprintf(buf, sizeof buf, " value 0x%02X", static_cast<unsigned>(v));
            s += buf;
        }
    }
    return s;
}

}  // namespace

std::optional<Bytes> FrameParser::Push(std::uint8_t byte) {
    if (byte == wire::kPreamble) {
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
    if (byte == wire::kEndOfFrame) {
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
    Bytes f{wire::kPreamble, wire::kPreamble, to, from};
    f.insert(f.end(), payload.begin(), payload.end());
    f.push_back(wire::kEndOfFrame);
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

Bytes ToProgram(const Bytes& payload) {
    return BuildFrame(wire::kOwnAddress, wire::kRadioAddress, payload);
}

Bytes IdentityPayload(const IdentityFields& fields) {
    Bytes p{wire::kIdentity};
    PutId(p, fields.model);
    PutId(p, fields.sub);
    p.push_back(63 - 7);  // the bytes from the length byte to the end
    const char name[] = "TAMSKOR         ";
    p.insert(p.end(), name, name + 16);
    p.insert(p.end(), fields.serial.begin(), fields.serial.end());
    p.insert(p.end(), 10, 0x00);
    p.push_back(fields.revision);
    p.insert(p.end(), 16, 0x00);
    char end[8];
    std::snprintf(end, sizeof end, "%04X", static_cast<unsigned>(fields.cloneEnd) & 0xFFFF);
    p.insert(p.end(), end, end + 4);
    return p;
}

Bytes CloneDataPayload(const Bytes& record) {
    Bytes p{wire::kCloneData};
    const Bytes text = AsciiHex(record);
    p.insert(p.end(), text.begin(), text.end());
    return p;
}

Bytes CloneEndPayload(int frameCount) {
    Bytes p = AsBytes(std::string(wire::kCloneSignature));
    p.insert(p.begin(), wire::kCloneEnd);
    const Bytes count = AsciiHex(Bytes{static_cast<std::uint8_t>(frameCount % 256)});
    p.insert(p.end(), count.begin(), count.end());
    return p;
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
        const int b = PairAt(text, i);
        if (b < 0) {
            return fail("not hexadecimal text");
        }
        record.push_back(static_cast<std::uint8_t>(b));
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
    const bool toTransceiver = c[0] == wire::kRadioAddress && c[1] == wire::kOwnAddress;
    const bool toProgram = c[0] == wire::kOwnAddress && c[1] == wire::kRadioAddress;
    if (!toTransceiver && !toProgram) {
        return "foreign addresses " + Hex2Of(c[0]) + " " + Hex2Of(c[1]);
    }
    switch (c[2]) {
        case wire::kIdentify:
            return c.size() >= 5 ? "E0 identify model " + Hex4At(c, 3) : "E0 identify, short";
        case wire::kIdentity:
            return DescribeIdentity(c);
        case wire::kCloneRead:
        case wire::kCloneWrite: {
            std::string s = c[2] == wire::kCloneRead ? "E2 clone read" : "E3 clone write";
            return c.size() >= 7 ? s + " model " + Hex4At(c, 3) + " sub " + Hex4At(c, 5) : s;
        }
        case wire::kCloneData: {
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
        case wire::kCloneEnd: {
            std::string s = toProgram ? "E5 end of clone read" : "E5 end of clone write";
            s += SignatureAt(c, 3) ? ", signature ok" : ", signature wrong";
            if (toProgram && c.size() >= 14) {
                s += ", count " + BytesToText(Bytes(c.begin() + 12, c.begin() + 14));
            }
            return s;
        }
        case wire::kCloneResult:
            return c.size() >= 4 ? "E6 clone write result " + Hex2Of(c[3]) : "E6 result, short";
        case wire::kAdjust:
            return toTransceiver ? DescribeE8Request(c) : DescribeE8Answer(c);
        default:
            return "command " + Hex2Of(c[2]) + " with " + std::to_string(c.size() - 3) +
                   " field bytes";
    }
}

}  // namespace quorvane::sim
