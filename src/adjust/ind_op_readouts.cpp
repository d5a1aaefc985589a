#include "adjust/ind_op_rig_tamsk.h"
#include "adjust/readout_text.h"
#include "protocol/common.h"

namespace quorvane {

namespace {

constexpr ReadoutLineFormat kAdLines[] = {
    {"VIN  :", 10, "##0.#0V", 7},
    {"TEMPS:", 5, "###.#0'C", 8},  // shown through the thermistor formula
    {"LVIN :", 5, "##0.#0V", 7},
    {"SD   :", 5, "##0.#0V", 7},
};
constexpr Int16 kAdTemperatureLine = 1;
constexpr Int16 kAdUnlabelledLine = 4;

constexpr ReadoutLineFormat kDaLines[] = {
    {"BPF T1 :", 5, "##0.#0V", 7}, {"T2/POW :", 5, "##0.#0V", 7}, {"TX LVA :", 5, "##0.#0V", 7},
    {"RX LVA :", 5, "##0.#0V", 7}, {"REF    :", 5, "##0.#0V", 7}, {"MOD BAL:", 1, "0.00%", 7},
    {"Dev    :", 5, "##0.#0V", 7}, {"CTCSS  :", 5, "##0.#0V", 7}, {"SQL Lev:", 1, "0.00%", 7},
};

}  // namespace

bool clsIndOp_RigTamsk::AdReadout(Int16 line, bool first) {
    return Readout(true, line, first);
}

bool clsIndOp_RigTamsk::DaReadout(Int16 line, bool first) {
    return Readout(false, line, first);
}

bool clsIndOp_RigTamsk::Readout(bool analog, Int16 line, bool first) {
    const Int16 selector =
        analog ? CheckedAt(adCh_, line, "A/D selectors") : CheckedAt(daCmd_, line, "D/A selectors");
    if (first) {
        seq_.easySendE8ReqAnswer("03" + Hex2AsAsciiHex(selector));
        return false;
    }
    if (seq_.OpRunning()) {
        return false;
    }
    const Bytes& answer = links_.driver.varLastE8Answer();
    if (AnswerBad(answer)) {
        flgCloneErr_ = true;
        return true;
    }
    const Int16 value = AnswerValue(answer);
    Int16& last = analog ? CheckedAt(adLast_, line, "A/D readings")
                         : CheckedAt(daLast_, line, "D/A readings");
    if (value == last) {
        return true;
    }
    last = value;
    IListBox& list = *links_.form.lbo01[analog ? 0 : 1];
    std::string text;
    if (analog) {
        if (line == kAdTemperatureLine) {
            text = TemperatureLine(kAdLines[line].label, value);
        } else if (line < kAdUnlabelledLine) {
            text = ReadoutLine(kAdLines[line], value);
        }
    } else {
        text = ReadoutLine(CheckedAt(kDaLines, line, "D/A lines"), value);
    }
    list.List(static_cast<Int16>(line + 1), text);
    return true;
}

bool clsIndOp_RigTamsk::AnswerBad(const Bytes& answer) const {
    if (answer.size() != 7) {
        return true;
    }
    if (InStrB(answer, radioId_) != 1) {
        return true;
    }
    return HexDigitValue(static_cast<char>(ByteAt(answer, 6))) < 0 ||
           HexDigitValue(static_cast<char>(ByteAt(answer, 7))) < 0;
}

Int16 clsIndOp_RigTamsk::AnswerValue(const Bytes& answer) {
    return static_cast<Int16>(HexDigitValue(static_cast<char>(ByteAt(answer, 6))) * 16 +
                              HexDigitValue(static_cast<char>(ByteAt(answer, 7))));
}

}  // namespace quorvane
