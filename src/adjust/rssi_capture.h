#pragma once

#include "adjust/special_op.h"

namespace quorvane {

// RSSI level capture: reads SD continuously; each Enter stores the reading shown, first as
// the S3 level, then as the S1 level, which ends the operation with a beep.
class RssiCapture {
  public:
    explicit RssiCapture(const SpecialOpLinks& links) : links_(links) {}

    static bool Covers(Int16 subStep) {
        return subStep >= substep::kRssiBegin && subStep <= substep::kRssiNext;
    }
    // A new operation asks for the S3 level first.
    void Start() { secondStage_ = false; }
    // Enter while running: store the next completed reading.
    void RequestCapture() { capture_ = true; }
    bool SecondStage() const { return secondStage_; }

    // One sub-step; false while it waits. When done, subStep holds the next one.
    bool Step(Int16& subStep);

  private:
    bool ReadAndCapture();
    Int16 NextAfterRead();

    SpecialOpLinks links_;
    bool secondStage_ = false;
    bool capture_ = false;
    bool captured_ = false;
    bool readPending_ = false;
};

}  // namespace quorvane
