#include "adjust/filter_sweep.h"

#include <algorithm>
#include <cmath>

#include "console/console.h"
#include "platform/text.h"

namespace quorvane {

void FilterSweep::Start(Int16 band) {
    live_ = false;
    allMode_ = band < 0;
    flags_[0] = allMode_ || band == 0;
    flags_[1] = allMode_ || band == 1;
}

bool FilterSweep::Step(Int16& subStep) {
    if (links_.host.SequencerBusy()) {
        return false;
    }
    Int16 next = static_cast<Int16>(subStep + 1);
    switch (subStep) {
        case substep::kSweepBegin:
            break;
        case substep::kSweepPreset:
            Preset();
            break;
        case substep::kSweepBand:
            next = PickBand();
            break;
        case substep::kSweepRun:
            if (!Run(next)) {
                return false;
            }
            break;
        default:
            next = substep::kNone;
            links_.host.Beep();
            break;
    }
    subStep = next;
    phase_ = 0;
    return true;
}

void FilterSweep::Preset() {
    for (Int16 band = 0; band <= 1; ++band) {
        if (flags_[static_cast<std::size_t>(band)]) {
            links_.console.Value(Item(band), allMode_ ? 64 : 0);
            links_.console.Disp(Item(band));
        }
    }
}

Int16 FilterSweep::PickBand() {
    const Int16 band = flags_[0] ? 0 : (flags_[1] ? 1 : -1);
    if (band < 0) {
        return substep::kSweepEnd;
    }
    band_ = band;
    const Int16 t = Item(band);
    clsConsole& console = links_.console;
    console.Value(t, console.Min(t));
    best_ = -1;
    firstBest_ = lastBest_ = console.Min(t);
    run_ = {};
    run_.name = Trimmed(console.Title(t));
    // A whole band's readings, so the curve never moves while it grows.
    run_.points.reserve(static_cast<std::size_t>(std::max(console.Max(t) - console.Min(t) + 1, 1)));
    live_ = true;
    return substep::kSweepRun;
}

// One pass of the sweep of the current band; true when the band is finished.
bool FilterSweep::Run(Int16& next) {
    clsConsole& console = links_.console;
    const Int16 t = Item(band_);
    if (phase_ == 0) {
        links_.host.SendItem(t);
        phase_ = 1;
        return false;
    }
    Int16 reading = 0;
    if (!links_.host.AdReading(kAdLineSd, phase_ == 1, reading)) {
        // The request went out; the next pass collects the answer.
        phase_ = 2;
        return false;
    }
    console.WaitAfterE8(t, 0);
    const Int16 value = console.Value(t);
    Track(reading, value);
    if (value >= console.Max(t) || (allMode_ && value >= 127)) {
        console.Value(t, static_cast<Int16>(std::floor((lastBest_ + firstBest_) / 2.0)));
        run_.value = console.Value(t);
        live_ = false;
        links_.host.Ended(run_);
        flags_[static_cast<std::size_t>(band_)] = false;
        next = substep::kSweepBand;
        return true;
    }
    console.Value(t, static_cast<Int16>(value + (allMode_ ? 2 : 1)));
    // The new value goes out at once.
    links_.host.SendItem(t);
    phase_ = 1;
    return false;
}

// A higher reading starts a new run of best values; an equal one extends it.
void FilterSweep::Track(Int16 reading, Int16 value) {
    run_.points.push_back({value, reading});
    if (reading < best_) {
        return;
    }
    if (reading > best_) {
        firstBest_ = value;
    }
    lastBest_ = value;
    best_ = reading;
    run_.reading = reading;
    run_.firstBest = static_cast<Int16>(firstBest_);
    run_.lastBest = value;
}

}  // namespace quorvane
