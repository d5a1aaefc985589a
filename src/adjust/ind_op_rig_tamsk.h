#pragma once

#include <array>
#include <functional>
#include <string>

#include "adjust/channel_line.h"
#include "console/console.h"
#include "console/console_events.h"
#include "eeprom/ind_eep_rig_tamsk.h"
#include "platform/byte_string.h"
#include "platform/checked.h"
#include "platform/clock.h"
#include "platform/main_form.h"
#include "protocol/link_driver.h"
#include "protocol/radio.h"
#include "protocol/sequencer.h"
#include "protocol/sequencer_clients.h"
#include "serial/cmc_tick.h"

namespace quorvane {

// The Tamskor's adjustment work: the eighteen items, the step machine that connects, reads,
// sends and runs the adjusting cycle, the converter readouts, the special operations (RSSI
// capture, filter sweeps, LVA automatic adjustment) and the item lines of its own.
class clsIndOp_RigTamsk final : public IConsoleEvents, public ISubNameCheck {
  public:
    // Everything the operations reach; all outlive the object.
    struct Links {
        clsConsole& console;
        clsCmcVep3Sequence& sequence;
        const clsCmcVep3Drv& driver;
        clsCmcRadio& radio;
        const frmMainControls& form;
        ICloneErrorReport& errorReport;
        IClock& clock;
    };

    // Runs the reset: the console holds the item table and the sequencer is reset for COM 1.
    explicit clsIndOp_RigTamsk(const Links& links);
    clsIndOp_RigTamsk(const clsIndOp_RigTamsk&) = delete;
    clsIndOp_RigTamsk& operator=(const clsIndOp_RigTamsk&) = delete;

    void RigOpFunc_ResetAll();
    void RigOpFunc_ClickCmd00(Int16 Index);
    void RigOpFunc_SetComPortNo(Int16 portNo);
    bool RigOpFunc_CheckSubNameLegal(const std::string& nameS) override;
    void RigOpFunc_FormResource();
    void RigOpFunc_FormLayout();
    void task();

    Int16 RigTamskOp_Table_Txf_TempBorder(Int16 index) const;
    bool RigTamskProp_EditEnabled() const { return stepNo_ > 9 && stepNo_ < 29; }
    bool RigTamskProp_DispPara() const { return stepNo_ == 29; }
    bool RigTamskProp_Shielding() const {
        return !(RigTamskProp_EditEnabled() || RigTamskProp_DispPara());
    }

    // Console callbacks.
    std::string ConsEv_Disp(clsConsole& objConsole, Int16 Index, Int16 evNo, Int16 val) override;
    void ConsEv_SendE8(clsConsole& objConsole, Int16 Index, Int16 evNo, Int16 val) override;
    void ConsEv_Enter(clsConsole& objConsole, Int16 Index, Int16 evNo, Int16 val) override;
    void WaitE8Required(Int32 ms) override { waitE8Ms_ = ms; }

    // Asked, with a time in ms, for a tick once a settling wait has run out, so that the next
    // step goes out then rather than at the timer's next period; wired by the tick's owner.
    void wakeRequest(std::function<void(Int32)> f) { wakeRequest_ = std::move(f); }

    // State for tests and the window.
    Int16 stepNo() const { return stepNo_; }
    Int16 subStepNo() const { return subStepNo_; }
    Int16 chListCount() const { return chListCount_; }
    Int16 chList(Int16 index) const { return CheckedAt(chList_, index, "channel list"); }
    const ChannelTables& channelTables() const { return tables_; }
    bool flgMid() const { return flgMid_; }
    bool lvaFailed(Int16 k) const { return CheckedAt(lvaFailed_, k, "LVA failure marks"); }
    const clsIndEep_RigTamsk& objIndEep() const { return objIndEep_; }

    // Item indices recorded while the table is built.
    Int16 idxChNo() const { return idxChNo_; }
    Int16 idxBal() const { return idxBal_; }
    Int16 idxModN() const { return idxModN_; }
    Int16 idxModRatio() const { return idxModRatio_; }
    Int16 idxBpfAll() const { return idxBpfAll_; }
    Int16 idxBpfT1() const { return idxBpfT1_; }
    Int16 idxRxLva() const { return idxRxLva_; }
    Int16 idxLvRxLva() const { return idxLvRxLva_; }
    Int16 idxLvTxLva() const { return idxLvTxLva_; }
    Int16 idxRssi() const { return idxRssi_; }

