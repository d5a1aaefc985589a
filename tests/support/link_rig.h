#pragma once

#include "protocol/link_driver.h"
#include "protocol/radio.h"
#include "protocol/sequencer.h"
#include "protocol/wire.h"
#include "serial/port_form.h"
#include "support/fake_main_window.h"
#include "support/fake_serial_control.h"
#include "support/manual_clock.h"

namespace quorvane::test {

// The port form, the link driver, the radio identity and the sequencer over a fake port and
// a hand-set clock, wired as the composition root wires them.
struct LinkRig {
    ManualClock clock{100000};
    FakeSerialControl port;
    frmCom com{port};
    clsCmcVep3Drv driver{clock};
    clsCmcRadio radio;
    FakeMainWindow window{com, driver};
    clsCmcVep3Sequence sequence{com, driver, radio, clock};

    explicit LinkRig(bool withSequencer = true) {
        com.vep3D(&driver);
        driver.myObjCom(&com);
        com.tickClient(&window);
        radio.radioNameM(std::string(wire::kModelName));
        radio.radionameS(std::string(wire::kSubName));
        radio.cloneWriteAdrList_Add(0, wire::kLastImageAddress);
        if (withSequencer) {
            sequence.subNameCheck(&window);
            sequence.errorReport(&window);
            window.sequence = &sequence;
        }
        com.timSolidEnabled(true);
    }

    void Tick() { com.timSolid_Timer(); }

    // Ticks every 50 ms of the hand-set clock until the sequencer is idle (or the limit).
    int RunUntilIdle(int maxTicks = 1000) {
        int n = 0;
        while (sequence.OpRunning() && n < maxTicks) {
            clock.Advance(50);
            Tick();
            ++n;
        }
        return n;
    }
};

}  // namespace quorvane::test
