#include "adjust/ind_op_rig_tamsk.h"
#include "platform/text.h"
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

void clsIndOp_RigTamsk::SendItem(Int16 item) {
    console_.SendE8(item);
    const Int16 subCommand = console_.E8Command(item);
    // An item without a command of its own (MOD Ratio) sends nothing itself.
    if (session_ == nullptr || subCommand < 0) {
        return;
    }
    const Int16 value = console_.Value(item);
    // The channel item's value is a place in the channel list; the wire carries the channel.
    const Int16 data = item == items_.chNo ? Add16(chList(value), 1) : Int16(value & 0xFF);
    session_->ValueSent({Trimmed(console_.Title(item)), value, subCommand, data,
                         console_.EeAdr(item), SourceOf(item)});
}

void clsIndOp_RigTamsk::SendFollower(Int16 item, Int16 subCommand, Int32 address, Int16 value,
                                     const char* name) {
    SendE8Value(subCommand, value);
    StoreByte(address, value);
    if (session_ != nullptr) {
        session_->ValueSent(
            {name, value, subCommand, Int16(value & 0xFF), address, SourceOf(item)});
    }
}

void clsIndOp_RigTamsk::SendStored(Int16 subCommand, Int32 address, Int16 value, const char* name) {
    SendFollower(items_.rssi, subCommand, address, value, name);
}

void clsIndOp_RigTamsk::Ended(const SpecialOpOutcome& outcome) {
    if (session_ != nullptr) {
        session_->SpecialOpEnded(outcome);
    }
}

std::vector<ItemValue> clsIndOp_RigTamsk::ItemValues() const {
    std::vector<ItemValue> items;
    for (Int16 i = 0; i < console_.ListCount(); ++i) {
        items.push_back({Trimmed(console_.Title(i)), console_.Value(i)});
    }
    return items;
}

}  // namespace quorvane