    // Level ratio arithmetic of the MOD levels: 64 means equal to MOD N.
    static Int16 Ratio(Int32 level, Int32 n);
    static Int16 Level(Int32 n, Int32 ratio);

  private:
    // Reset and table.
    void BuildItemTable();
    void ResetSpecialOp();

    // Step machine.
    bool RunStep(Int16& next);
    bool ReadAndBuild();
    bool SendScan();
    void EnterScan();
    void UpdateWindow();
    void UpdateProgress(Int16 n);
    void SendE8Value(Int16 subCommand, Int32 value);

    // Readouts.
    bool AdReadout(Int16 line, bool first);
    bool DaReadout(Int16 line, bool first);
    bool Readout(bool analog, Int16 line, bool first);
    bool AnswerBad(const Bytes& answer) const;
    static Int16 AnswerValue(const Bytes& answer);

    // Special operations.
    bool SpecialStep();
    bool RssiStep();
    bool SweepStep();
    bool LvaStep();
    bool SweepRunning() const { return subStepNo_ >= 12 && subStepNo_ <= 16; }
    bool LvaRunning() const { return subStepNo_ >= 17 && subStepNo_ <= 26; }
    bool RssiRunning() const { return subStepNo_ >= 6 && subStepNo_ <= 8; }

    Links links_;
    clsConsole& console_;
    clsCmcVep3Sequence& seq_;
    clsIndEep_RigTamsk objIndEep_;
    clsCmcTick objWaitTick_;

    Int16 myComPortNo_ = 1;
    Int16 stepNo_ = 0;
    bool flgStepFirst_ = true;
    bool flgCloneErr_ = false;
    Int16 subStepNo_ = 0;
    bool flgDispParaReq_ = false;
    bool flgReloadReq_ = false;
    bool flgReloadRun_ = false;
    Bytes radioId_;
    std::array<Int16, 22> tblTempBorder_{};
    Int32 waitE8Ms_ = 0;
    std::function<void(Int32)> wakeRequest_;
    std::array<Int16, 6> adLast_{};
    std::array<Int16, 10> daLast_{};
    std::array<Int16, 6> adCh_{0, 3, 5, 4, 0, 0};
    std::array<Int16, 10> daCmd_{16, 17, 18, 19, 12, 13, 14, 11, 15, 0};

    Int16 idxChNo_ = 0, idxBal_ = 0, idxModN_ = 0, idxModRatio_ = 0, idxBpfAll_ = 0, idxBpfT1_ = 0,
          idxRxLva_ = 0, idxLvRxLva_ = 0, idxLvTxLva_ = 0, idxRssi_ = 0;

    // After the read.
    bool flgMid_ = false;
    Int16 modWRatio_ = 0;
    bool modFollowA_ = false;
    bool modFollowB_ = false;
    Int32 chBlockAdr_ = 0;
    ChannelTables tables_;
    std::array<Int16, 41> chList_{};
    Int16 chListCount_ = 0;

    // Special operations.
    bool rssiStage_ = false;
    bool rssiCapture_ = false;
    bool rssiCaptured_ = false;
    bool rssiReadPending_ = false;
    std::array<bool, 3> sweepFlag_{};
    bool sweepAllMode_ = false;
    Int16 sweepBand_ = 0;
    Int16 sweepPhase_ = 0;
    Int32 sweepBest_ = -1;
    Int32 sweepFirstBest_ = 0;
    Int32 sweepLastBest_ = 0;
    std::array<bool, 3> lvaFlag_{};
    std::array<bool, 3> lvaFailed_{};
    bool lvaReadPending_ = false;
    long long lvaLoValue_ = 0, lvaHiValue_ = 0, lvaMidValue_ = 0;
    long long lvaLoReading_ = 0, lvaHiReading_ = 0, lvaMidReading_ = 0;
    long long lvaTarget_ = 0;
    std::array<Int16, 3> lvaSaved_{};
    bool firstLayout_ = true;
};

}  // namespace quorvane
