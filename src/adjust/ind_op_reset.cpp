#include <cmath>

#include "adjust/form_layout.h"
#include "adjust/ind_op_rig_tamsk.h"
#include "eeprom/eeprom_map.h"

namespace quorvane {

namespace {

// One row of the item table; a negative number or -1 means the console's default stays.
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
};

constexpr Int16 kNo = -1;

// Titles are ten characters, right-aligned. Waits of the filter and LVA items are set by
// ResetSpecialOp, which ends every reset.
constexpr ItemRow kItemTable[] = {
    {"    CH No.", -1, 0, 0, 0, true, false, 0, 0, kNo},
    {" Power(Hi)", eepmap::kPowHiLevel, 9, 0, 255, false, true, kNo, kNo, kNo},
    {" Power(L2)", eepmap::kPowL2Level, 10, 0, 255, false, true, kNo, kNo, kNo},
    {" Power(L1)", eepmap::kPowL1Level, 11, 0, 255, false, true, kNo, kNo, kNo},
    {"       BAL", eepmap::kBalNLevel, 17, 0, 255, false, true, kNo, kNo, kNo},
    {"     MOD N", eepmap::kModNLevel, 13, 0, 255, false, true, kNo, kNo, kNo},
    {" MOD Ratio", -1, kNo, 0, 255, false, true, kNo, kNo, kNo},
    {" CTCS/DTCS", eepmap::kCtcsDtcsLevel, 15, 0, 255, false, true, kNo, kNo, kNo},
    {"       SQL", eepmap::kSqlLevel, 8, 0, 255, false, true, kNo, kNo, kNo},
    {"       REF", eepmap::kRefLevel, 5, 0, 255, false, true, kNo, kNo, kNo},
    {"   BPF ALL", -1, kNo, 0, 255, false, false, 2, kNo, 7},
    {"    BPF T1", eepmap::kBpfT1Level, 19, 0, 255, false, true, 3, kNo, 3},
    {"    BPF T2", eepmap::kBpfT2Level, 20, 0, 255, false, true, 3, kNo, 4},
    {"    RX LVA", eepmap::kRxLvaLevel, 6, 0, 255, false, true, 6, kNo, 8},
    {"    TX LVA", eepmap::kTxLvaLevel, 7, 0, 255, false, true, 6, kNo, 9},
    {"LV(RX LVA)", -1, kNo, 0, 255, false, true, 7, kNo, kNo},
    {"LV(TX LVA)", -1, kNo, 0, 255, false, true, 7, kNo, kNo},
    {"      RSSI", -1, kNo, 0, 255, false, false, 4, kNo, 1},
};

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
    adCh_ = {0, 3, 5, 4, 0, 0};
    daCmd_ = {16, 17, 18, 19, 12, 13, 14, 11, 15, 0};
    lvaFailed_ = {};
}

void clsIndOp_RigTamsk::RigOpFunc_ResetAll() {
    seq_.easyReset(myComPortNo_);
    stepNo_ = 0;
    flgStepFirst_ = true;
    flgDispParaReq_ = false;
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
        // The index fields come first: the item lines drawn below already use them.
        const std::string title = row.title;
        if (title == "    CH No.") {
            idxChNo_ = i;
        } else if (title == "       BAL") {
            idxBal_ = i;
        } else if (title == "     MOD N") {
            idxModN_ = i;
        } else if (title == " MOD Ratio") {
            idxModRatio_ = i;
        } else if (title == "   BPF ALL") {
            idxBpfAll_ = i;
        } else if (title == "    BPF T1") {
            idxBpfT1_ = i;
        } else if (title == "    RX LVA") {
            idxRxLva_ = i;
        } else if (title == "LV(RX LVA)") {
            idxLvRxLva_ = i;
        } else if (title == "LV(TX LVA)") {
            idxLvTxLva_ = i;
        } else if (title == "      RSSI") {
            idxRssi_ = i;
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
    subStepNo_ = 0;
    console_.WaitAfterE8(idxBpfT1_, 200);
    console_.WaitAfterE8(static_cast<Int16>(idxBpfT1_ + 1), 200);
    console_.WaitAfterE8(idxRxLva_, 500);
    console_.WaitAfterE8(static_cast<Int16>(idxRxLva_ + 1), 500);
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

bool clsIndOp_RigTamsk::RigOpFunc_CheckSubNameLegal(const std::string& nameS) {
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
