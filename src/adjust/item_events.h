#pragma once

#include "platform/checked.h"

namespace quorvane {

// The event numbers the items table gives its items and the handlers switch on: the console
// hands an item's display, send or Enter to the operations object under these numbers.
namespace item_event {

inline constexpr Int16 kNone = -1;  // the console's own behaviour

// Event_Disp: the item's line.
inline constexpr Int16 kDispChannel = 0;  // memory channel, frequencies, power and mode
inline constexpr Int16 kDispBpfAll = 2;   // the all-band sweep line
inline constexpr Int16 kDispBpf = 3;      // one band-pass filter
inline constexpr Int16 kDispRssi = 4;     // the RSSI capture prompt
inline constexpr Int16 kDispLva = 6;      // an LVA level with its automatic-adjustment state
inline constexpr Int16 kDispVoltage = 7;  // a level also shown in volts

// Event_SendE8.
inline constexpr Int16 kSendChannel = 0;  // select the chosen memory channel

// Event_Enter: starts a special operation.
inline constexpr Int16 kEnterRssi = 1;
inline constexpr Int16 kEnterBpfT1 = 3;
inline constexpr Int16 kEnterBpfT2 = 4;
inline constexpr Int16 kEnterBpfAll = 7;
inline constexpr Int16 kEnterRxLva = 8;
inline constexpr Int16 kEnterTxLva = 9;

}  // namespace item_event

// List indices of the items the operations reach by name, recorded while the table is built.
// The second filter and the second LVA follow their first at index + 1.
struct ItemIndices {
    Int16 chNo = 0;
    Int16 bal = 0;
    Int16 modN = 0;
    Int16 modRatio = 0;
    Int16 bpfAll = 0;
    Int16 bpfT1 = 0;
    Int16 rxLva = 0;
    Int16 lvRxLva = 0;
    Int16 lvTxLva = 0;
    Int16 rssi = 0;
};

}  // namespace quorvane
