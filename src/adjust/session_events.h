#pragma once

#include <string>
#include <vector>

#include "platform/checked.h"

namespace quorvane {

// What sent a value to the transceiver.
enum class ChangeSource : std::uint8_t { Connect, Key, Sweep, Lva, Rssi };

// One value sent to the transceiver: the item or stored parameter it belongs to, the E8
// sub-command and data byte that went out, and the EEPROM address it is kept at (-1: none).
struct SentValue {
    std::string name;  // the item's title without its leading blanks, or the parameter's name
    Int16 value = 0;   // the item's value (or the parameter's byte) after the send
    Int16 subCommand = 0;
    Int16 data = 0;
    Int32 address = -1;
    ChangeSource source = ChangeSource::Key;
};

// A value a sweep or the LVA adjustment sent, with the reading it gave.
struct CurvePoint {
    Int16 value = 0;
    Int16 reading = 0;

    bool operator==(const CurvePoint&) const = default;
};

// How a special operation ended for one item. A sweep or an LVA adjustment that is still
// running keeps one of these too, its points growing and its value not yet kept.
struct SpecialOpOutcome {
    ChangeSource operation = ChangeSource::Sweep;  // Sweep, Lva or Rssi
    std::string name;                              // the item or level: "BPF T1", "RSSI S3"
    Int16 value = 0;    // the value kept: the filter's middle, the LVA value, the level stored
    Int16 reading = 0;  // sweep: the best SD reading; LVA: the last LVIN reading
    Int16 target = 0;   // LVA: the target level
    bool succeeded =
        true;  // LVA: false when the target was out of reach and the old value restored
    // Sweep and LVA: every value sent with its reading (SD or LVIN), in the order taken.
    std::vector<CurvePoint> points;
    // Sweep: the first and the last value at which the best reading was seen.
    Int16 firstBest = 0;
    Int16 lastBest = 0;
};

// An adjustment item's title and value.
struct ItemValue {
    std::string title;
    Int16 value = 0;

    bool operator==(const ItemValue&) const = default;
};

// What the adjustment operations tell the session record as they work.
class ISessionEvents {
  public:
    // The read has finished and the items hold the values read.
    virtual void ItemsRead(const std::vector<ItemValue>& items) = 0;
    virtual void ValueSent(const SentValue& sent) = 0;
    virtual void SpecialOpEnded(const SpecialOpOutcome& outcome) = 0;
    // A reset is about to throw away the items of a transceiver that was read.
    virtual void AdjustingEnds() = 0;

  protected:
    ~ISessionEvents() = default;
};

}  // namespace quorvane
