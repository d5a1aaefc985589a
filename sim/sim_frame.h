#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/byte_string.h"

namespace quorvane::sim {

inline constexpr std::uint8_t kPreamble = 0xFE;
inline constexpr std::uint8_t kEndOfFrame = 0xFD;
inline constexpr std::uint8_t kTransceiverAdr = 0xEE;
inline constexpr std::uint8_t kProgramAdr = 0xEF;

inline constexpr std::uint8_t kCmdIdentify = 0xE0;
inline constexpr std::uint8_t kCmdIdentity = 0xE1;
inline constexpr std::uint8_t kCmdCloneRead = 0xE2;
inline constexpr std::uint8_t kCmdCloneWrite = 0xE3;
inline constexpr std::uint8_t kCmdCloneData = 0xE4;
inline constexpr std::uint8_t kCmdCloneEnd = 0xE5;
inline constexpr std::uint8_t kCmdCloneResult = 0xE6;
inline constexpr std::uint8_t kCmdAdjust = 0xE8;

// "Mirvak Co", the signature of every clone end frame.
inline constexpr char kSignature[] = "Mirvak Co";

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

// The checksum that makes the record's bytes sum to 0 modulo 256.
std::uint8_t RecordChecksum(const Bytes& recordWithoutChecksum);

// Address high, address low, n, data, checksum.
Bytes BuildCloneRecord(std::uint16_t address, const Bytes& data);

// Each byte as two upper-case ASCII hexadecimal characters.
Bytes AsciiHex(const Bytes& bytes);

// Two ASCII hexadecimal characters (either case) as a byte.
std::optional<std::uint8_t> FromAsciiHex(std::uint8_t high, std::uint8_t low);

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
