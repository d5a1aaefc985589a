#pragma once

#include <array>

#include "adjust/special_op.h"

namespace quorvane {

// LVA automatic adjustment: finds by bisection the RX LVA or TX LVA value at which the LVIN
// reading equals the target level of its "LV(...)" item. A target outside the readings at the
// two ends of the range brings the old value back and leaves the failure mark standing.
class LvaAdjust {
  public:
    explicit LvaAdjust(const SpecialOpLinks& links) : links_(links) {}

    static bool Covers(Int16 subStep) {
        return subStep >= substep::kLvaBegin && subStep <= substep::kLvaEnd;
    }
    // k 0 for RX LVA, 1 for TX LVA.
    void Start(Int16 k);
    bool Flagged(Int16 k) const { return CheckedAt(flags_, k, "LVA flags"); }
    bool Failed(Int16 k) const { return CheckedAt(failed_, k, "LVA failure marks"); }

    // One sub-step; false while it waits. When done, subStep holds the next one.
    bool Step(Int16& subStep);

    // The running adjustment with its readings so far; null once it has ended.
    const SpecialOpOutcome* Live() const { return live_ ? &run_ : nullptr; }

  private:
    // A value with the LVIN reading it gave.
    struct Probe {
        long long value = 0;
        long long reading = 0;
    };

    template <typename Action>
    void ForEachFlagged(Action&& action);
    void SetValue(Int16 item, long long value);
    void Begin();
    bool Read(Probe& probe);
    void Report(Int16 item, Int16 reading, bool succeeded);
    Int16 Bracket();
    void SetMid();
    Int16 Narrow();

    SpecialOpLinks links_;
    std::array<bool, 3> flags_{};
    std::array<bool, 3> failed_{};
    std::array<Int16, 3> saved_{};
    bool readPending_ = false;
    Probe lo_, hi_, mid_;
    long long target_ = 0;
    SpecialOpOutcome run_;
    bool live_ = false;
};

}  // namespace quorvane
