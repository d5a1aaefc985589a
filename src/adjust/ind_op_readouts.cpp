#include "adjust/ind_op_rig_tamsk.h"
#include "adjust/readout_table.h"
#include "protocol/common.h"
#include "protocol/wire.h"

namespace quorvane {

bool clsIndOp_RigTamsk::AdReadout(Int16 line, bool first) {
    return Readout(ReadoutList::Analog, line, first);
}

bool clsIndOp_RigTamsk::DaReadout(Int16 line, bool first) {
    return Readout(ReadoutList::Output, line, first);
}

bool clsIndOp_RigTamsk::Readout(ReadoutList list, Int16 line, bool first) {
    const bool analog = list == ReadoutList::Analog;
    const ReadoutRow& row = ReadoutAt(list, line);
    if (first) {
        seq_.easySendE8ReqAnswer(Hex2(wire::e8::kReadout) + Hex2AsAsciiHex(row.selector));
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
    links_.form.lbo01[analog ? 0 : 1]->List(static_cast<Int16>(line + 1), ReadoutText(row, value));
    return true;
}

std::vector<std::string> clsIndOp_RigTamsk::ReadoutLines(ReadoutList list) const {
    const bool analog = list == ReadoutList::Analog;
    std::vector<std::string> lines{ReadoutTitle(list)};
    for (Int16 line = 0; line < ReadoutCount(list); ++line) {
        const Int16 last = analog ? CheckedAt(adLast_, line, "A/D readings")
                                  : CheckedAt(daLast_, line, "D/A readings");
        lines.push_back(last < 0 ? kReadoutNotRead : ReadoutText(ReadoutAt(list, line), last));
    }
    return lines;
}

bool clsIndOp_RigTamsk::AdReading(Int16 line, bool first, Int16& reading) {
    if (!AdReadout(line, first)) {
        return false;
    }
    reading = CheckedAt(adLast_, line, "A/D readings");
    return true;
}

bool clsIndOp_RigTamsk::AnswerBad(const Bytes& answer) const {
    if (answer.size() != 7) {
        return true;
    }
    if (InStrB(answer, radioId_) != 1) {
        return true;
    }
    return AnswerValue(answer) < 0;
}

// The answer's last two bytes: the reading as two hexadecimal characters; -1 when they are not.
Int16 clsIndOp_RigTamsk::AnswerValue(const Bytes& answer) {
    return static_cast<Int16>(
        HexPairValue(static_cast<char>(ByteAt(answer, 6)), static_cast<char>(ByteAt(answer, 7))));
}

}  // namespace quorvane
