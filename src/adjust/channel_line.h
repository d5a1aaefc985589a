#pragma once

#include <string>

#include "eeprom/ind_eep_rig_tamsk.h"
#include "platform/checked.h"

namespace quorvane {

// Where the channel tables start in the image, read after a clone read.
struct ChannelTables {
    Int32 chStartAdr = 0;   // receive frequency of channel record 0
    Int32 chStartAdr4 = 0;  // transmit frequency of channel record 0
    Int32 chBlock2Adr = 0;  // channel setting record 0
};

// The channel item's line: number, receive and transmit frequency (or "Inhibit"), power and
// mode of memory channel ch (0-based).
std::string ChannelLine(const clsIndEep_RigTamsk& eep, const ChannelTables& tables,
                        const std::string& title, Int16 ch);

}  // namespace quorvane
