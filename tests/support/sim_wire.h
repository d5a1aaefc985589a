#pragma once

#include "platform/byte_string.h"
#include "sim/sim_frame.h"
#include "sim/tamskor_sim.h"
#include "support/fake_serial_control.h"

namespace quorvane::test {

// Everything the stand-in sends from `now` until it falls silent, moving `now` from event to
// event.
inline Bytes Drain(sim::TamskorSim& transceiver, sim::SimTime& now) {
    Bytes out;
    while (auto next = transceiver.NextEvent()) {
        now = std::max(now, *next);
        const Bytes due = transceiver.TakeDue(now);
        out.insert(out.end(), due.begin(), due.end());
    }
    return out;
}

// The stand-in behind the fake port: what the program writes reaches it at once, and its echo
// and answers are queued as received, to be read on the next tick.
inline void Attach(FakeSerialControl& port, sim::TamskorSim& transceiver, sim::SimTime& now) {
    port.onOutput = [&port, &transceiver, &now](const Bytes& bytes) {
        transceiver.Receive(bytes, now);
        port.Queue(Drain(transceiver, now));
    };
}

}  // namespace quorvane::test
