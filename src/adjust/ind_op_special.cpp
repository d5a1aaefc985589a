#include <cmath>
#include <cstdlib>

#include "adjust/ind_op_rig_tamsk.h"
#include "eeprom/eeprom_map.h"

namespace quorvane {

namespace {
constexpr Int16 kAdLvin = 2;
constexpr Int16 kAdSd = 3;
}  // namespace

bool clsIndOp_RigTamsk::SpecialStep() {
    const Int16 before = subStepNo_;
    bool done = true;
    if (RssiRunning()) {
        done = RssiStep();
    } else if (SweepRunning()) {
        done = SweepStep();
    } else if (LvaRunning()) {
        done = LvaStep();
    }
    if (before != 0 && subStepNo_ == 0) {
        ResetSpecialOp();
    }
    return done;
}

bool clsIndOp_RigTamsk::RssiStep() {
    if (seq_.OpRunning()) {
        return false;
    }
    Int16 next = static_cast<Int16>(subStepNo_ + 1);
    switch (subStepNo_) {
        case 6:
            rssiCapture_ = false;
            rssiCaptured_ = false;
            break;
        case 7: {
            const bool first = !rssiReadPending_;
            rssiReadPending_ = true;
            if (!AdReadout(kAdSd, first)) {
                return false;
            }
            if (rssiCapture_) {
                const Int16 v = adLast_[kAdSd];
                // The first level asked for is S3, the second S1.
                const Int16 command = rssiStage_ ? 21 : 22;
                const Int32 address = rssiStage_ ? eepmap::kRssiS1Level : eepmap::kRssiS3Level;
                SendE8Value(command, v);
                links_.radio.eepImage().WriteByte(address, static_cast<std::uint8_t>(v & 0xFF));
            }
            rssiCaptured_ = rssiCapture_;
            break;
        }
        default:  // 8
            next = 7;
            if (rssiCaptured_) {
                if (rssiStage_) {
                    next = 0;
                    rssiCapture_ = false;
                    rssiStage_ = false;
                    links_.form.beeper->Beep();
                } else {
                    next = 6;
                    rssiStage_ = true;
                    console_.Disp(idxRssi_);
                }
            }
            break;
    }
    subStepNo_ = next;
    rssiReadPending_ = false;
    return true;
}

bool clsIndOp_RigTamsk::SweepStep() {
    if (seq_.OpRunning()) {
        return false;
    }
    Int16 next = static_cast<Int16>(subStepNo_ + 1);
    const auto item = [this](Int16 band) { return static_cast<Int16>(idxBpfT1_ + band); };
    switch (subStepNo_) {
        case 12:
            break;
        case 13:
            for (Int16 band = 0; band <= 1; ++band) {
                if (sweepFlag_[static_cast<std::size_t>(band)]) {
                    console_.Value(item(band), sweepAllMode_ ? 64 : 0);
                    console_.Disp(item(band));
                }
            }
            break;
        case 14: {
            const Int16 band = sweepFlag_[0] ? 0 : (sweepFlag_[1] ? 1 : -1);
            if (band < 0) {
                next = 16;
                break;
            }
            sweepBand_ = band;
            const Int16 t = item(band);
            console_.Value(t, console_.Min(t));
            sweepBest_ = -1;
            sweepFirstBest_ = sweepLastBest_ = console_.Min(t);
            break;
        }
        case 15: {
            const Int16 t = item(sweepBand_);
            if (sweepPhase_ == 0) {
                console_.SendE8(t);
                sweepPhase_ = 1;
                return false;
            }
            if (!AdReadout(kAdSd, sweepPhase_ == 1)) {
                // The request went out; the next pass collects the answer.
                sweepPhase_ = 2;
                return false;
            }
            console_.WaitAfterE8(t, 0);
            const Int32 r = adLast_[kAdSd];
            const Int32 e = console_.Value(t);
            if (r >= sweepBest_) {
                if (r > sweepBest_) {
                    sweepFirstBest_ = e;
                }
                sweepLastBest_ = e;
                sweepBest_ = r;
            }
            if (e >= console_.Max(t) || (sweepAllMode_ && e >= 127)) {
                console_.Value(
                    t, static_cast<Int16>(std::floor((sweepLastBest_ + sweepFirstBest_) / 2.0)));
                sweepFlag_[static_cast<std::size_t>(sweepBand_)] = false;
                next = 14;
                break;
            }
            console_.Value(t, static_cast<Int16>(e + (sweepAllMode_ ? 2 : 1)));
            // The new value goes out at once.
            console_.SendE8(t);
            sweepPhase_ = 1;
            return false;
        }
        default:  // 16
            next = 0;
            links_.form.beeper->Beep();
            break;
    }
    subStepNo_ = next;
    sweepPhase_ = 0;
    return true;
}

bool clsIndOp_RigTamsk::LvaStep() {
    if (seq_.OpRunning()) {
        return false;
    }
    Int16 next = static_cast<Int16>(subStepNo_ + 1);
    const auto forEachFlagged = [this](auto&& action) {
        for (Int16 k = 0; k <= 1; ++k) {
            if (lvaFlag_[static_cast<std::size_t>(k)]) {
                action(k, static_cast<Int16>(idxRxLva_ + k));
            }
        }
    };
    const auto setValue = [this](Int16 a, long long v) {
        console_.Value(a, static_cast<Int16>(std::clamp<long long>(v, -32768, 32767)));
        console_.Disp(a);
    };
    // A reading inside a sub-step; false while it is not in yet.
    const auto read = [this](long long& into) {
        const bool first = !lvaReadPending_;
        lvaReadPending_ = true;
        if (!AdReadout(kAdLvin, first)) {
            return false;
        }
        into = adLast_[kAdLvin];
        return true;
    };
    switch (subStepNo_) {
        case 17:
            lvaLoValue_ = 0;
            lvaHiValue_ = 255;
            forEachFlagged([this](Int16 k, Int16) {
                lvaTarget_ = console_.Value(static_cast<Int16>(idxLvRxLva_ + k));
                lvaFailed_[static_cast<std::size_t>(k)] = true;
            });
            break;
        case 18:
            forEachFlagged([&](Int16 k, Int16 a) {
                lvaSaved_[static_cast<std::size_t>(k)] = console_.Value(a);
                setValue(a, lvaLoValue_);
            });
            break;
        case 19:
            if (!read(lvaLoReading_)) {
                return false;
            }
            break;
        case 20:
            forEachFlagged([&](Int16, Int16 a) { setValue(a, lvaHiValue_); });
            break;
        case 21:
            if (!read(lvaHiReading_)) {
                return false;
            }
            break;
        case 22:
            if (lvaLoReading_ > lvaHiReading_) {
                std::swap(lvaLoValue_, lvaHiValue_);
                std::swap(lvaLoReading_, lvaHiReading_);
            }
            if (lvaTarget_ <= lvaLoReading_ || lvaHiReading_ <= lvaTarget_) {
                // Out of reach: the old values come back and the failure mark stays.
                forEachFlagged(
                    [&](Int16 k, Int16 a) { setValue(a, lvaSaved_[static_cast<std::size_t>(k)]); });
                next = 26;
            }
            break;
        case 23:
            lvaMidValue_ = static_cast<long long>(
                std::floor(static_cast<double>(lvaLoValue_ + lvaHiValue_) / 2.0 + 0.5));
            forEachFlagged([&](Int16, Int16 a) {
                setValue(a, lvaMidValue_);
                console_.WaitAfterE8(a, 500);
            });
            break;
        case 24:
            if (!read(lvaMidReading_)) {
                return false;
            }
            forEachFlagged([&](Int16, Int16 a) { console_.WaitAfterE8(a, 0); });
            break;
        case 25: {
            bool success = false;
            if (std::llabs(lvaHiValue_ - lvaLoValue_) <= 2) {
                success = true;
            } else if (lvaTarget_ < lvaMidReading_) {
                lvaHiValue_ = lvaMidValue_;
                lvaHiReading_ = lvaMidReading_;
                next = 23;
            } else if (lvaTarget_ > lvaMidReading_) {
                lvaLoValue_ = lvaMidValue_;
                lvaLoReading_ = lvaMidReading_;
                next = 23;
            } else {
                success = true;
            }
            if (success) {
                forEachFlagged(
                    [this](Int16 k, Int16) { lvaFailed_[static_cast<std::size_t>(k)] = false; });
                next = 26;
            }
            break;
        }
        default:  // 26
            next = 0;
            links_.form.beeper->Beep();
            break;
    }
    subStepNo_ = next;
    lvaReadPending_ = false;
    return true;
}

}  // namespace quorvane
