#pragma once

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "adjust/channel_line.h"
#include "adjust/filter_sweep.h"
#include "adjust/item_events.h"
#include "adjust/lva_adjust.h"
#include "adjust/readout_table.h"
#include "adjust/rssi_capture.h"
#include "adjust/session_events.h"
#include "adjust/special_op.h"
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
class clsIndOp_RigTamsk final : public IConsoleEvents,
                                public ISubNameCheck,
                                private ISpecialOpHost {
  public:
    // The first and last step of the adjusting cycle.
    static constexpr Int16 kStepCycleStart = 10;
    static constexpr Int16 kStepCycleEnd = 28;

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
    bool RigOpFunc_CheckSubNameLegal(const std::string& nameS) override {
        return SubNameLegal(nameS);
    }
    // Whether the sub identifier (four hexadecimal digits) is one of the transceivers adjusted
    // here; the command-line tool asks it too.
    static bool SubNameLegal(const std::string& nameS);
    void RigOpFunc_FormResource();
    void RigOpFunc_FormLayout();
    void task();

    Int16 RigTamskOp_Table_Txf_TempBorder(Int16 index) const;
    bool RigTamskProp_EditEnabled() const { return stepNo_ > 9 && stepNo_ < 29; }
    bool RigTamskProp_DispPara() const { return stepNo_ == 29; }
    bool RigTamskProp_Shielding() const {
        return !(RigTamskProp_EditEnabled() || RigTamskProp_DispPara());
    }
    // An image file's dump shown on the parameter page in place of the title page, while no
    // transceiver is connected; every reset (Connect among them) ends it.
    void RigOpFunc_ImageView(bool on) { imageView_ = on && stepNo_ == 0; }
    bool RigTamskProp_ImageView() const { return imageView_; }

    // Console callbacks.
    std::string ConsEv_Disp(clsConsole& objConsole, Int16 Index, Int16 evNo, Int16 val) override;
    void ConsEv_SendE8(clsConsole& objConsole, Int16 Index, Int16 evNo, Int16 val) override;
    void ConsEv_Enter(clsConsole& objConsole, Int16 Index, Int16 evNo, Int16 val) override;
    void WaitE8Required(Int32 ms) override { waitE8Ms_ = ms; }

    // Asked, with a time in ms, for a tick once a settling wait has run out, so that the next
    // step goes out then rather than at the timer's next period; wired by the tick's owner.
    void wakeRequest(std::function<void(Int32)> f) { wakeRequest_ = std::move(f); }
    // Called once a clone read has brought the whole image in, before anything is sent.
    void cloneReadDone(std::function<void()> f) { cloneReadDone_ = std::move(f); }
    // Told what the session does: the values read, every value sent, the special operations'
    // outcomes; null: nobody listens.
    void sessionEvents(ISessionEvents* events) { session_ = events; }
    // The items hold the values of a transceiver that was read: the step machine is past its
    // read (step 2).
    bool ItemsLive() const { return stepNo_ > 2; }
    // The converter readouts as their list shows them: its title, then a line per readout
    // (kReadoutNotRead until one was read since the last reset).
    std::vector<std::string> ReadoutLines(ReadoutList list) const;
    // The progress line shows how far the clone transfer under way has come.
    void ShowCloneProgress();
    // The adjusting cycle runs: the items are editable and sent as they change.
    bool InAdjustingCycle() const { return stepNo_ >= kStepCycleStart && stepNo_ <= kStepCycleEnd; }
    // The items' titles (without leading blanks) and values, in list order.
    std::vector<ItemValue> ItemValues() const;
    // The sweep or LVA adjustment under way with its readings so far; null when none runs.
    const SpecialOpOutcome* RunningCurve() const {
        return SweepRunning() ? sweep_.Live() : (LvaRunning() ? lva_.Live() : nullptr);
    }

    // State for tests and the window.
    Int16 stepNo() const { return stepNo_; }
    Int16 subStepNo() const { return subStepNo_; }
    Int16 chListCount() const { return chListCount_; }
    Int16 chList(Int16 index) const { return CheckedAt(chList_, index, "channel list"); }
    const ChannelTables& channelTables() const { return tables_; }
    bool flgMid() const { return flgMid_; }
    bool lvaFailed(Int16 k) const { return lva_.Failed(k); }
    const clsIndEep_RigTamsk& objIndEep() const { return objIndEep_; }

    // Item indices recorded while the table is built.
    Int16 idxChNo() const { return items_.chNo; }
    Int16 idxBal() const { return items_.bal; }
    Int16 idxModN() const { return items_.modN; }
    Int16 idxModRatio() const { return items_.modRatio; }
    Int16 idxBpfAll() const { return items_.bpfAll; }
    Int16 idxBpfT1() const { return items_.bpfT1; }
    Int16 idxRxLva() const { return items_.rxLva; }
    Int16 idxLvRxLva() const { return items_.lvRxLva; }
    Int16 idxLvTxLva() const { return items_.lvTxLva; }
    Int16 idxRssi() const { return items_.rssi; }

    // Level ratio arithmetic of the MOD levels: 64 means equal to MOD N.
    static Int16 Ratio(Int32 level, Int32 n);
    static Int16 Level(Int32 n, Int32 ratio);

  private:
    // Reset and table.
    void BuildItemTable();
    void ResetSpecialOp();

    // Step machine.
    bool RunStep(Int16& next);
    bool ConnectStep(Int16 step);
    bool CycleStep(Int16 step, Int16& next);
    bool DispParaStep(Int16& next);
    bool ReadAndBuild();
    void ReadItemValues();
    void BuildChannelList();
    bool SendScan();
    void ModFollowUp(Int16 i);
    void BalCopy();
    void EnterScan();
    void UpdateWindow();
    void UpdateProgress(Int16 n);

    // Readouts.
    bool AdReadout(Int16 line, bool first);
    bool DaReadout(Int16 line, bool first);
    bool Readout(ReadoutList list, Int16 line, bool first);
    bool AnswerBad(const Bytes& answer) const;
    static Int16 AnswerValue(const Bytes& answer);

    // Item lines and Enter requests of the special items.
    std::string BpfLine(clsConsole& objConsole, Int16 Index) const;
    std::string LvaLine(clsConsole& objConsole, Int16 Index) const;
    void StartSweep(Int16 Index, Int16 evNo);

    // Special operations.
    bool SpecialStep();
    bool SweepRunning() const { return FilterSweep::Covers(subStepNo_); }
    bool LvaRunning() const { return LvaAdjust::Covers(subStepNo_); }
    bool RssiRunning() const { return RssiCapture::Covers(subStepNo_); }

    // Sends that the session journal hears of.
    void SendE8Value(Int16 subCommand, Int32 value);
    void StoreByte(Int32 address, Int16 value);
    ChangeSource SourceOf(Int16 item) const;
    // A level sent and stored on behalf of an item (MOD N, BAL, RSSI), whose source it takes.
    void SendFollower(Int16 item, Int16 subCommand, Int32 address, Int16 value, const char* name);

    // What the special operations reach.
    bool SequencerBusy() const override { return seq_.OpRunning(); }
    bool AdReading(Int16 line, bool first, Int16& reading) override;
    void SendItem(Int16 item) override;
    void SendStored(Int16 subCommand, Int32 address, Int16 value, const char* name) override;
    void Ended(const SpecialOpOutcome& outcome) override;
    void Beep() override { links_.form.beeper->Beep(); }

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
    bool imageView_ = false;
    bool flgReloadReq_ = false;
    bool flgReloadRun_ = false;
    Bytes radioId_;
    std::array<Int16, 22> tblTempBorder_{};
    Int32 waitE8Ms_ = 0;
    std::function<void(Int32)> wakeRequest_;
    std::function<void()> cloneReadDone_;
    ISessionEvents* session_ = nullptr;
    std::array<Int16, 6> adLast_{};
    std::array<Int16, 10> daLast_{};
    ItemIndices items_;

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
    RssiCapture rssi_{SpecialOpLinks{*this, console_, items_}};
    FilterSweep sweep_{SpecialOpLinks{*this, console_, items_}};
    LvaAdjust lva_{SpecialOpLinks{*this, console_, items_}};
    bool firstLayout_ = true;
};

}  // namespace quorvane
