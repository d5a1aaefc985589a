#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/byte_string.h"
#include "protocol/wire.h"

namespace quorvane::sim {

// The transceiver's own receiver: a frame starts at every 0xFE (so the second preamble byte
// restarts it) and ends at the next 0xFD; its content is the bytes between. Bytes outside a
// frame are dropped, and so is a frame that grows beyond kMaxContent bytes.
class FrameParser {
  public:
    static constexpr std::size_t kMaxContent = 1024;

    // The content of the frame this byte completes, if it completes one.
    std::optional<Bytes> Push(std::uint8_t byte);

    bool InFrame() const { return inFrame_; }
    // Bytes thrown away so far: outside frames, or in overlong frames.
    std::size_t Dropped() const { return dropped_; }

  private:
    Bytes content_;
    bool inFrame_ = false;
    std::size_t dropped_ = 0;
};

// FE FE, receiver, sender, payload, FD.
Bytes BuildFrame(std::uint8_t to, std::uint8_t from, const Bytes& payload);

// The transceiver's frame around a payload: FE FE EF EE payload FD.
Bytes ToProgram(const Bytes& payload);

// The checksum that makes the record's bytes sum to 0 modulo 256.
std::uint8_t RecordChecksum(const Bytes& recordWithoutChecksum);

// Address high, address low, n, data, checksum.
Bytes BuildCloneRecord(std::uint16_t address, const Bytes& data);

// Each byte as two upper-case ASCII hexadecimal characters.
Bytes AsciiHex(const Bytes& bytes);

// The payloads the transceiver answers with.
struct IdentityFields {
    std::uint16_t model = 0x8537;
    std::uint16_t sub = 0x0200;
    std::string serial = "00012345";  // 8 digits
    std::uint8_t revision = 0x04;
    std::int32_t cloneEnd = wire::kLastImageAddress;  // sent as 4 ASCII hexadecimal characters
};
// E1, model, sub, length byte 56, name, serial, revision at 43, end address at 60-63.
Bytes IdentityPayload(const IdentityFields& fields);
// E4 and the record as ASCII hexadecimal text.
Bytes CloneDataPayload(const Bytes& record);
// E5, the signature and the frame count (modulo 256) as two ASCII hexadecimal characters.
Bytes CloneEndPayload(int frameCount);

struct CloneRecord {
    std::uint16_t address = 0;
    Bytes data;
};

// The clone record written as ASCII hexadecimal text (the fields of an E4 frame); the reason
// when it is not a well-formed record with a correct count and checksum.
std::optional<CloneRecord> ParseCloneRecordText(const Bytes& text, std::string* why = nullptr);

// One line describing a frame's content (receiver, sender, command, fields), for the trace.
std::string DescribeFrame(const Bytes& content);

}  // namespace quorvane::sim
