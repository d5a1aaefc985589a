#include "adjust/lva_adjust.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "console/console.h"
#include "platform/text.h"

namespace quorvane {

namespace {
// The transceiver settles this long after each value before LVIN is read.
constexpr Int32 kSettleMs = 500;
}  // namespace

void LvaAdjust::Start(Int16 k) {
    live_ = false;
    flags_[0] = k == 0;
    flags_[1] = k == 1;
}

template <typename Action>
void LvaAdjust::ForEachFlagged(Action&& action) {
    for (Int16 k = 0; k <= 1; ++k) {
        if (flags_[static_cast<std::size_t>(k)]) {
            action(static_cast<std::size_t>(k), static_cast<Int16>(links_.items.rxLva + k));
        }
    }
}

void LvaAdjust::SetValue(Int16 item, long long value) {
    links_.console.Value(item, static_cast<Int16>(std::clamp<long long>(value, -32768, 32767)));
    links_.console.Disp(item);
}

bool LvaAdjust::Step(Int16& subStep) {
    if (links_.host.SequencerBusy()) {
        return false;
    }
    Int16 next = static_cast<Int16>(subStep + 1);
    switch (subStep) {
        case substep::kLvaBegin:
            Begin();
            break;
        case substep::kLvaSetLow:
            ForEachFlagged([this](std::size_t k, Int16 a) {
                saved_[k] = links_.console.Value(a);
                SetValue(a, lo_.value);
            });
            break;
        case substep::kLvaSetHigh:
            ForEachFlagged([this](std::size_t, Int16 a) { SetValue(a, hi_.value); });
            break;
        case substep::kLvaReadLow:
        case substep::kLvaReadHigh:
        case substep::kLvaReadMid: {
            Probe& probe = subStep == substep::kLvaReadLow    ? lo_
                           : subStep == substep::kLvaReadHigh ? hi_
                                                              : mid_;
            if (!Read(probe)) {
                return false;
            }
            if (subStep == substep::kLvaReadMid) {
                ForEachFlagged([this](std::size_t, Int16 a) { links_.console.WaitAfterE8(a, 0); });
            }
            break;
        }
        case substep::kLvaBracket:
            next = Bracket();
            break;
        case substep::kLvaSetMid:
            SetMid();
            break;
        case substep::kLvaNarrow:
            next = Narrow();
            break;
        default:
            next = substep::kNone;
            links_.host.Beep();
            break;
    }
    subStep = next;
    readPending_ = false;
    return true;
}

void LvaAdjust::Begin() {
    lo_.value = 0;
    hi_.value = 255;
    ForEachFlagged([this](std::size_t k, Int16 a) {
        target_ = links_.console.Value(static_cast<Int16>(links_.items.lvRxLva + k));
        failed_[k] = true;
        run_ = {};
        run_.operation = ChangeSource::Lva;
        run_.name = Trimmed(links_.console.Title(a));
        run_.target = static_cast<Int16>(target_);
        live_ = true;
    });
}

void LvaAdjust::Report(Int16 item, Int16 reading, bool succeeded) {
    run_.value = links_.console.Value(item);
    run_.reading = reading;
    run_.succeeded = succeeded;
    live_ = false;
    links_.host.Ended(run_);
}

// The probe's reading, taken inside a sub-step; false while it is not in yet.
bool LvaAdjust::Read(Probe& probe) {
    const bool first = !readPending_;
    readPending_ = true;
    Int16 reading = 0;
    if (!links_.host.AdReading(kAdLineLvin, first, reading)) {
        return false;
    }
    probe.reading = reading;
    run_.points.push_back({static_cast<Int16>(probe.value), reading});
    return true;
}

Int16 LvaAdjust::Bracket() {
    if (lo_.reading > hi_.reading) {
        std::swap(lo_, hi_);
    }
    if (target_ <= lo_.reading || hi_.reading <= target_) {
        // Out of reach: the old values come back and the failure mark stays.
        ForEachFlagged([this](std::size_t k, Int16 a) {
            SetValue(a, saved_[k]);
            Report(a, 0, false);
        });
        return substep::kLvaEnd;
    }
    return substep::kLvaSetMid;
}

void LvaAdjust::SetMid() {
    mid_.value =
        static_cast<long long>(std::floor(static_cast<double>(lo_.value + hi_.value) / 2.0 + 0.5));
    ForEachFlagged([this](std::size_t, Int16 a) {
        SetValue(a, mid_.value);
        links_.console.WaitAfterE8(a, kSettleMs);
    });
}

Int16 LvaAdjust::Narrow() {
    if (std::llabs(hi_.value - lo_.value) > 2) {
        if (target_ < mid_.reading) {
            hi_ = mid_;
            return substep::kLvaSetMid;
        }
        if (target_ > mid_.reading) {
            lo_ = mid_;
            return substep::kLvaSetMid;
        }
    }
    ForEachFlagged([this](std::size_t k, Int16 a) {
        failed_[k] = false;
        Report(a, static_cast<Int16>(mid_.reading), true);
    });
    return substep::kLvaEnd;
}

}  // namespace quorvane
