#include "eeprom/ind_eep_rig_tamsk.h"

#include "eeprom/eeprom_map.h"

namespace quorvane {

std::string clsIndEep_RigTamsk::RigTamskEep_GetChName(Int16 chNo) const {
    if (chNo < 0 || chNo > 41) {
        raiseIndexOutOfRange("channel name " + std::to_string(chNo));
    }
    return std::to_string(chNo + 1);
}

Int32 clsIndEep_RigTamsk::RigTamskEep_GetChFreqTxReal(Int32 start_address, Int16 chNo) const {
    return ReadFreqBlock(Add32(start_address, Mul16(eepmap::kChFreqRecord, chNo)));
}

Int32 clsIndEep_RigTamsk::RigTamskEep_GetChFreqRxReal(Int32 start_address, Int16 chNo) const {
    return RigTamskEep_GetChFreqTxReal(start_address, chNo);
}

Int16 clsIndEep_RigTamsk::RigTamskEep_GetChRFPower(Int32 start_address, Int16 chNo) const {
    const Int32 adr =
        Add32(Add32(start_address, Mul16(eepmap::kChSettingRecord, chNo)), eepmap::kChPowerOffset);
    if (image_->ReadBit(adr, 1)) {
        return image_->ReadBit(adr, 0) ? 0 : 1;
    }
    return 2;
}

bool clsIndEep_RigTamsk::RigTamskEep_GetChMode(Int32 start_address, Int16 chNo) const {
    const Int32 adr =
        Add32(Add32(start_address, Mul16(eepmap::kChSettingRecord, chNo)), eepmap::kChModeOffset);
    return image_->ReadBit(adr, 7);
}

bool clsIndEep_RigTamsk::RigTamskEep_GetMid() const {
    return image_->ReadBit(eepmap::kMidFlag, eepmap::kMidFlagBit);
}

bool clsIndEep_RigTamsk::RigTamskEep_GetChAppear(Int32 start_address, Int16 chNo) const {
    if (chNo < 0) {
        return false;
    }
    return Check_MRCH(Add32(start_address, Mul16(eepmap::kChFreqRecord, chNo)));
}

Int32 clsIndEep_RigTamsk::ReadFreqBlock(Int32 address) const {
    Int32 value = 0;
    for (Int32 i = 0; i < 4; ++i) {
        value = Add32(Mul32(value, 256), Byte(Add32(address, i)));
    }
    return value;
}

bool clsIndEep_RigTamsk::Check_MRCH(Int32 address) const {
    if (Check_Inh(address)) {
        return true;
    }
    return ReadFreqBlock(address) != 0;
}

bool clsIndEep_RigTamsk::Check_Inh(Int32 address) const {
    return image_->ReadBit(address, 7);
}

Int32 clsIndEep_RigTamsk::ReadBaseFreqBlock() const {
    const Int32 raw = Byte(eepmap::kBaseFreq) * 256 + Byte(eepmap::kBaseFreq + 1);
    Int32 f = raw * 100;
    if (f > 800000 || f < 0) {
        f = 0;
    }
    return f * 1000;
}

void clsIndEep_RigTamsk::RigTamskEep_DispPara(ITextBox& box) const {
    box.Text(ParameterDumpText());
}

}  // namespace quorvane
