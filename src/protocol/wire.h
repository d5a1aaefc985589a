#pragma once

#include <cstdint>
#include <string_view>

// The words of the wire between the program and the Tamskor: frame bytes, addresses,
// commands, the clone signature, the E8 sub-commands, the readout selectors and the identity
// this program serves. The link driver, the sequencer, the items table and the stand-in
// transceiver all speak through these names, so that the two ends cannot drift apart.
namespace quorvane::wire {

// A frame: FE FE, receiver, sender, command, fields, FD.
inline constexpr std::uint8_t kPreamble = 0xFE;
inline constexpr std::uint8_t kEndOfFrame = 0xFD;
inline constexpr std::uint8_t kRadioAddress = 0xEE;  // the transceiver
inline constexpr std::uint8_t kOwnAddress = 0xEF;    // this program

// Commands.
inline constexpr std::uint8_t kIdentify = 0xE0;     // program: who are you
inline constexpr std::uint8_t kIdentity = 0xE1;     // transceiver: model, sub, revision, end
inline constexpr std::uint8_t kCloneRead = 0xE2;    // program: send me your EEPROM
inline constexpr std::uint8_t kCloneWrite = 0xE3;   // program: take my EEPROM
inline constexpr std::uint8_t kCloneData = 0xE4;    // either side: address, count, data
inline constexpr std::uint8_t kCloneEnd = 0xE5;     // either side: signature, end of a clone
inline constexpr std::uint8_t kCloneResult = 0xE6;  // transceiver: 0 when the write was taken
inline constexpr std::uint8_t kAdjust = 0xE8;       // program: live adjustment, maybe answered

// Every clone end frame carries this text after its command byte.
inline constexpr std::string_view kCloneSignature = "Mirvak Co";

// The transceiver this program serves and the part of its EEPROM a clone covers.
inline constexpr std::string_view kModelName = "8537";
inline constexpr std::string_view kSubName = "0200";
inline constexpr std::string_view kWriteRevision = "04";
inline constexpr std::int32_t kImageSize = 32736;  // 0x7FE0 bytes
inline constexpr std::int32_t kLastImageAddress = kImageSize - 1;
// Where the identity answer carries its fields (1-based): model, sub identifier (two bytes
// each) and revision (one byte).
inline constexpr std::int32_t kAnswerModelAt = 4;
inline constexpr std::int32_t kAnswerSubAt = 6;
inline constexpr std::int32_t kAnswerRevisionAt = 43;
// The largest end address an identity answer may give; an image never reaches past it.
inline constexpr std::int32_t kMaxEndAddress = 32752;
// A clone data frame carries at most this many data bytes (its count is one byte).
inline constexpr std::int32_t kMaxDataBytes = 255;

// E8 sub-commands: each takes one data byte in ASCII-hex form.
namespace e8 {
inline constexpr std::uint8_t kChannel = 0x00;     // select the channel to adjust on
inline constexpr std::uint8_t kAdjustMode = 0x02;  // sent once after connecting
inline constexpr std::uint8_t kReadout = 0x03;     // a converter readout, answered
inline constexpr std::uint8_t kRef = 0x05;
inline constexpr std::uint8_t kRxLva = 0x06;
inline constexpr std::uint8_t kTxLva = 0x07;
inline constexpr std::uint8_t kSql = 0x08;
inline constexpr std::uint8_t kPowerHi = 0x09;
inline constexpr std::uint8_t kPowerL2 = 0x0A;
inline constexpr std::uint8_t kPowerL1 = 0x0B;
inline constexpr std::uint8_t kModW = 0x0C;  // follow-up of MOD N
inline constexpr std::uint8_t kModN = 0x0D;
inline constexpr std::uint8_t kModWMid = 0x0E;  // follow-up of MOD N, Mid variant
inline constexpr std::uint8_t kCtcsDtcs = 0x0F;
inline constexpr std::uint8_t kBalW = 0x10;  // follow-up of BAL
inline constexpr std::uint8_t kBal = 0x11;
inline constexpr std::uint8_t kBalWMid = 0x12;  // follow-up of BAL, Mid variant
inline constexpr std::uint8_t kBpfT1 = 0x13;
inline constexpr std::uint8_t kBpfT2 = 0x14;
inline constexpr std::uint8_t kRssiS1 = 0x15;
inline constexpr std::uint8_t kRssiS3 = 0x16;
}  // namespace e8

// Readout selectors, the data byte of an E8 readout: A/D converters and D/A outputs.
namespace sel {
inline constexpr std::uint8_t kVin = 0;
inline constexpr std::uint8_t kTxDetector = 1;
inline constexpr std::uint8_t kRssi = 2;
inline constexpr std::uint8_t kTemps = 3;
inline constexpr std::uint8_t kSd = 4;
inline constexpr std::uint8_t kLvin = 5;
inline constexpr std::uint8_t kCtcss = 11;
inline constexpr std::uint8_t kRef = 12;
inline constexpr std::uint8_t kModBal = 13;
inline constexpr std::uint8_t kDev = 14;
inline constexpr std::uint8_t kSqlLev = 15;
inline constexpr std::uint8_t kBpfT1 = 16;
inline constexpr std::uint8_t kT2Pow = 17;
inline constexpr std::uint8_t kTxLva = 18;
inline constexpr std::uint8_t kRxLva = 19;
}  // namespace sel

}  // namespace quorvane::wire

namespace quorvane {

// The link driver's latched failure (nowError, lastError).
enum class LinkError : std::int16_t {
    None = 0,
    NoEcho = 1,
    NoAnswer = 2,
    BadAnswer = 3,
    FrameCountWrong = 4,
    CloneDataNotStorable = 5,
    CloneWriteRefused = 6,  // never raised; reported as CloneWriteRejected is
    CloneWriteRejected = 7,
    FrameNotSent = 8,
    // Before an identify the transceiver went on sending (a clone read the program gave up
    // goes on for a minute) and the line did not fall silent: nothing was sent.
    LineBusy = 9,
};

// The sequencer's failure of an operation (error).
enum class SequenceError : std::int16_t {
    None = 0,
    WrongModel = 1,
    SubNameRefused = 2,
    RevisionUnfit = 3,
    DriverError = 4,
};

}  // namespace quorvane
