#include "adjust/ind_op_rig_tamsk.h"
#include "platform/number_format.h"
#include "platform/text.h"
#include "protocol/common.h"

namespace quorvane {

namespace {
enum DispEvent : Int16 {
    kDispChannel = 0,
    kDispBpfAll = 2,
    kDispBpf = 3,
    kDispRssi = 4,
    kDispLva = 6,
    kDispVoltage = 7
};
enum EnterEvent : Int16 {
    kEnterRssi = 1,
    kEnterBpfT1 = 3,
    kEnterBpfT2 = 4,
    kEnterBpfAll = 7,
    kEnterRxLva = 8,
    kEnterTxLva = 9
};
}  // namespace

std::string clsIndOp_RigTamsk::ConsEv_Disp(clsConsole& objConsole, Int16 Index, Int16 evNo,
                                           Int16 val) {
    switch (evNo) {
        case kDispChannel:
            return ChannelLine(objIndEep_, tables_, objConsole.Title(Index),
                               CheckedAt(chList_, val, "channel list"));
        case kDispBpfAll:
            return objConsole.Title(Index) +
                   (SweepRunning() && Index == idxBpfAll_ ? ": Sweeping" : ": [Enter] to Sweep");
        case kDispBpf: {
            std::string line = objConsole.DefaultString(Index);
            const bool flagged = CheckedAt(sweepFlag_, Index - idxBpfT1_, "sweep flags");
            if (!SweepRunning()) {
                line += " [Enter] to Sweep";
            } else if (flagged) {
                line += " Sweeping";
            }
            return line;
        }
        case kDispRssi:
            if (!RssiRunning()) {
                return objConsole.Title(Index) + ": [Enter] to Start";
            }
            return objConsole.Title(Index) + (rssiStage_ ? ": RSSI S1 Level " : ": RSSI S3 Level ");
        case kDispLva: {
            std::string line = objConsole.DefaultString(Index);
            const Int16 k = static_cast<Int16>(Index - idxRxLva_);
            if (!LvaRunning()) {
                line += " [Enter] to Sweep";
                if (CheckedAt(lvaFailed_, k, "LVA failure marks")) {
                    line += " (Auto Adjust Failed)";
                }
            } else if (CheckedAt(lvaFlag_, k, "LVA flags")) {
                line += " Sweeping";
            }
            return line;
        }
        case kDispVoltage: {
            const double volts = static_cast<double>(Mul16(objConsole.Value(Index), 5)) / 255.0;
            return objConsole.DefaultString(Index) +
                   Right(": [" + FormatNumber(volts, "##0.#0V"), 7) + "]";
        }
        default:
            return "???";
    }
}

void clsIndOp_RigTamsk::ConsEv_SendE8(clsConsole& objConsole, Int16 Index, Int16 evNo, Int16 val) {
    if (evNo != 0) {
        return;
    }
    const Int16 ch = CheckedAt(chList_, val, "channel list");
    seq_.easySendE8NoAnswer(Hex2(objConsole.E8Command(Index)) + Hex2AsAsciiHex(Add16(ch, 1)));
}

void clsIndOp_RigTamsk::ConsEv_Enter(clsConsole&, Int16 Index, Int16 evNo, Int16) {
    switch (evNo) {
        case kEnterRssi:
            if (RssiRunning()) {
                rssiCapture_ = true;
                return;
            }
            ResetSpecialOp();
            rssiStage_ = false;
            subStepNo_ = 6;
            return;
        case kEnterBpfT1:
        case kEnterBpfT2:
        case kEnterBpfAll:
            if (SweepRunning()) {
                return;
            }
            sweepFlag_[0] = sweepFlag_[1] = false;
            sweepAllMode_ = false;
            if (evNo == kEnterBpfAll) {
                sweepAllMode_ = true;
                sweepFlag_[0] = sweepFlag_[1] = true;
            } else {
                sweepFlag_[evNo == kEnterBpfT1 ? 0 : 1] = true;
            }
            idxBpfAll_ = Index;
            ResetSpecialOp();
            subStepNo_ = 12;
            return;
        case kEnterRxLva:
        case kEnterTxLva:
            if (LvaRunning()) {
                return;
            }
            lvaFlag_[0] = lvaFlag_[1] = false;
            lvaFlag_[evNo == kEnterRxLva ? 0 : 1] = true;
            ResetSpecialOp();
            subStepNo_ = 17;
            return;
        default:
            return;
    }
}

}  // namespace quorvane
