#include "adjust/ind_op_rig_tamsk.h"
#include "platform/number_format.h"
#include "platform/text.h"
#include "protocol/common.h"

namespace quorvane {

using namespace item_event;

std::string clsIndOp_RigTamsk::ConsEv_Disp(clsConsole& objConsole, Int16 Index, Int16 evNo,
                                           Int16 val) {
    switch (evNo) {
        case kDispChannel:
            return ChannelLine(objIndEep_, tables_, objConsole.Title(Index),
                               CheckedAt(chList_, val, "channel list"));
        case kDispBpfAll:
            return objConsole.Title(Index) +
                   (SweepRunning() && Index == items_.bpfAll ? ": Sweeping" : ": [Enter] to Sweep");
        case kDispBpf:
            return BpfLine(objConsole, Index);
        case kDispRssi:
            if (!RssiRunning()) {
                return objConsole.Title(Index) + ": [Enter] to Start";
            }
            return objConsole.Title(Index) +
                   (rssi_.SecondStage() ? ": RSSI S1 Level " : ": RSSI S3 Level ");
        case kDispLva:
            return LvaLine(objConsole, Index);
        case kDispVoltage: {
            const double volts = static_cast<double>(Mul16(objConsole.Value(Index), 5)) / 255.0;
            return objConsole.DefaultString(Index) +
                   Right(": [" + FormatNumber(volts, "##0.#0V"), 7) + "]";
        }
        default:
            return "???";
    }
}

std::string clsIndOp_RigTamsk::BpfLine(clsConsole& objConsole, Int16 Index) const {
    std::string line = objConsole.DefaultString(Index);
    const bool flagged = sweep_.Flagged(static_cast<Int16>(Index - items_.bpfT1));
    if (!SweepRunning()) {
        line += " [Enter] to Sweep";
    } else if (flagged) {
        line += " Sweeping";
    }
    return line;
}

std::string clsIndOp_RigTamsk::LvaLine(clsConsole& objConsole, Int16 Index) const {
    std::string line = objConsole.DefaultString(Index);
    const auto k = static_cast<Int16>(Index - items_.rxLva);
    if (!LvaRunning()) {
        line += " [Enter] to Sweep";
        if (lva_.Failed(k)) {
            line += " (Auto Adjust Failed)";
        }
    } else if (lva_.Flagged(k)) {
        line += " Sweeping";
    }
    return line;
}

void clsIndOp_RigTamsk::ConsEv_SendE8(clsConsole& objConsole, Int16 Index, Int16 evNo, Int16 val) {
    if (evNo != kSendChannel) {
        return;
    }
    const Int16 ch = CheckedAt(chList_, val, "channel list");
    seq_.easySendE8NoAnswer(Hex2(objConsole.E8Command(Index)) + Hex2AsAsciiHex(Add16(ch, 1)));
}

void clsIndOp_RigTamsk::ConsEv_Enter(clsConsole&, Int16 Index, Int16 evNo, Int16) {
    switch (evNo) {
        case kEnterRssi:
            if (RssiRunning()) {
                rssi_.RequestCapture();
                return;
            }
            ResetSpecialOp();
            rssi_.Start();
            subStepNo_ = substep::kRssiBegin;
            return;
        case kEnterBpfT1:
        case kEnterBpfT2:
        case kEnterBpfAll:
            StartSweep(Index, evNo);
            return;
        case kEnterRxLva:
        case kEnterTxLva:
            if (LvaRunning()) {
                return;
            }
            lva_.Start(evNo == kEnterRxLva ? 0 : 1);
            ResetSpecialOp();
            subStepNo_ = substep::kLvaBegin;
            return;
        default:
            return;
    }
}

void clsIndOp_RigTamsk::StartSweep(Int16 Index, Int16 evNo) {
    if (SweepRunning()) {
        return;
    }
    sweep_.Start(evNo == kEnterBpfAll ? -1 : (evNo == kEnterBpfT1 ? 0 : 1));
    // The all-band line shows "Sweeping" only for the item that started the sweep.
    items_.bpfAll = Index;
    ResetSpecialOp();
    subStepNo_ = substep::kSweepBegin;
}

}  // namespace quorvane
