#include <cmath>

#include "adjust/ind_op_rig_tamsk.h"
#include "eeprom/eeprom_map.h"
#include "protocol/common.h"

namespace quorvane {

namespace {
constexpr Int16 kStepCount = 30;
constexpr Int16 kStepCycleEnd = 28;
constexpr Int16 kStepDispPara = 29;
}  // namespace

void clsIndOp_RigTamsk::UpdateProgress(Int16 n) {
    const auto filled = static_cast<std::size_t>(std::clamp<Int16>(n, 0, 32));
    links_.form.lblProgress->Caption(std::string(filled, 'o') + std::string(32 - filled, '.'));
}

void clsIndOp_RigTamsk::task() {
    if (seq_.OpRunning()) {
        if (stepNo_ == 2) {
            const double end = links_.driver.EndAddress();
            // The driver keeps the end address positive; a zero is still never divided by.
            const double ratio = end > 0 ? links_.driver.lastEeAdr() / end : 0.0;
            UpdateProgress(static_cast<Int16>(std::clamp(std::floor(ratio * 33.0), 0.0, 32.0)));
        }
        return;
    }
    if (stepNo_ > 2 && stepNo_ < 10) {
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
    const Int16 step = stepNo_;
    if (step == 0) {
        return false;
    }
    if (step == 1) {
        return true;
    }
    if (step == 2) {
        return ReadAndBuild();
    }
    if (step >= 3 && step <= 7) {
        return AdReadout(static_cast<Int16>(step - 3), flgStepFirst_);
    }
    if (step == 8) {
        SendE8Value(2, 1);
        return true;
    }
    if (step == 9 || step == 25) {
        return SendScan();
    }
    if (step == 10) {
        flgReloadRun_ = flgReloadReq_;
        flgReloadReq_ = false;
        return true;
    }
    if (step >= 11 && step <= 15) {
        return flgReloadRun_ ? AdReadout(static_cast<Int16>(step - 11), flgStepFirst_) : true;
    }
    if (step >= 16 && step <= 24) {
        return flgReloadRun_ ? DaReadout(static_cast<Int16>(step - 16), flgStepFirst_) : true;
    }
    if (step == 26) {
        EnterScan();
        return true;
    }
    if (step == 27) {
        return SpecialStep();
    }
    if (step == kStepCycleEnd) {
        if (flgDispParaReq_) {
            ResetSpecialOp();
            next = kStepDispPara;
        } else {
            next = 10;
        }
        return true;
    }
    // The parameter dump view.
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
    const clsCmcEeprom& image = links_.radio.eepImage();
    auto byte = [&image](Int32 adr) { return image.ReadByte(adr); };

    radioId_ = HexToBytes(links_.radio.radioNameM() + links_.radio.radionameS());
    flgMid_ = objIndEep_.RigTamskEep_GetMid();
    for (Int16 i = 0; i < console_.ListCount(); ++i) {
        console_.ReadFromEe(i);
        if (i == idxModRatio_) {
            const Int16 a = byte(flgMid_ ? eepmap::kModWLevelMid : eepmap::kModWLevel);
            console_.Value(i, Ratio(a, byte(eepmap::kModNLevel)));
            modWRatio_ = Ratio(byte(eepmap::kModWLevelMid), byte(eepmap::kModNLevel));
        }
        if (i == idxLvRxLva_) {
            console_.Value(i, byte(eepmap::kLvRxLva));
        }
        if (i == idxLvTxLva_) {
            console_.Value(i, byte(eepmap::kLvTxLva));
        }
        console_.flgChanged(i, true);
    }
    flgReloadReq_ = true;

    chBlockAdr_ = byte(eepmap::kChFreqTableAdr) * 256 + byte(eepmap::kChFreqTableAdr + 1);
    tables_.chBlock2Adr =
        byte(eepmap::kChSettingTableAdr) * 256 + byte(eepmap::kChSettingTableAdr + 1);
    tables_.chStartAdr = chBlockAdr_;
    tables_.chStartAdr4 = chBlockAdr_ + eepmap::kChTxOffset;

    const Int32 count = std::min<Int32>(
        byte(eepmap::kChannelCount) * 256 + byte(eepmap::kChannelCount + 1), eepmap::kMaxChannels);
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
    console_.Max(idxChNo_, static_cast<Int16>(chListCount_ - 1));
    console_.Value(idxChNo_, console_.Min(idxChNo_));
    console_.flgChanged(idxChNo_, true);
    return true;
}

void clsIndOp_RigTamsk::SendE8Value(Int16 subCommand, Int32 value) {
    seq_.easySendE8NoAnswer(Hex2(subCommand) + Hex2AsAsciiHex(static_cast<Int16>(value & 0xFF)));
}

bool clsIndOp_RigTamsk::SendScan() {
    clsCmcEeprom& image = links_.radio.eepImage();
    for (Int16 i = 0; i < console_.ListCount(); ++i) {
        if (!console_.flgChanged(i)) {
            continue;
        }
        console_.flgChanged(i, false);
        console_.SendE8(i);

        // MOD N carries both W levels along at their ratios.
        if (i == idxModN_) {
            console_.flgChanged(idxModRatio_, true);
            if (modFollowA_) {
                modFollowA_ = modFollowB_;
            } else {
                modFollowA_ = true;
                modFollowB_ = true;
            }
        } else if (i == idxModRatio_) {
            if (modFollowA_) {
                console_.flgChanged(idxModN_, true);
                const Int16 v = Level(console_.Value(idxModN_), modWRatio_);
                SendE8Value(14, v);
                image.WriteByte(eepmap::kModWLevelMid, static_cast<std::uint8_t>(v));
                modFollowB_ = false;
            } else {
                const Int16 v = Level(console_.Value(idxModN_), console_.Value(idxModRatio_));
                SendE8Value(flgMid_ ? 14 : 12, v);
                image.WriteByte(flgMid_ ? eepmap::kModWLevelMid : eepmap::kModWLevel,
                                static_cast<std::uint8_t>(v));
            }
        }

        // BAL is copied to both W levels, one copy per pass.
        if (i == idxBal_) {
            const Int16 v = console_.Value(idxBal_);
            if (image.ReadByte(eepmap::kBalWLevelMid) != v) {
                console_.flgChanged(idxBal_, true);
                SendE8Value(18, v);
                image.WriteByte(eepmap::kBalWLevelMid, static_cast<std::uint8_t>(v));
            } else if (image.ReadByte(eepmap::kBalWLevel) != v) {
                console_.flgChanged(idxBal_, true);
                SendE8Value(16, v);
                image.WriteByte(eepmap::kBalWLevel, static_cast<std::uint8_t>(v));
            }
        }

        if (seq_.OpRunning()) {
            return false;
        }
    }
    return true;
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
    form.fra01[0]->Visible(RigTamskProp_Shielding());
    const bool wasVisible = form.fra01[1]->Visible();
    form.fra01[1]->Visible(RigTamskProp_EditEnabled());
    if (!wasVisible && RigTamskProp_EditEnabled()) {
        form.lboConsole->SetFocus();
    }
    form.fra01[3]->Visible(RigTamskProp_DispPara());
    form.cmd00[0]->Enabled(!RigTamskProp_DispPara());
    form.cmd00[1]->Enabled(RigTamskProp_EditEnabled());
    form.cmd00[2]->Enabled(!RigTamskProp_Shielding());
    form.cmd00[2]->Default(RigTamskProp_DispPara());
    form.cmd00[2]->Cancel(RigTamskProp_DispPara());
}

}  // namespace quorvane
