#pragma once

#include <string>

#include "platform/checked.h"
#include "protocol/eeprom.h"

namespace quorvane {

// What the program knows of the transceiver it expects: its identifiers, the clone-write
// address list, and the EEPROM image.
class clsCmcRadio {
  public:
    const std::string& radioNameM() const { return radioNameM_; }
    void radioNameM(const std::string& name) { radioNameM_ = name; }
    const std::string& radionameS() const { return radionameS_; }
    void radionameS(const std::string& name) { radionameS_ = name; }

    // Ranges of exactly 10 characters each: "SSSS-EEEE," in upper-case hexadecimal.
    const std::string& cloneWriteAdrList() const { return cloneWriteAdrList_; }
    void cloneWriteAdrList_Clear() { cloneWriteAdrList_.clear(); }
    // Appends one range as given: no check, sorting or merging; each address keeps its four
    // lowest hexadecimal digits.
    void cloneWriteAdrList_Add(Int32 adr0, Int32 adr1);

    clsCmcEeprom& eepImage() { return eepImage_; }
    const clsCmcEeprom& eepImage() const { return eepImage_; }

  private:
    std::string radioNameM_ = "0000";
    std::string radionameS_ = "0000";
    std::string cloneWriteAdrList_;
    clsCmcEeprom eepImage_;
};

}  // namespace quorvane
