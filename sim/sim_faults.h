#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace quorvane::sim {

// The misbehaviours the stand-in can show, chosen by name ("bad-checksum:5").
enum class Fault : std::uint8_t {
    NoEcho,          // the cable echoes nothing; answers still come
    NoAnswer,        // echo, but no answer frame to anything
    WrongModel,      // the identity answer carries another model identifier
    RefusedSub,      // the transceiver's sub identifier is 0300
    UnfitRevision,   // the identity answer carries revision byte 0x03
    BadChecksum,     // clone-read data frame k has its checksum off by one
    WrongCount,      // the clone-read end frame counts one frame too many
    ForeignReadout,  // readout answers carry another sub identifier
    LongReadout,     // readout answers carry one byte more after the reading
    Garbage,         // stray bytes (never 0xFE or 0xFD) before every answer frame
    LateAnswer,      // answers start 1500 ms after the request, beyond the program's wait
    DroppedBytes,    // every k-th answer frame loses its middle byte
    HangUp,          // the transceiver goes silent after clone-read data frame k
    BeyondImage,     // clone-read data frame k is addressed past the end of the image
    RejectedWrite,   // a clone write ends with E6 01 and the image unchanged
    NoWriteResult,   // a clone write's E5 gets no E6
    WriteHangUp,     // the transceiver goes silent after clone-write record k
    UnstoredByte,    // the first byte of clone-write record k keeps its old value
};

struct FaultInfo {
    Fault fault;
    const char* name;
    bool takesK;
    int defaultK;
    const char* help;
};

inline constexpr std::array<FaultInfo, 18> kFaults{{
    {Fault::NoEcho, "no-echo", false, 0, "the cable echoes nothing (answers still come)"},
    {Fault::NoAnswer, "no-answer", false, 0, "every frame is echoed, none is answered"},
    {Fault::WrongModel, "wrong-model", false, 0,
     "the identity answer carries model 8538 instead of 8537"},
    {Fault::RefusedSub, "refused-sub", false, 0, "the sub identifier is 0300 (as --sub 0300)"},
    {Fault::UnfitRevision, "unfit-revision", false, 0,
     "the identity answer carries revision byte 03 (as --revision 03)"},
    {Fault::BadChecksum, "bad-checksum", true, 1,
     "clone-read data frame k (1-based) has its checksum off by one"},
    {Fault::WrongCount, "wrong-count", false, 0,
     "the clone-read end frame counts one data frame too many"},
    {Fault::ForeignReadout, "foreign-readout", false, 0,
     "readout answers carry sub identifier 0100 instead of the transceiver's own"},
    {Fault::LongReadout, "long-readout", false, 0,
     "readout answers carry one byte (30) more after the reading's two"},
    {Fault::Garbage, "garbage", false, 0,
     "stray bytes (00 55 AA 13 7F, never FE or FD) before every answer frame"},
    {Fault::LateAnswer, "late-answer", false, 0,
     "answers start 1500 ms after the request, beyond the 1200 ms wait"},
    {Fault::DroppedBytes, "dropped-bytes", true, 1,
     "every k-th answer frame (counting all answer frames) loses its middle byte"},
    {Fault::HangUp, "hang-up", true, 1,
     "silent after clone-read data frame k; on a pseudo-terminal the line is closed"},
    {Fault::BeyondImage, "beyond-image", true, 1,
     "clone-read data frame k is addressed past the end of the image (7FE0), checksum right"},
    {Fault::RejectedWrite, "rejected-write", false, 0,
     "a clone write is answered E6 01 and the image stays as it was"},
    {Fault::NoWriteResult, "no-write-result", false, 0,
     "the end of a clone write (E5) is echoed but never answered"},
    {Fault::WriteHangUp, "write-hang-up", true, 1,
     "silent after clone-write record k; on a pseudo-terminal the line is closed"},
    {Fault::UnstoredByte, "unstored-byte", true, 1,
     "the first byte of clone-write record k is not stored (it keeps its old value); the "
     "write still ends E6 00"},
}};

const FaultInfo& InfoOf(Fault fault);

// The faults in effect, each with its k.
class FaultSet {
  public:
    bool Has(Fault fault) const { return (mask_ & Bit(fault)) != 0; }
    int K(Fault fault) const { return k_[static_cast<std::size_t>(fault)]; }
    void Add(Fault fault, int k);
    bool Empty() const { return mask_ == 0; }

    // Adds the fault named by text ("name" or "name:k"); the error text when the name is
    // unknown, k is not a positive number, or the fault takes no k.
    std::optional<std::string> Parse(const std::string& text);

  private:
    static std::uint32_t Bit(Fault f) { return 1u << static_cast<unsigned>(f); }

    std::uint32_t mask_ = 0;
    std::array<int, kFaults.size()> k_{};
};

}  // namespace quorvane::sim
