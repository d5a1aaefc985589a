#pragma once

#include <set>
#include <string>
#include <vector>

#include "protocol/link_driver.h"
#include "protocol/sequencer.h"
#include "serial/port_form.h"

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
        } else {
            driver_->Reset();
            com_->Reset();
        }
    }

    frmCom* com_;
    clsCmcVep3Drv* driver_;
};

}  // namespace quorvane::test
