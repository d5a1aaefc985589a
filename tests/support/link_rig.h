#pragma once

#include <set>
#include <string>
#include <vector>

#include "protocol/link_driver.h"
#include "protocol/radio.h"
#include "protocol/sequencer.h"
#include "protocol/wire.h"
#include "rig/manual_clock.h"
#include "serial/port_form.h"
#include "support/fake_serial_control.h"

namespace quorvane::test {

// The error state a report was built from.
struct CloneErrReport {
    bool errCannotOpen = false;
    bool errOverflow = false;
    LinkError lastError = LinkError::None;
    SequenceError sequencerError = SequenceError::None;
    bool operator==(const CloneErrReport&) const = default;
};

// Stands in for the main window: the tick's main step, the error report (which resets
// everything as the real one does) and the sub identifier check of the operations.
class FakeMainWindow final : public ITickClient, public ICloneErrorReport, public ISubNameCheck {
  public:
    FakeMainWindow(frmCom& com, clsCmcVep3Drv& driver) : com_(&com), driver_(&driver) {}

    clsCmcVep3Sequence* sequence = nullptr;
    std::set<std::string> legalSubs{"0100", "0200"};
    std::vector<CloneErrReport> reports;
    std::vector<std::string> tickErrors;

    void task() override {
        if (sequence != nullptr) {
            sequence->task();
            if (sequence->OpRunning()) {
                sequence->task();
            }
        }
    }
    void MsgBoxCloneErr() override { Report(); }
    void MsgBoxCloneErr(clsCmcVep3Sequence& /*sequence*/) override { Report(); }
    void TickError(const std::exception& error) override {
        tickErrors.push_back(error.what());
        Report();
    }
    bool RigOpFunc_CheckSubNameLegal(const std::string& subName) override {
        return legalSubs.count(subName) != 0;
    }

  private:
    void Report() {
        reports.push_back({com_->errCannotOpen(), com_->errOverflow(), driver_->lastError(),
                           sequence != nullptr ? sequence->error() : SequenceError::None});
        if (sequence != nullptr) {
            sequence->easyReset(sequence->ComPortNo());
        }
    }

    frmCom* com_;
    clsCmcVep3Drv* driver_;
};

// The port form, the link driver, the radio identity and the sequencer over a fake port and
// a hand-set clock, wired as the composition root wires them.
struct LinkRig {
    ManualClock clock{100000};
    FakeSerialControl port;
    frmCom com{port};
    clsCmcVep3Drv driver{clock};
    clsCmcRadio radio;
    FakeMainWindow window{com, driver};
    clsCmcVep3Sequence sequence{com, driver, radio, clock};

    explicit LinkRig(bool withSequencer = true) {
        com.vep3D(&driver);
        driver.myObjCom(&com);
        com.tickClient(&window);
        radio.radioNameM(std::string(wire::kModelName));
        radio.radionameS(std::string(wire::kSubName));
        radio.cloneWriteAdrList_Add(0, wire::kLastImageAddress);
        if (withSequencer) {
            sequence.subNameCheck(&window);
            sequence.errorReport(&window);
            window.sequence = &sequence;
        }
        com.timSolidEnabled(true);
    }

    void Tick() { com.timSolid_Timer(); }

    // Ticks every 50 ms of the hand-set clock until no operation is set (or the limit).
    void RunUntilIdle(int maxTicks = 3000) {
        for (int n = 0; n < maxTicks && sequence.Operation() != clsCmcVep3Sequence::kOpNone; ++n) {
            clock.Advance(50);
            Tick();
        }
    }
};

}  // namespace quorvane::test
