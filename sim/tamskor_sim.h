#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "analog_model.h"
#include "paced_line.h"
#include "platform/byte_string.h"
#include "sim_faults.h"
#include "sim_frame.h"
#include "sim_image.h"
#include "sim_time.h"
#include "wire_trace.h"

namespace quorvane::sim {

// How late the late-answer fault answers: beyond the program's 1200 ms answer wait.
inline constexpr SimTime kLateAnswerDelay = FromMs(1500);

struct TamskorConfig {
    std::int32_t baud = 9600;
    SimTime turnaround = FromMs(5);  // from the end of a request to the start of its answer
    SimTime frameGap = 0;            // between two clone-read frames
    int bytesPerFrame = 32;          // data bytes in a clone-read frame, 1..122
    // The last address of the clone area: told in the identity answer and sent by a clone
    // read. A smaller area than the whole image makes a short transceiver for quick tests.
    std::int32_t cloneEnd = wire::kLastImageAddress;
    std::uint16_t model = 0x8537;
    std::uint16_t sub = 0x0200;
    std::uint8_t revision = 0x04;
    std::string serial = "00012345";  // 8 digits, carried in the identity answer
    FaultSet faults;
    AnalogParams analog;
};

// The stand-in transceiver with its cloning cable, as a clocked object: it is handed the bytes
// it receives with their time and asked for the bytes due on the line by a time. It never
// reads a clock itself, so a test drives it with any clock it likes.
//
// The cable echoes every received byte at the time it is received. Complete frames addressed
// EE EF are answered after the turnaround:
//   E0 model 00 00      -> E1 identity answer (63 bytes from the addresses on)
//   E2 model sub        -> E4 data frames over the clone area (the whole image unless
//                          cloneEnd says less), then E5 with the frame count
//   E3 model sub        -> clone write: E4 records are collected; E5 -> E6 00 and the image
//                          takes them, or E6 01 (nothing taken) if any record or the
//                          signature was bad
//   E8 model sub 03 hh  -> E8 model sub 03 and the converter reading as two ASCII hex chars
//   E8 model sub cc hh  -> sets what sub-command cc sets (see e8_items.h), stores it in the
//                          image at the item's address; no answer
// Frames with other addresses, another model or sub identifier, or unknown commands are
// ignored (the echo still comes). A complete request that arrives while a clone read is being
// sent ends that clone read after the frame on the line.
class TamskorSim {
  public:
    // std::invalid_argument when the configuration cannot be served.
    TamskorSim(TamskorConfig config, SimImage image);

    // Bytes received completely at time t. Times must not go backwards; an earlier time is
    // taken as the latest time seen.
    void Receive(const Bytes& bytes, SimTime t);
    void Receive(std::uint8_t byte, SimTime t);

    // The bytes (echo and answers) that have arrived at the far end by `now`, in order.
    Bytes TakeDue(SimTime now);

    // When the next byte will be due, if anything is pending.
    std::optional<SimTime> NextEvent() const;

    // True once the hang-up fault has struck and the last byte before it has been sent.
    bool HungUp(SimTime now) const { return hungUp_ && now >= hangUpAt_; }

    // The converter reading the transceiver would answer now.
    std::uint8_t Readout(std::uint8_t selector) const;

    const SimImage& Image() const { return image_; }
    SimImage& Image() { return image_; }
    const TamskorConfig& Config() const { return config_; }
    int SelectedChannel() const { return channel_; }
    int AdjustMode() const { return adjustMode_; }
    // Frames answered / ignored so far.
    int AnswerFrames() const { return answerFrames_; }
    int IgnoredFrames() const { return ignoredFrames_; }

    // Where frames and events are recorded; nullptr for none. Not owned.
    void SetTrace(WireTrace* trace) { trace_ = trace; }

  private:
    void Generate(SimTime now);
    SimTime NextFrameStart() const;
    void HandleFrame(const Bytes& content, SimTime t);
    void Ignore(SimTime t, const std::string& why);
    SimTime AnswerEarliest(SimTime t) const;
    // Frames and queues one answer; returns the time its last byte is due (or `earliest`
    // when the no-answer fault swallows it).
    SimTime Answer(Bytes payload, SimTime earliest);
    void Note(SimTime t, const std::string& text);

    void StartCloneRead(SimTime t);
    void HandleAdjust(const Bytes& content, SimTime t);
    void AnswerIdentity(SimTime t);
    void AnswerReadout(std::uint8_t selector, SimTime t);
    void SetItem(std::uint8_t sub, std::uint8_t value, SimTime t);
    void CloneWriteRecord(const Bytes& content, SimTime t);
    void CloneWriteEnd(const Bytes& content, SimTime t);

    TamskorConfig config_;
    SimImage image_;
    AnalogModel analog_;
    PacedLine line_;
    FrameParser parser_;
    WireTrace* trace_ = nullptr;
    SimTime lastTime_ = 0;

    std::uint16_t sub_;  // the transceiver's own sub identifier
    std::uint8_t revision_;
    int channel_ = 1;
    int adjustMode_ = 0;
    Lva lastLva_ = Lva::Rx;

    // Clone read in progress.
    bool streaming_ = false;
    std::int32_t streamAdr_ = 0;
    int streamFrames_ = 0;
    SimTime streamEarliest_ = 0;

    // Clone write in progress.
    bool writing_ = false;
    bool writeOk_ = true;
    int writeRecords_ = 0;
    SimImage staging_;

    int answerFrames_ = 0;
    int ignoredFrames_ = 0;
    bool hungUp_ = false;
    SimTime hangUpAt_ = 0;
};

}  // namespace quorvane::sim
