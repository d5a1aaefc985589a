#pragma once

#include "rig/program_rig.h"

namespace quorvane::test {

// Items of the known image's list.
inline constexpr Int16 kPowerL2Item = 2, kBpfT1Item = 11, kRxLvaItem = 13, kLvRxLvaItem = 15,
                       kRssiItem = 17;

// Runs until the beeper has sounded `beeps` times and the cycle has settled.
inline bool RunToBeep(ProgramRig& rig, int beeps) {
    return rig.RunUntil([&] { return rig.form.beeper.beeps == beeps; }, 120000) && rig.Settle();
}

// The service session the record tests share, on a connected rig: two Right presses on
// Power(L2), a BPF T1 sweep, an LVA adjustment of RX LVA to the target 60 and an RSSI capture
// of both levels. False when a step does not end.
inline bool RunRecordSession(ProgramRig& rig) {
    Program& program = rig.program;
    for (int press = 0; press < 2; ++press) {
        rig.form.lboConsole.listIndex = kPowerL2Item;
        program.MainWindow().lboConsole_KeyDown(vbKeyRight, 0);
    }
    if (!rig.Settle()) {
        return false;
    }
    program.Console().EnterPushed(kBpfT1Item);
    if (!RunToBeep(rig, 1)) {
        return false;
    }
    program.Console().Value(kLvRxLvaItem, 60);  // LVIN 60 lies at RX LVA 57 or 58
    program.Console().EnterPushed(kRxLvaItem);
    if (!RunToBeep(rig, 2)) {
        return false;
    }
    program.Console().EnterPushed(kRssiItem);
    rig.RunFor(500);
    program.Console().EnterPushed(kRssiItem);
    if (!rig.RunUntil(
            [&] { return rig.form.lboConsole.lines.at(kRssiItem) == "      RSSI: RSSI S1 Level "; },
            5000)) {
        return false;
    }
    rig.RunFor(500);
    program.Console().EnterPushed(kRssiItem);
    return RunToBeep(rig, 3);
}

}  // namespace quorvane::test
