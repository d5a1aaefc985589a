#pragma once

#include <cstdint>

#include "rig/manual_clock.h"
#include "sim/loopback_serial_control.h"
#include "sim/sim_image.h"
#include "sim/tamskor_sim.h"

namespace quorvane::test {

// The stand-in transceiver, the loopback serial control wired to it and the hand-set clock
// that drives both, built in one call. The program under test takes `serial` as its serial
// control and `clock` as its clock; the test moves time with Advance.
class SimRig {
  public:
    explicit SimRig(sim::TamskorConfig config = {},
                    sim::SimImage image = sim::SimImage::Generate(1))
        : transceiver(std::move(config), std::move(image)), serial(transceiver, clock) {}
    SimRig(const SimRig&) = delete;
    SimRig& operator=(const SimRig&) = delete;

    // Moves the clock on by ms and pumps the line, which raises the serial events.
    void Advance(std::int32_t ms) {
        clock.Advance(ms);
        serial.Pump();
    }

    ManualClock clock;
    sim::TamskorSim transceiver;
    sim::LoopbackSerialControl serial;
};

}  // namespace quorvane::test
