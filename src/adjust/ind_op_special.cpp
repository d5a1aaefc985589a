#include "adjust/ind_op_rig_tamsk.h"
#include "protocol/common.h"

namespace quorvane {

bool clsIndOp_RigTamsk::SpecialStep() {
    const Int16 before = subStepNo_;
    bool done = true;
    if (RssiRunning()) {
        done = rssi_.Step(subStepNo_);
    } else if (SweepRunning()) {
        done = sweep_.Step(subStepNo_);
    } else if (LvaRunning()) {
        done = lva_.Step(subStepNo_);
    }
    if (before != substep::kNone && subStepNo_ == substep::kNone) {
        ResetSpecialOp();
    }
    return done;
}

void clsIndOp_RigTamsk::SendE8Value(Int16 subCommand, Int32 value) {
    seq_.easySendE8NoAnswer(Hex2(subCommand) + Hex2AsAsciiHex(static_cast<Int16>(value & 0xFF)));
}

void clsIndOp_RigTamsk::StoreByte(Int32 address, Int16 value) {
    links_.radio.eepImage().WriteByte(address, static_cast<std::uint8_t>(value & 0xFF));
}

}  // namespace quorvane
