#include <cmath>

#include "adjust/ind_op_rig_tamsk.h"
#include "eeprom/eeprom_map.h"
#include "protocol/common.h"
#include "protocol/wire.h"

namespace quorvane {

namespace {
namespace e8 = wire::e8;

// The steps: connect (1), read and build (2), first readings (3..7), adjust mode (8), send
// every item (9); then the adjusting cycle 10..28, and the parameter dump view 29.
constexpr Int16 kStepCount = 30;
constexpr Int16 kStepIdle = 0;
constexpr Int16 kStepConnect = 1;
constexpr Int16 kStepRead = 2;
constexpr Int16 kStepFirstReadings = 3;
constexpr Int16 kStepAdjustMode = 8;
constexpr Int16 kStepSendAll = 9;
constexpr Int16 kStepAdReadings = 11;
constexpr Int16 kStepDaReadings = 16;
constexpr Int16 kStepSendChanged = 25;
constexpr Int16 kStepEnterScan = 26;
constexpr Int16 kStepSpecial = 27;
constexpr Int16 kStepDispPara = 29;
constexpr Int16 kProgressCells = 32;
}  // namespace

void clsIndOp_RigTamsk::UpdateProgress(Int16 n) {
    const auto filled = static_cast<std::size_t>(std::clamp<Int16>(n, 0, kProgressCells));
    links_.form.lblProgress->Caption(std::string(filled, 'o') +
                                     std::string(kProgressCells - filled, '.'));
}

void clsIndOp_RigTamsk::ShowCloneProgress() {
    UpdateProgress(static_cast<Int16>(std::floor(links_.driver.CloneFraction() * 33.0)));
}

void clsIndOp_RigTamsk::task() {
    if (seq_.OpRunning()) {
        if (stepNo_ == kStepRead) {
            ShowCloneProgress();
        }
        return;
    }
    if (stepNo_ > kStepRead && stepNo_ < kStepCycleStart) {
        UpdateProgress(static_cast<Int16>(std::floor((stepNo_ - 2) / 7.0 * 32.0)));
    }
    if (waitE8Ms_ > 0) {
        objWaitTick_.counter(waitE8Ms_);
        if (wakeRequest_) {
            // One millisecond more, so a tick that comes a fraction early still finds it over.
            wakeRequest_(waitE8Ms_ + 1);
        }
        waitE8Ms_ = 0;
    }
    if (objWaitTick_.counter() > 0) {
        return;
    }
    for (;;) {
        Int16 next = static_cast<Int16>((stepNo_ + 1) % kStepCount);
        const bool done = RunStep(next);
        if (done) {
            stepNo_ = next;
            flgStepFirst_ = true;
        } else {
            flgStepFirst_ = false;
        }
        if (flgCloneErr_) {
            links_.errorReport.MsgBoxCloneErr(seq_);
            RigOpFunc_ResetAll();
            break;
        }
        if (seq_.OpRunning() || !done || stepNo_ == kStepCycleEnd) {
            break;
        }
    }
    UpdateWindow();
}

bool clsIndOp_RigTamsk::RunStep(Int16& next) {
    return stepNo_ < kStepCycleStart ? ConnectStep(stepNo_) : CycleStep(stepNo_, next);
}

bool clsIndOp_RigTamsk::ConnectStep(Int16 step) {
    switch (step) {
        case kStepIdle:
            return false;
        case kStepConnect:
            return true;
        case kStepRead:
            return ReadAndBuild();
        case kStepAdjustMode:
            SendE8Value(e8::kAdjustMode, 1);
            return true;
        case kStepSendAll:
            return SendScan();
        default:
            return AdReadout(static_cast<Int16>(step - kStepFirstReadings), flgStepFirst_);
    }
}

bool clsIndOp_RigTamsk::CycleStep(Int16 step, Int16& next) {
    if (step == kStepCycleStart) {
        flgReloadRun_ = flgReloadReq_;
        flgReloadReq_ = false;
        return true;
    }
    if (step < kStepDaReadings) {
        return !flgReloadRun_ ||
               AdReadout(static_cast<Int16>(step - kStepAdReadings), flgStepFirst_);
    }
    if (step < kStepSendChanged) {
        return !flgReloadRun_ ||
               DaReadout(static_cast<Int16>(step - kStepDaReadings), flgStepFirst_);
    }
    switch (step) {
        case kStepSendChanged:
            return SendScan();
        case kStepEnterScan:
            EnterScan();
            return true;
        case kStepSpecial:
            return SpecialStep();
        case kStepCycleEnd:
            if (flgDispParaReq_) {
                ResetSpecialOp();
                next = kStepDispPara;
            } else {
                next = kStepCycleStart;
            }
            return true;
        default:
            return DispParaStep(next);
    }
}

bool clsIndOp_RigTamsk::DispParaStep(Int16& next) {
    if (flgStepFirst_) {
        objIndEep_.RigTamskEep_DispPara(*links_.form.txtDispPara);
    }
    if (!flgDispParaReq_) {
        next = kStepCycleEnd;
        links_.form.cmd00[2]->SetFocus();
        return true;
    }
    return false;
}

bool clsIndOp_RigTamsk::ReadAndBuild() {
    if (flgStepFirst_) {
        seq_.easyCloneRead();
        return false;
    }
    if (cloneReadDone_) {
        cloneReadDone_();
    }
    radioId_ = HexToBytes(links_.radio.radioNameM() + links_.radio.radionameS());
    flgMid_ = objIndEep_.RigTamskEep_GetMid();
    ReadItemValues();
    flgReloadReq_ = true;
    BuildChannelList();
    if (session_ != nullptr) {
        session_->ItemsRead(ItemValues());
    }
    return true;
}

ChangeSource clsIndOp_RigTamsk::SourceOf(Int16 item) const {
    if (stepNo_ == kStepSendAll) {
        return ChangeSource::Connect;
    }
    // A special operation owns only its own items: another item changed meanwhile was a key.
    if (SweepRunning() && (item == items_.bpfT1 || item == items_.bpfT1 + 1)) {
        return ChangeSource::Sweep;
    }
    if (LvaRunning() && (item == items_.rxLva || item == items_.rxLva + 1)) {
        return ChangeSource::Lva;
    }
    if (RssiRunning() && item == items_.rssi) {
        return ChangeSource::Rssi;
    }
    return ChangeSource::Key;
}

void clsIndOp_RigTamsk::ReadItemValues() {
    const clsCmcEeprom& image = links_.radio.eepImage();
    auto byte = [&image](Int32 adr) { return image.ReadByte(adr); };
    for (Int16 i = 0; i < console_.ListCount(); ++i) {
        console_.ReadFromEe(i);
        if (i == items_.modRatio) {
            const Int16 a = byte(flgMid_ ? eepmap::kModWLevelMid : eepmap::kModWLevel);
            console_.Value(i, Ratio(a, byte(eepmap::kModNLevel)));
            modWRatio_ = Ratio(byte(eepmap::kModWLevelMid), byte(eepmap::kModNLevel));
        }
        if (i == items_.lvRxLva) {
            console_.Value(i, byte(eepmap::kLvRxLva));
        }
        if (i == items_.lvTxLva) {
            console_.Value(i, byte(eepmap::kLvTxLva));
        }
        console_.flgChanged(i, true);
    }
}

void clsIndOp_RigTamsk::BuildChannelList() {
    const clsCmcEeprom& image = links_.radio.eepImage();
    auto word = [&image](Int32 adr) { return image.ReadByte(adr) * 256 + image.ReadByte(adr + 1); };
    chBlockAdr_ = word(eepmap::kChFreqTableAdr);
    tables_.chBlock2Adr = word(eepmap::kChSettingTableAdr);
    tables_.chStartAdr = chBlockAdr_;
    tables_.chStartAdr4 = chBlockAdr_ + eepmap::kChTxOffset;

    const Int32 count = std::min<Int32>(word(eepmap::kChannelCount), eepmap::kMaxChannels);
    chListCount_ = 0;
    for (Int16 ch = 0; ch < count; ++ch) {
        if (objIndEep_.RigTamskEep_GetChAppear(tables_.chStartAdr, ch)) {
            chList_[static_cast<std::size_t>(chListCount_++)] = ch;
        }
    }
    if (chListCount_ == 0) {
        chList_[0] = 0;
        chListCount_ = 1;
    }
    console_.Max(items_.chNo, static_cast<Int16>(chListCount_ - 1));
    console_.Value(items_.chNo, console_.Min(items_.chNo));
    console_.flgChanged(items_.chNo, true);
}

bool clsIndOp_RigTamsk::SendScan() {
    for (Int16 i = 0; i < console_.ListCount(); ++i) {
        if (!console_.flgChanged(i)) {
            continue;
        }
        console_.flgChanged(i, false);
        SendItem(i);
        ModFollowUp(i);
        if (i == items_.bal) {
            BalCopy();
        }
        if (seq_.OpRunning()) {
            return false;
        }
    }
    return true;
}

// MOD N carries both W levels along at their ratios: over four passes MOD N, the Mid level
// from its ratio, MOD N again, and the level the MOD Ratio item drives.
void clsIndOp_RigTamsk::ModFollowUp(Int16 i) {
    if (i == items_.modN) {
        console_.flgChanged(items_.modRatio, true);
        if (modFollowA_) {
            modFollowA_ = modFollowB_;
        } else {
            modFollowA_ = true;
            modFollowB_ = true;
        }
        return;
    }
    if (i != items_.modRatio) {
        return;
    }
    if (modFollowA_) {
        console_.flgChanged(items_.modN, true);
        const Int16 v = Level(console_.Value(items_.modN), modWRatio_);
        SendFollower(i, e8::kModWMid, eepmap::kModWLevelMid, v, "MOD W Mid");
        modFollowB_ = false;
    } else {
        const Int16 v = Level(console_.Value(items_.modN), console_.Value(items_.modRatio));
        SendFollower(i, flgMid_ ? e8::kModWMid : e8::kModW,
                     flgMid_ ? eepmap::kModWLevelMid : eepmap::kModWLevel, v,
                     flgMid_ ? "MOD W Mid" : "MOD W");
    }
}

// BAL is copied to both W levels, one copy per pass.
void clsIndOp_RigTamsk::BalCopy() {
    const clsCmcEeprom& image = links_.radio.eepImage();
    const Int16 v = console_.Value(items_.bal);
    if (image.ReadByte(eepmap::kBalWLevelMid) != v) {
        console_.flgChanged(items_.bal, true);
        SendFollower(items_.bal, e8::kBalWMid, eepmap::kBalWLevelMid, v, "BAL W Mid");
    } else if (image.ReadByte(eepmap::kBalWLevel) != v) {
        console_.flgChanged(items_.bal, true);
        SendFollower(items_.bal, e8::kBalW, eepmap::kBalWLevel, v, "BAL W");
    }
}

void clsIndOp_RigTamsk::EnterScan() {
    for (Int16 i = 0; i < console_.ListCount(); ++i) {
        if (console_.flgEnterOn(i) && console_.Event_Enter(i) >= 0) {
            console_.flgEnterOn(i, false);
            console_.EnterExec(i);
            return;
        }
    }
}

void clsIndOp_RigTamsk::UpdateWindow() {
    const frmMainControls& form = links_.form;
    form.fra01[0]->Visible(RigTamskProp_Shielding() && !imageView_);
    const bool wasVisible = form.fra01[1]->Visible();
    form.fra01[1]->Visible(RigTamskProp_EditEnabled());
    if (!wasVisible && RigTamskProp_EditEnabled()) {
        form.lboConsole->SetFocus();
    }
    form.fra01[3]->Visible(RigTamskProp_DispPara() || imageView_);
    form.cmd00[0]->Enabled(!RigTamskProp_DispPara());
    form.cmd00[1]->Enabled(RigTamskProp_EditEnabled());
    form.cmd00[2]->Enabled(!RigTamskProp_Shielding());
    form.cmd00[2]->Default(RigTamskProp_DispPara());
    form.cmd00[2]->Cancel(RigTamskProp_DispPara());
}

}  // namespace quorvane
