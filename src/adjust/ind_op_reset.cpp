#include <cmath>

#include "adjust/form_layout.h"
#include "adjust/ind_op_rig_tamsk.h"
#include "eeprom/eeprom_map.h"
#include "protocol/wire.h"

namespace quorvane {

namespace {

using namespace item_event;
namespace e8 = wire::e8;

constexpr Int16 kNoCommand = -1;

// One row of the item table; kNone keeps the console's default.
struct ItemRow {
    const char* title;
    Int32 eeAdr;
    Int16 e8Command;
    Int16 min;
    Int16 max;
    bool loopVal;
    bool barExist;
    Int16 eventDisp;
    Int16 eventSendE8;
    Int16 eventEnter;
    Int16 ItemIndices::*index;  // where the item's list index is recorded, if anywhere
};

// Titles are ten characters, right-aligned. Waits of the filter and LVA items are set by
// ResetSpecialOp, which ends every reset.
constexpr ItemRow kItemTable[] = {
    {"    CH No.", -1, e8::kChannel, 0, 0, true, false, kDispChannel, kSendChannel, kNone,
     &ItemIndices::chNo},
    {" Power(Hi)", eepmap::kPowHiLevel, e8::kPowerHi, 0, 255, false, true, kNone, kNone, kNone,
     nullptr},
    {" Power(L2)", eepmap::kPowL2Level, e8::kPowerL2, 0, 255, false, true, kNone, kNone, kNone,
     nullptr},
    {" Power(L1)", eepmap::kPowL1Level, e8::kPowerL1, 0, 255, false, true, kNone, kNone, kNone,
     nullptr},
    {"       BAL", eepmap::kBalNLevel, e8::kBal, 0, 255, false, true, kNone, kNone, kNone,
     &ItemIndices::bal},
    {"     MOD N", eepmap::kModNLevel, e8::kModN, 0, 255, false, true, kNone, kNone, kNone,
     &ItemIndices::modN},
    {" MOD Ratio", -1, kNoCommand, 0, 255, false, true, kNone, kNone, kNone,
     &ItemIndices::modRatio},
    {" CTCS/DTCS", eepmap::kCtcsDtcsLevel, e8::kCtcsDtcs, 0, 255, false, true, kNone, kNone, kNone,
     nullptr},
    {"       SQL", eepmap::kSqlLevel, e8::kSql, 0, 255, false, true, kNone, kNone, kNone, nullptr},
    {"       REF", eepmap::kRefLevel, e8::kRef, 0, 255, false, true, kNone, kNone, kNone, nullptr},
    {"   BPF ALL", -1, kNoCommand, 0, 255, false, false, kDispBpfAll, kNone, kEnterBpfAll,
     &ItemIndices::bpfAll},
    {"    BPF T1", eepmap::kBpfT1Level, e8::kBpfT1, 0, 255, false, true, kDispBpf, kNone,
     kEnterBpfT1, &ItemIndices::bpfT1},
    {"    BPF T2", eepmap::kBpfT2Level, e8::kBpfT2, 0, 255, false, true, kDispBpf, kNone,
     kEnterBpfT2, nullptr},
    {"    RX LVA", eepmap::kRxLvaLevel, e8::kRxLva, 0, 255, false, true, kDispLva, kNone,
     kEnterRxLva, &ItemIndices::rxLva},
    {"    TX LVA", eepmap::kTxLvaLevel, e8::kTxLva, 0, 255, false, true, kDispLva, kNone,
     kEnterTxLva, nullptr},
    {"LV(RX LVA)", -1, kNoCommand, 0, 255, false, true, kDispVoltage, kNone, kNone,
     &ItemIndices::lvRxLva},
    {"LV(TX LVA)", -1, kNoCommand, 0, 255, false, true, kDispVoltage, kNone, kNone,
     &ItemIndices::lvTxLva},
    {"      RSSI", -1, kNoCommand, 0, 255, false, false, kDispRssi, kNone, kEnterRssi,
     &ItemIndices::rssi},
};

// The filter and LVA items settle this long after a value was sent.
constexpr Int32 kBpfSettleMs = 200;
constexpr Int32 kLvaSettleMs = 500;

}  // namespace

clsIndOp_RigTamsk::clsIndOp_RigTamsk(const Links& links)
    : links_(links),
      console_(links.console),
      seq_(links.sequence),
      objIndEep_(links.radio.eepImage()),
      objWaitTick_(links.clock) {
    myComPortNo_ = 1;
    RigOpFunc_ResetAll();
    tblTempBorder_ = {0,   16,  24,  32,  40,  48,  64,  80,  96,  112, 128,
                      144, 160, 176, 192, 208, 216, 224, 232, 240, 255, 0};
}

void clsIndOp_RigTamsk::RigOpFunc_ResetAll() {
    if (ItemsLive() && session_ != nullptr) {
        session_->AdjustingEnds();
    }
    seq_.easyReset(myComPortNo_);
    stepNo_ = 0;
    flgStepFirst_ = true;
    flgDispParaReq_ = false;
    imageView_ = false;
    for (std::size_t i = 0; i <= 4; ++i) {
        adLast_[i] = -1;
    }
    for (std::size_t i = 0; i <= 8; ++i) {
        daLast_[i] = -1;
    }
    flgCloneErr_ = false;
    RigOpFunc_FormResource();
    console_.myListBox = links_.form.lboConsole;
    console_.myEventClass = this;
    console_.myVep3Seq = &seq_;
    console_.myEeprom = &links_.radio.eepImage();
    BuildItemTable();
    ResetSpecialOp();
}

void clsIndOp_RigTamsk::BuildItemTable() {
    console_.Clear();
    for (const ItemRow& row : kItemTable) {
        console_.AddItem();
        const auto i = static_cast<Int16>(console_.ListCount() - 1);
        console_.Title(i, row.title);
        // The index comes first: the item lines drawn below already use it.
        if (row.index != nullptr) {
            items_.*row.index = i;
        }
        console_.EeAdr(i, row.eeAdr);
        console_.E8Command(i, row.e8Command);
        console_.Min(i, row.min);
        console_.Max(i, row.max);
        console_.LoopVal(i, row.loopVal);
        console_.BarExist(i, row.barExist);
        console_.EeDataSigned(i, false);
        console_.Event_Disp(i, row.eventDisp);
        console_.Event_SendE8(i, row.eventSendE8);
        console_.Event_Enter(i, row.eventEnter);
    }
}

void clsIndOp_RigTamsk::ResetSpecialOp() {
    subStepNo_ = substep::kNone;
    console_.WaitAfterE8(items_.bpfT1, kBpfSettleMs);
    console_.WaitAfterE8(static_cast<Int16>(items_.bpfT1 + 1), kBpfSettleMs);
    console_.WaitAfterE8(items_.rxLva, kLvaSettleMs);
    console_.WaitAfterE8(static_cast<Int16>(items_.rxLva + 1), kLvaSettleMs);
    for (Int16 i = 0; i < console_.ListCount(); ++i) {
        console_.flgEnterOn(i, false);
        console_.Disp(i);
    }
}

Int16 clsIndOp_RigTamsk::RigTamskOp_Table_Txf_TempBorder(Int16 index) const {
    return CheckedAt(tblTempBorder_, index, "temperature border table");
}

void clsIndOp_RigTamsk::RigOpFunc_FormResource() {
    quorvane::RigOpFunc_FormResource(links_.form);
}

void clsIndOp_RigTamsk::RigOpFunc_FormLayout() {
    quorvane::RigOpFunc_FormLayout(links_.form, firstLayout_);
}

bool clsIndOp_RigTamsk::SubNameLegal(const std::string& nameS) {
    // Only the first byte of the sub name decides (00, 01, 02 are ours); an answer without a
    // whole first byte is refused rather than compared with whatever follows it.
    if (nameS.size() < 2) {
        return false;
    }
    return nameS.compare(0, 2, "02") <= 0;
}

void clsIndOp_RigTamsk::RigOpFunc_SetComPortNo(Int16 portNo) {
    if (portNo != myComPortNo_) {
        myComPortNo_ = portNo;
        RigOpFunc_ResetAll();
    }
}

void clsIndOp_RigTamsk::RigOpFunc_ClickCmd00(Int16 Index) {
    ResetSpecialOp();
    switch (Index) {
        case 0:
            RigOpFunc_ResetAll();
            stepNo_ = 1;
            flgStepFirst_ = true;
            break;
        case 1:
            if (RigTamskProp_EditEnabled()) {
                flgReloadReq_ = true;
            }
            break;
        case 2:
            if (RigTamskProp_EditEnabled()) {
                flgDispParaReq_ = true;
            } else if (RigTamskProp_DispPara()) {
                flgDispParaReq_ = false;
            }
            break;
        default:
            break;
    }
}

Int16 clsIndOp_RigTamsk::Ratio(Int32 level, Int32 n) {
    if (level < 1 || n < 1) {
        return 0;
    }
    const double r = std::floor(static_cast<double>(level) * 64.0 / n + 0.5);
    return static_cast<Int16>(std::min(r, 255.0));
}

Int16 clsIndOp_RigTamsk::Level(Int32 n, Int32 ratio) {
    const Int32 product = Mul32(n, ratio);
    const double l = std::floor(static_cast<double>(product) / 64.0 + 0.5);
    // Negative products cannot come from the byte-sized operands; keep the result a byte.
    return static_cast<Int16>(std::clamp(l, 0.0, 255.0));
}

}  // namespace quorvane
