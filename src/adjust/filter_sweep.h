#pragma once

#include <array>

#include "adjust/special_op.h"

namespace quorvane {

// Band-pass filter sweep: steps a filter through its range while reading SD and leaves it in
// the middle of the run of values that gave the highest reading. Started from one filter's
// item (steps of 1 over its whole range) or from the all-band item (both filters, steps of 2
// up to 127, the other filter waiting at 64).
class FilterSweep {
  public:
    explicit FilterSweep(const SpecialOpLinks& links) : links_(links) {}

    static bool Covers(Int16 subStep) {
        return subStep >= substep::kSweepBegin && subStep <= substep::kSweepEnd;
    }
    // band 0 or 1 for one filter, -1 for both.
    void Start(Int16 band);
    // The filter `band` is still to be swept in the running operation.
    bool Flagged(Int16 band) const { return CheckedAt(flags_, band, "sweep flags"); }

    // One sub-step; false while it waits. When done, subStep holds the next one.
    bool Step(Int16& subStep);

    // The band being swept, with the readings so far and its best run so far; null before
    // the first band is picked and once the last has ended.
    const SpecialOpOutcome* Live() const { return live_ ? &run_ : nullptr; }

  private:
    Int16 Item(Int16 band) const { return static_cast<Int16>(links_.items.bpfT1 + band); }
    void Preset();
    Int16 PickBand();
    bool Run(Int16& next);
    void Track(Int16 reading, Int16 value);

    SpecialOpLinks links_;
    std::array<bool, 3> flags_{};
    bool allMode_ = false;
    Int16 band_ = 0;
    Int16 phase_ = 0;  // 0: send the value, 1: ask for a reading, 2: collect it
    Int32 best_ = -1;
    Int32 firstBest_ = 0;
    Int32 lastBest_ = 0;
    SpecialOpOutcome run_;
    bool live_ = false;
};

}  // namespace quorvane
