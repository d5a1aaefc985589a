#pragma once

#include "adjust/item_events.h"
#include "adjust/session_events.h"
#include "platform/checked.h"

namespace quorvane {

class clsConsole;

// Sub-step numbers of the special operations; 0 means none runs. Each operation owns one
// range, and a running operation advances by at most one sub-step per adjusting cycle.
namespace substep {

inline constexpr Int16 kNone = 0;

// RSSI capture.
inline constexpr Int16 kRssiBegin = 6;  // clear the capture request
inline constexpr Int16 kRssiRead = 7;   // read SD, store it when a capture was asked for
inline constexpr Int16 kRssiNext = 8;   // keep reading, go to the second level or end

// Band-pass filter sweep.
inline constexpr Int16 kSweepBegin = 12;
inline constexpr Int16 kSweepPreset = 13;  // the flagged filters to their start value
inline constexpr Int16 kSweepBand = 14;    // pick the next flagged filter
inline constexpr Int16 kSweepRun = 15;     // step the filter, reading SD at each value
inline constexpr Int16 kSweepEnd = 16;

// LVA automatic adjustment.
inline constexpr Int16 kLvaBegin = 17;
inline constexpr Int16 kLvaSetLow = 18;
inline constexpr Int16 kLvaReadLow = 19;
inline constexpr Int16 kLvaSetHigh = 20;
inline constexpr Int16 kLvaReadHigh = 21;
inline constexpr Int16 kLvaBracket = 22;  // is the target between the two readings
inline constexpr Int16 kLvaSetMid = 23;
inline constexpr Int16 kLvaReadMid = 24;
inline constexpr Int16 kLvaNarrow = 25;
inline constexpr Int16 kLvaEnd = 26;

}  // namespace substep

// A/D readout lines the special operations read.
inline constexpr Int16 kAdLineLvin = 2;
inline constexpr Int16 kAdLineSd = 3;

// What a special operation reaches of the operations object that runs it.
class ISpecialOpHost {
  public:
    virtual bool SequencerBusy() const = 0;
    // A/D readout of `line`; false while the answer is not in, then true with the reading.
    virtual bool AdReading(Int16 line, bool first, Int16& reading) = 0;
    // The item's value goes out now (its E8 command, or its own send event) and into the image.
    virtual void SendItem(Int16 item) = 0;
    // A parameter with no item of its own: sent with its E8 sub-command and stored at address.
    virtual void SendStored(Int16 subCommand, Int32 address, Int16 value, const char* name) = 0;
    virtual void Ended(const SpecialOpOutcome& outcome) = 0;
    virtual void Beep() = 0;

  protected:
    ~ISpecialOpHost() = default;
};

// The parts every special operation works with; all outlive it.
struct SpecialOpLinks {
    ISpecialOpHost& host;
    clsConsole& console;
    const ItemIndices& items;
};

}  // namespace quorvane
