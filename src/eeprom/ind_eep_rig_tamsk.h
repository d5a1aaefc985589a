#pragma once

#include <string>
#include <vector>

#include "platform/checked.h"
#include "platform/ui_controls.h"
#include "protocol/eeprom.h"

namespace quorvane {

// One line of the parameter dump: the parameter's name and its value as the dump shows it
// (right-aligned in four places, the base frequency with its unit).
struct ParameterLine {
    std::string name;
    std::string field;

    bool operator==(const ParameterLine&) const = default;
};

// "                  POW HI Level:  153": the name right-aligned before column 30, then the
// field; no line end.
std::string ParameterLineText(const ParameterLine& line);

// Reads the transceiver's channel data, base frequency and variant flag out of the EEPROM
// image. It never writes the image. Table start addresses are passed in by the caller.
class clsIndEep_RigTamsk {
  public:
    explicit clsIndEep_RigTamsk(const clsCmcEeprom& image) : image_(&image) {}

    // "1".."42" for channel index 0..41; other indices are a range error.
    std::string RigTamskEep_GetChName(Int16 chNo) const;
    Int32 RigTamskEep_GetChFreqTxReal(Int32 start_address, Int16 chNo) const;
    Int32 RigTamskEep_GetChFreqRxReal(Int32 start_address, Int16 chNo) const;
    // 0 High, 1 Low2, 2 Low1.
    Int16 RigTamskEep_GetChRFPower(Int32 start_address, Int16 chNo) const;
    // True for narrow.
    bool RigTamskEep_GetChMode(Int32 start_address, Int16 chNo) const;
    bool RigTamskEep_GetMid() const;
    bool RigTamskEep_GetChAppear(Int32 start_address, Int16 chNo) const;
    // Writes the 66-line parameter dump into the text box.
    void RigTamskEep_DispPara(ITextBox& box) const;
    // The dump as lines of fields, in dump order.
    std::vector<ParameterLine> ParameterDump() const;
    // The dump text itself: every line as ParameterLineText writes it, ended by CR LF.
    std::string ParameterDumpText() const;

    // Four bytes big-endian; an inhibited frequency (first byte 0x80 or more) overflows.
    Int32 ReadFreqBlock(Int32 address) const;
    bool Check_MRCH(Int32 address) const;
    bool Check_Inh(Int32 address) const;
    // Base frequency in Hz; 0 when the stored value is above 800 MHz.
    Int32 ReadBaseFreqBlock() const;

  private:
    Int16 Byte(Int32 address) const { return image_->ReadByte(address); }

    const clsCmcEeprom* image_;
};

}  // namespace quorvane
