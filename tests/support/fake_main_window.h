#pragma once

#include <functional>
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
    Int16 lastError = 0;
    Int16 sequencerError = 0;
};

// Stands in for the main window: the tick's main step, the error report (which resets
// everything as the real one does) and the sub identifier check of the operations.
class FakeMainWindow final : public ITickClient, public ICloneErrorReport, public ISubNameCheck {
  public:
    FakeMainWindow(frmCom& com, clsCmcVep3Drv& driver) : com_(&com), driver_(&driver) {}

    clsCmcVep3Sequence* sequence = nullptr;
    std::set<std::string> legalSubs{"0100", "0200"};
    std::function<void()> operationsStep;  // the adjustment operations' step, if any
    std::vector<std::string>* journal = nullptr;
    std::vector<CloneErrReport> reports;
    std::vector<std::string> tickErrors;
    std::vector<std::string> subNamesAsked;

    void task() override {
        Log("main task");
        if (sequence != nullptr) {
            sequence->task();
        }
        if (operationsStep) {
            operationsStep();
        }
        if (sequence != nullptr && sequence->OpRunning()) {
            sequence->task();
        }
    }
    void MsgBoxCloneErr() override { Report(); }
    void MsgBoxCloneErr(clsCmcVep3Sequence& /*sequence*/) override { Report(); }
    void TickError(const std::exception& error) override {
        Log("tick error");
        tickErrors.push_back(error.what());
        ResetAll();
    }
    bool RigOpFunc_CheckSubNameLegal(const std::string& subName) override {
        subNamesAsked.push_back(subName);
        return legalSubs.count(subName) != 0;
    }

  private:
    void Log(const std::string& what) {
        if (journal != nullptr) {
            journal->push_back(what);
        }
    }
    void Report() {
        Log("error report");
        reports.push_back({com_->errCannotOpen(), com_->errOverflow(), driver_->lastError(),
                           sequence != nullptr ? sequence->error() : Int16{0}});
        ResetAll();
    }
    void ResetAll() {
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
